// What a NextApiConnection shares with the documents it hands out: the ports, the company
// database it logged into and whether it is still connected.
#pragma once

#include <memory>

#include "erp/sqlite_database.h"
#include "registry.h"

namespace vantrel::substitutes::erp {

struct ApiSession {
    explicit ApiSession(StandInContext context) : context(context) {}

    StandInContext context;
    std::shared_ptr<Database> db;
    bool connected = false;
    automation::Text product;
    automation::Text login;

    // The database of a connected session; RuntimeError once it was disconnected.
    Database& database() const;
    // Today's date by the platform's clock (the system clock without a platform).
    double today() const;
};

}  // namespace vantrel::substitutes::erp
