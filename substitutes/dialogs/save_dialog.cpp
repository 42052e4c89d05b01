#include "save_dialog.h"

#include <array>

#include "automation/runtime_error.h"

namespace vantrel::substitutes::dialogs {

using automation::argumentAt;
using automation::isMember;
using automation::RuntimeError;

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
    const bool put = kind == CallKind::Put;
    // The text properties, by their own spelling.
    const std::array<std::pair<const char16_t*, Text*>, 5> texts = {{
        {u"Filter", &filter_},
        {u"DialogTitle", &request_.title},
        {u"InitDir", &request_.initialFolder},
        {u"DefaultExt", &request_.defaultExtension},
        {u"FileName", &request_.fileName},
    }};
    for (const auto& [name, field] : texts) {
        if (!isMember(member, name)) continue;
        if (!put) return Variant(*field);
        *field = argumentAt(args, 0).toText();
        if (field == &filter_) request_.filters = parseFilter(filter_);
        record(name, *field);
        return Variant();
    }
    if (isMember(member, u"CancelError")) {
        if (!put) return Variant(cancelError_);
        cancelError_ = argumentAt(args, 0).toBool();
        record(u"CancelError", cancelError_);
        return Variant();
    }
    const std::array<std::pair<const char16_t*, std::int32_t*>, 2> numbers = {{
        {u"Flags", &request_.flags},
        {u"FilterIndex", &request_.filterIndex},
    }};
    for (const auto& [name, field] : numbers) {
        if (!isMember(member, name)) continue;
        if (!put) return Variant(*field);
        *field = argumentAt(args, 0).toLong();
        record(name, *field);
        return Variant();
    }
    if (!put && isMember(member, u"ShowSave")) {
        showSave();
        return Variant();
    }
    automation::unknownMember(member);
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
