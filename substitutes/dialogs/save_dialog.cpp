#include "save_dialog.h"

#include "automation/runtime_error.h"

namespace vantrel::substitutes::dialogs {

using automation::Access;
using automation::Argument;
using automation::Call;
using automation::CallKind;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

std::vector<FilterEntry> parseFilter(TextView filter) {
    std::vector<FilterEntry> entries;
    std::size_t start = 0;
    while (start < filter.size()) {
        std::size_t bar = filter.find(u'|', start);
        FilterEntry entry;
        entry.description = Text(filter.substr(start, bar - start));
        if (bar != TextView::npos) {
            std::size_t next = filter.find(u'|', bar + 1);
            entry.pattern = Text(filter.substr(bar + 1, next - bar - 1));
            start = next == TextView::npos ? filter.size() : next + 1;
        } else {
            start = filter.size();
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::size_t SaveRequest::selectedFilter() const {
    if (filterIndex < 1 || static_cast<std::size_t>(filterIndex) > filters.size()) return 0;
    return static_cast<std::size_t>(filterIndex) - 1;
}

std::vector<Text> SaveDialogLog::membersOf(int dialog) const {
    std::vector<Text> members;
    for (const auto& e : events_)
        if (e.dialog == dialog) members.push_back(e.member);
    return members;
}

SaveDialog::SaveDialog(SaveChooser chooser, std::shared_ptr<SaveDialogLog> log)
    : chooser_(std::move(chooser)),
      log_(log ? std::move(log) : std::make_shared<SaveDialogLog>()),
      serial_(log_->newDialog()) {}

void SaveDialog::record(TextView member, Variant value) {
    log_->add({serial_, Text(member), std::move(value)});
}

void SaveDialog::showSave() {
    std::optional<Text> chosen = chooser_ ? chooser_(request_) : std::nullopt;
    record(u"ShowSave", chosen ? Variant(*chosen) : Variant());
    if (chosen) {
        request_.fileName = *chosen;
        return;
    }
    if (cancelError_) throw RuntimeError(kCancelError, u"CommonDialog", u"Cancel was selected.");
}

Variant SaveDialog::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    return members().invoke(*this, member, kind, args);
}

Variant SaveDialog::invokeAt(std::size_t index, CallKind kind, std::span<Argument> args) {
    return members().invokeAt(*this, index, kind, args);
}

// The log names every member by its own spelling, whatever the caller's.
const automation::Members<SaveDialog>& SaveDialog::members() {
    static constexpr auto text = [](SaveDialog& s, Call& c, const char16_t* name, Text& field) {
        if (!c.isPut()) return Variant(field);
        field = c.value().toText();
        if (&field == &s.filter_) s.request_.filters = parseFilter(s.filter_);
        s.record(name, field);
        return Variant();
    };
    static constexpr auto number = [](SaveDialog& s, Call& c, const char16_t* name,
                                      std::int32_t& field) {
        if (!c.isPut()) return Variant(field);
        field = c.value().toLong();
        s.record(name, field);
        return Variant();
    };
    static const automation::Members<SaveDialog> table{{
        {u"Filter", Access::ReadWrite, 0, 0,
         [](SaveDialog& s, Call& c) { return text(s, c, u"Filter", s.filter_); }},
        {u"DialogTitle", Access::ReadWrite, 0, 0,
         [](SaveDialog& s, Call& c) { return text(s, c, u"DialogTitle", s.request_.title); }},
        {u"InitDir", Access::ReadWrite, 0, 0,
         [](SaveDialog& s, Call& c) { return text(s, c, u"InitDir", s.request_.initialFolder); }},
        {u"DefaultExt", Access::ReadWrite, 0, 0,
         [](SaveDialog& s, Call& c) {
             return text(s, c, u"DefaultExt", s.request_.defaultExtension);
         }},
        {u"FileName", Access::ReadWrite, 0, 0,
         [](SaveDialog& s, Call& c) { return text(s, c, u"FileName", s.request_.fileName); }},
        {u"CancelError", Access::ReadWrite, 0, 0,
         [](SaveDialog& s, Call& c) {
             if (!c.isPut()) return Variant(s.cancelError_);
             s.cancelError_ = c.value().toBool();
             s.record(u"CancelError", s.cancelError_);
             return Variant();
         }},
        {u"Flags", Access::ReadWrite, 0, 0,
         [](SaveDialog& s, Call& c) { return number(s, c, u"Flags", s.request_.flags); }},
        {u"FilterIndex", Access::ReadWrite, 0, 0,
         [](SaveDialog& s, Call& c) {
             return number(s, c, u"FilterIndex", s.request_.filterIndex);
         }},
        {u"ShowSave", Access::Read, 0, 0,
         [](SaveDialog& s, Call&) {
             s.showSave();
             return Variant();
         }},
    }};
    return table;
}

QueuedChooser::QueuedChooser(SaveChooser fallback) : state_(std::make_shared<State>()) {
    state_->fallback = std::move(fallback);
}

void QueuedChooser::queue(std::optional<Text> answer) {
    state_->answers.push_back(std::move(answer));
}

std::optional<Text> QueuedChooser::operator()(const SaveRequest& request) const {
    if (!state_->answers.empty()) {
        std::optional<Text> answer = std::move(state_->answers.front());
        state_->answers.pop_front();
        return answer;
    }
    return state_->fallback ? state_->fallback(request) : std::nullopt;
}

std::shared_ptr<SaveDialogLog> registerSaveDialog(StandInRegistry& registry, SaveChooser chooser) {
    auto log = std::make_shared<SaveDialogLog>();
    registry.add(kSaveDialogProgId, [chooser = std::move(chooser), log](const StandInContext&) {
        return automation::makeObject<SaveDialog>(chooser, log);
    });
    return log;
}

}  // namespace vantrel::substitutes::dialogs
