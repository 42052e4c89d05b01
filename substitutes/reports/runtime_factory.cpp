#include "runtime_factory.h"

#include "automation/runtime_error.h"
#include "report_viewer.h"

namespace vantrel::substitutes::reports {

using automation::ObjectRef;
using automation::TextView;

ObjectRef createReportRuntime(TextView progId, const std::shared_ptr<CallLog>& log) {
    if (automation::equalsIgnoreCase(progId, u"CrystalRuntime.Application.10")) {
        return automation::makeObject<CrystalApplication>(RuntimeVersion::Crystal10, log);
    }
    if (automation::equalsIgnoreCase(progId, u"CrystalRuntime.Application.8.5")) {
        return automation::makeObject<CrystalApplication>(RuntimeVersion::Crystal85, log);
    }
    if (automation::equalsIgnoreCase(progId, kViewerProgId10)) {
        return automation::makeObject<ReportViewer>(RuntimeVersion::Crystal10, log);
    }
    if (automation::equalsIgnoreCase(progId, kViewerProgId85)) {
        return automation::makeObject<ReportViewer>(RuntimeVersion::Crystal85, log);
    }
    return ObjectRef();
}

void registerReportRuntime(StandInRegistry& registry, std::shared_ptr<CallLog> log) {
    for (const char16_t* progId :
         {u"CrystalRuntime.Application.10", u"CrystalRuntime.Application.8.5", kViewerProgId10,
          kViewerProgId85}) {
        registry.add(progId, [progId, log](const StandInContext&) {
            return createReportRuntime(progId, log);
        });
    }
}

ReportRuntimeFactory::ReportRuntimeFactory(std::shared_ptr<CallLog> log,
                                           automation::ObjectFactory* next)
    : log_(std::move(log)), next_(next) {}

ObjectRef ReportRuntimeFactory::create(TextView progId) {
    ObjectRef made = createReportRuntime(progId, log_);
    if (made) {
        if (auto app = std::dynamic_pointer_cast<CrystalApplication>(made.shared()))
            created_.push_back(app);
        return made;
    }
    if (next_) return next_->create(progId);
    throw automation::RuntimeError(automation::errc::CannotCreateObject);
}

std::shared_ptr<CrystalReport> ReportRuntimeFactory::lastReport() const {
    for (auto app = created_.rbegin(); app != created_.rend(); ++app) {
        if (!(*app)->openedReports().empty()) return (*app)->openedReports().back();
    }
    return nullptr;
}

}  // namespace vantrel::substitutes::reports
