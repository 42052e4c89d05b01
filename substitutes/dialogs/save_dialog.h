// The stand-in save dialog, created by "QuorilVantrel.StandIns.SaveDialog": the members of
// the common dialog control that the report outputs use to ask for a file name.
//
// Members (any case): CancelError, Flags, Filter, FilterIndex, DialogTitle, InitDir,
// DefaultExt, FileName (read and written) and ShowSave. ShowSave asks a chooser for the
// path; when the chooser gives none (the user cancelled) it raises error 32755 ("Cancel was
// selected.") while CancelError is true, and otherwise returns leaving FileName as it was.
// Every assignment and every ShowSave is written to a log that tests read back.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "automation/members.h"
#include "erp/counted_object.h"
#include "registry.h"

namespace vantrel::substitutes::dialogs {

inline constexpr char16_t kSaveDialogProgId[] = u"QuorilVantrel.StandIns.SaveDialog";
// cdlCancel: the control's error when the user cancels while CancelError is true.
inline constexpr std::int32_t kCancelError = 32755;

// One "description|pattern" pair of a filter text.
struct FilterEntry {
    automation::Text description;
    automation::Text pattern;
    friend bool operator==(const FilterEntry&, const FilterEntry&) = default;
};

// "Text (*.txt)|*.txt|All (*.*)|*.*" -> its pairs. A last description without a pattern
// keeps an empty pattern; an empty text gives no pairs.
std::vector<FilterEntry> parseFilter(automation::TextView filter);

// What a chooser is asked: the dialog's settings when ShowSave runs.
struct SaveRequest {
    std::vector<FilterEntry> filters;
    std::int32_t filterIndex = 0;  // 1-based as the control counts; 0 means the first
    std::int32_t flags = 0;
    automation::Text title;
    automation::Text initialFolder;
    automation::Text defaultExtension;
    automation::Text fileName;  // the name the dialog starts with

    // The 0-based entry of `filters` that the dialog shows first (0 when out of range).
    std::size_t selectedFilter() const;
};

// The path the user chose, or nullopt when the user cancelled.
using SaveChooser = std::function<std::optional<automation::Text>(const SaveRequest&)>;

// What the dialogs of one registry received, in order, across all of them.
struct DialogEvent {
    int dialog = 0;             // 1 for the first dialog created, 2 for the next...
    automation::Text member;    // the member's own spelling ("FilterIndex", "ShowSave")
    automation::Variant value;  // the value assigned; for ShowSave the path chosen, Empty on cancel
};
class SaveDialogLog {
public:
    int newDialog() { return ++dialogs_; }
    void add(DialogEvent event) { events_.push_back(std::move(event)); }
    const std::vector<DialogEvent>& events() const { return events_; }
    // The members one dialog received, in order ("CancelError", ..., "ShowSave").
    std::vector<automation::Text> membersOf(int dialog) const;

private:
    int dialogs_ = 0;
    std::vector<DialogEvent> events_;
};

class SaveDialog : public erp::CountedObject {
public:
    explicit SaveDialog(SaveChooser chooser, std::shared_ptr<SaveDialogLog> log = nullptr);
    static const automation::Members<SaveDialog>& members();
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;
    const automation::MemberTable* memberTable() const override { return &members(); }
    automation::Variant invokeAt(std::size_t index, automation::CallKind kind,
                                 std::span<automation::Argument> args) override;

    const SaveRequest& settings() const { return request_; }
    bool cancelError() const { return cancelError_; }

private:
    void showSave();
    void record(automation::TextView member, automation::Variant value);

    SaveChooser chooser_;
    std::shared_ptr<SaveDialogLog> log_;
    int serial_;
    bool cancelError_ = false;
    automation::Text filter_;
    SaveRequest request_;
};

// Answers given in advance, taken one per ShowSave (nullopt stands for a cancel); when none
// is left the fallback answers, and without a fallback the dialog is cancelled. Copies share
// one queue, so the copy inside a registry and the caller's see the same answers.
class QueuedChooser {
public:
    explicit QueuedChooser(SaveChooser fallback = {});
    void queue(std::optional<automation::Text> answer);
    std::size_t pending() const { return state_->answers.size(); }
    std::optional<automation::Text> operator()(const SaveRequest& request) const;

private:
    struct State {
        std::deque<std::optional<automation::Text>> answers;
        SaveChooser fallback;
    };
    std::shared_ptr<State> state_;
};

// Registers kSaveDialogProgId: each creation gives a new dialog over `chooser`, writing into
// the log returned.
std::shared_ptr<SaveDialogLog> registerSaveDialog(StandInRegistry& registry, SaveChooser chooser);

}  // namespace vantrel::substitutes::dialogs
