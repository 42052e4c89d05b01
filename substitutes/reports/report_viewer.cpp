#include "report_viewer.h"

#include <string>

#include "automation/runtime_error.h"

namespace vantrel::substitutes::reports {

using automation::isMember;

namespace {

constexpr int kPrintMethod = 352;

// The dispatch identifier of a "#343" member name, or -1.
int dispatchId(TextView member) {
    if (member.size() < 2 || member[0] != u'#') return -1;
    int id = 0;
    for (std::size_t i = 1; i < member.size(); ++i) {
        if (member[i] < u'0' || member[i] > u'9' || id > 100000) return -1;
        id = id * 10 + (member[i] - u'0');
    }
    return id;
}

}  // namespace

ReportViewer::ReportViewer(RuntimeVersion version, std::shared_ptr<CallLog> log)
    : RuntimeObject(std::make_shared<RuntimeContext>(RuntimeContext{version, std::move(log)}),
                    version == RuntimeVersion::Crystal10 ? u"Viewer 10" : u"Viewer 8.5") {}

Variant ReportViewer::byDispatchId(int id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? Variant() : it->second;
}

bool ReportViewer::pressPrintButton() {
    bool printItself = true;
    if (printButton_) printButton_(printItself);
    if (printItself) ++printed_;
    RuntimeCall call{label_,
                     u"PrintButtonClicked",
                     CallKind::Method,
                     {},
                     printItself ? Text(u"printed by the control") : Text(u"left to the window")};
    context_->log->add(std::move(call));
    return printItself;
}

Variant ReportViewer::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const bool put = isPut(kind);
    auto flag = [&](bool& field) -> Variant {
        if (!put) return Variant(field);
        record(member, kind, args);
        field = automation::argumentAt(args, 0).toBool();
        return Variant();
    };
    if (const int id = dispatchId(member); id >= 0) {
        if (put) {
            record(member, kind, args);
            byId_[id] = automation::argumentAt(args, 0);
            return Variant();
        }
        if (kind == CallKind::Method && id == kPrintMethod) {
            record(member, kind, args);
            ++printed_;
            return Variant();
        }
        return byDispatchId(id);
    }
    if (isMember(member, u"ReportSource")) {
        if (!put) return Variant(reportSource_);
        record(member, kind, args);
        reportSource_ = automation::argumentAt(args, 0).toObject();
        return Variant();
    }
    if (isMember(member, u"Visible")) return flag(visible_);
    if (isMember(member, u"EnablePrintButton")) return flag(printButtonEnabled_);
    if (isMember(member, u"EnableExportButton")) return flag(exportButton_);
    if (put) automation::unknownMember(member);
    if (isMember(member, u"IsBusy")) {
        if (busyReads_ > 0) {
            --busyReads_;
            return Variant(true);
        }
        return Variant(false);
    }
    if (isMember(member, u"ViewReport") || isMember(member, u"Refresh")) {
        record(member, kind, args);
        if (reportSource_.isNothing()) {
            throw automation::RuntimeError(automation::errc::ObjectVariableNotSet, u"CrystalViewer",
                                           u"No report source");
        }
        busyReads_ = 1;
        return Variant();
    }
    if (isMember(member, u"Zoom")) {
        record(member, kind, args);
        zoom_ = automation::argumentAt(args, 0);
        return Variant();
    }
    if (isMember(member, u"Move")) {
        record(member, kind, args);
        return Variant();
    }
    automation::unknownMember(member);
}

}  // namespace vantrel::substitutes::reports
