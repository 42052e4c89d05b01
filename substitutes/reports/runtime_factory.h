// Creates the stand-in report runtime by its ProgIDs, "CrystalRuntime.Application.10" and
// "CrystalRuntime.Application.8.5", and its viewer controls by theirs (report_viewer.h).
// Every object it creates writes into one call log.
#pragma once

#include <memory>
#include <vector>

#include "automation/object.h"
#include "registry.h"
#include "runtime_objects.h"

namespace vantrel::substitutes::reports {

// The application or viewer for one of the four ProgIDs (any case); Nothing for any other.
automation::ObjectRef createReportRuntime(automation::TextView progId,
                                          const std::shared_ptr<CallLog>& log);

// Registers the four ProgIDs with the stand-ins' factory; every object it then creates
// writes into `log`.
void registerReportRuntime(StandInRegistry& registry, std::shared_ptr<CallLog> log);

// A factory of the runtime alone (tests use it to look into the objects created).
class ReportRuntimeFactory : public automation::ObjectFactory {
public:
    // Names other than the runtime's go to `next` when given, else fail with error 429.
    explicit ReportRuntimeFactory(std::shared_ptr<CallLog> log = std::make_shared<CallLog>(),
                                  automation::ObjectFactory* next = nullptr);
    automation::ObjectRef create(automation::TextView progId) override;

    const std::shared_ptr<CallLog>& log() const { return log_; }
    // Applications created so far, in order (tests look into their reports).
    const std::vector<std::shared_ptr<CrystalApplication>>& applications() const {
        return created_;
    }
    // The report opened last by any application of this factory, or null.
    std::shared_ptr<CrystalReport> lastReport() const;

private:
    std::shared_ptr<CallLog> log_;
    automation::ObjectFactory* next_;
    std::vector<std::shared_ptr<CrystalApplication>> created_;
};

}  // namespace vantrel::substitutes::reports
