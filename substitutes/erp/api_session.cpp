#include "erp/api_session.h"

#include <cmath>

#include "automation/datetime.h"

namespace vantrel::substitutes::erp {

Database& ApiSession::database() const {
    if (!connected || !db) {
        throw automation::RuntimeError(automation::errc::AutomationError, u"NextApiConnection",
                                       u"A ligação à API do ERP não está aberta.");
    }
    return *db;
}

double ApiSession::today() const {
    double now =
        context.platform ? context.platform->clock().now() : automation::SystemClock().now();
    return std::floor(now);
}

}  // namespace vantrel::substitutes::erp
