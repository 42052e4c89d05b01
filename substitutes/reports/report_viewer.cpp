#include "report_viewer.h"

#include <string>

#include "automation/runtime_error.h"

namespace vantrel::substitutes::reports {

using automation::Access;
using automation::Argument;
using automation::Call;
using automation::CallKind;
using automation::Text;
using automation::TextView;
using automation::Variant;

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
    : RuntimeTableObject(std::make_shared<RuntimeContext>(RuntimeContext{version, std::move(log)}),
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
    const int id = dispatchId(member);
    if (id < 0) return RuntimeTableObject::invoke(member, kind, args);
    if (kind == CallKind::Put || kind == CallKind::PutRef) {
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

const automation::Members<ReportViewer>& ReportViewer::members() {
    using Self = ReportViewer;
    static constexpr auto flag = [](Self& s, Call& c, bool& field) {
        if (!c.isPut()) return Variant(field);
        s.recordCall();
        field = c.value().toBool();
        return Variant();
    };
    static constexpr auto show = [](Self& s, Call&) {
        s.recordCall();
        if (s.reportSource_.isNothing()) {
            throw automation::RuntimeError(automation::errc::ObjectVariableNotSet, u"CrystalViewer",
                                           u"No report source");
        }
        s.busyReads_ = 1;
        return Variant();
    };
    static const automation::Members<Self> table{{
        {u"ReportSource", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) {
             if (!c.isPut()) return Variant(s.reportSource_);
             s.recordCall();
             s.reportSource_ = c.value().toObject();
             return Variant();
         }},
        {u"Visible", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return flag(s, c, s.visible_); }},
        {u"EnablePrintButton", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return flag(s, c, s.printButtonEnabled_); }},
        {u"EnableExportButton", Access::ReadWrite, 0, 0,
         [](Self& s, Call& c) { return flag(s, c, s.exportButton_); }},
        {u"IsBusy", Access::Read, 0, 0,
         [](Self& s, Call&) {
             if (s.busyReads_ > 0) {
                 --s.busyReads_;
                 return Variant(true);
             }
             return Variant(false);
         }},
        {u"ViewReport", Access::Read, 0, 0, show},
        {u"Refresh", Access::Read, 0, 0, show},
        // Zoom(level): kept as given.
        {u"Zoom", Access::Read, 1, 1,
         [](Self& s, Call& c) {
             s.recordCall();
             s.zoom_ = c.arg(0);
             return Variant();
         }},
        // Move(left, [top], [width], [height]).
        {u"Move", Access::Read, 0, 4,
         [](Self& s, Call&) {
             s.recordCall();
             return Variant();
         }},
    }};
    return table;
}

}  // namespace vantrel::substitutes::reports
