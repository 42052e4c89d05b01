#include "table_connectivity.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

#include "data_folder.h"
#include "file_paths.h"

namespace vantrel::substitutes::reports {

using automation::Text;

bool sqliteHoldsTable(automation::TextView catalog, automation::TextView table, Text& problem) {
    const Text file = databaseFile(catalog);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(nativeFile(file), ec)) {
        problem = u"no database file " + file;
        return false;
    }
    sqlite3* db = nullptr;
    // Read-only and without creating anything: the test must not leave an empty file behind.
    int rc = sqlite3_open_v2(nativeFileUtf8(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        problem = u"cannot open " + file;
        sqlite3_close(db);
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    rc = sqlite3_prepare_v2(db,
                            "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') "
                            "AND name = ?1 COLLATE NOCASE",
                            -1, &stmt, nullptr);
    bool found = false;
    if (rc != SQLITE_OK) {
        problem = file + u" is not a SQLite database";
    } else {
        const std::string name = automation::toUtf8(table);
        sqlite3_bind_text(stmt, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            found = true;
        } else if (rc == SQLITE_DONE) {
            problem = u"no table " + Text(table) + u" in " + file;
        } else {
            problem = file + u" is not a SQLite database";
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return found;
}

}  // namespace vantrel::substitutes::reports
