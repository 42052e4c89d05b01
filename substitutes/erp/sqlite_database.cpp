#include "erp/sqlite_database.h"

#include <sqlite3.h>

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "automation/datetime.h"

namespace vantrel::substitutes::erp {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

std::atomic<int> lockTimeoutMs{2000};

[[noreturn]] void raise(std::string_view message) {
    throw RuntimeError(kCommandError, u"SQLite", automation::fromUtf8(message));
}

std::string utf8(TextView text) {
    return automation::toUtf8(text);
}

bool isDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int number(std::string_view s) {
    int n = 0;
    for (char c : s) n = n * 10 + (c - '0');
    return n;
}

}  // namespace

std::filesystem::path fileSystemPath(TextView windowsPath) {
#ifdef _WIN32
    return std::filesystem::path(std::u16string(windowsPath));
#else
    Text p(windowsPath);
    if (p.size() >= 2 && p[1] == u':' &&
        ((p[0] >= u'A' && p[0] <= u'Z') || (p[0] >= u'a' && p[0] <= u'z'))) {
        p.erase(0, 2);
    }
    for (auto& c : p) {
        if (c == u'\\') c = u'/';
    }
    return std::filesystem::path(automation::toUtf8(p));
#endif
}

void setLockTimeout(int milliseconds) {
    lockTimeoutMs = milliseconds < 0 ? 0 : milliseconds;
}
int lockTimeout() {
    return lockTimeoutMs;
}

std::shared_ptr<Database> Database::open(TextView windowsPath, Mode mode) {
    if (windowsPath.empty()) raise("no database file named");
    std::filesystem::path path = fileSystemPath(windowsPath);
    std::string file = utf8(path.u16string());
    // Each connection belongs to one session, used by one thread at a time (the objects are
    // apartment-threaded under COM), so SQLite's own locking of every call is not needed.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        raise(message + ": " + file);
    }
    sqlite3_extended_result_codes(db, 0);
    sqlite3_busy_timeout(db, lockTimeoutMs);
    auto database = std::shared_ptr<Database>(new Database(db, Text(windowsPath)));
    database->exec("PRAGMA foreign_keys = ON");
    return database;
}

Database::~Database() {
    for (auto& [sql, entry] : cache_) sqlite3_finalize(entry.stmt);
    sqlite3_close_v2(db_);
}

Statement Database::cached(const char* sql) {
    CachedStatement& entry = cache_[sql];
    if (entry.inUse) return prepare(sql);
    if (!entry.stmt) {
        if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &entry.stmt, nullptr) !=
            SQLITE_OK) {
            sqlite3_finalize(entry.stmt);
            entry.stmt = nullptr;
            fail();
        }
    }
    entry.inUse = true;
    return Statement(*this, entry.stmt, &entry.inUse);
}

void Database::fail(std::string_view context) const {
    std::string message = sqlite3_errmsg(db_);
    if (!context.empty()) message = std::string(context) + ": " + message;
    raise(message);
}

void Database::exec(std::string_view sql) {
    std::string text(sql);
    char* error = nullptr;
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        raise(message);
    }
}

Statement Database::prepare(std::string_view sql, std::string_view* tail) {
    sqlite3_stmt* stmt = nullptr;
    const char* end = nullptr;
    if (sql.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        raise("statement too long");
    int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, &end);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail();
    }
    if (tail)
        *tail = end ? sql.substr(static_cast<std::size_t>(end - sql.data())) : std::string_view();
    if (!stmt) raise("the command holds no statement");
    return Statement(*this, stmt);
}

std::int64_t Database::changes() const {
    return sqlite3_changes(db_);
}

Transaction::Transaction(Database& db, bool immediate) : db_(db) {
    db_.exec(immediate ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
    if (open_) sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    db_.exec("COMMIT");
    open_ = false;
}

Statement::~Statement() {
    if (!inUse_) {
        sqlite3_finalize(stmt_);
        return;
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    *inUse_ = false;
}

Statement& Statement::bind(int index, TextView text) {
    std::string s = utf8(text);
    if (sqlite3_bind_text(stmt_, index, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        db_->fail();
    return *this;
}

Statement& Statement::bind(int index, double value) {
    if (sqlite3_bind_double(stmt_, index, value) != SQLITE_OK) db_->fail();
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) db_->fail();
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) db_->fail();
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // The statement's own error; reset so that the connection's message is the real one.
    std::string message = sqlite3_errmsg(db_->handle());
    sqlite3_reset(stmt_);
    raise(message);
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

Text Statement::columnName(int column) const {
    const char* name = sqlite3_column_name(stmt_, column);
    return name ? automation::fromUtf8(name) : Text();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Text Statement::text(int column) const {
    const unsigned char* t = sqlite3_column_text(stmt_, column);
    int n = sqlite3_column_bytes(stmt_, column);
    return t ? automation::fromUtf8(
                   std::string_view(reinterpret_cast<const char*>(t), static_cast<std::size_t>(n)))
             : Text();
}

double Statement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

namespace {

// Whether a column's declared type names a date ("DATE", "DATETIME", any case). Asked for
// every text value read, so without building a string.
bool declaredAsDate(const char* type) {
    if (!type) return false;
    for (const char* p = type; *p; ++p) {
        int i = 0;
        while (i < 4 && p[i] && std::toupper(static_cast<unsigned char>(p[i])) == "DATE"[i]) ++i;
        if (i == 4) return true;
    }
    return false;
}

}  // namespace

Variant Statement::value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_NULL:
            return Variant::null();
        case SQLITE_INTEGER: {
            std::int64_t i = sqlite3_column_int64(stmt_, column);
            if (i >= std::numeric_limits<std::int32_t>::min() &&
                i <= std::numeric_limits<std::int32_t>::max())
                return Variant(static_cast<std::int32_t>(i));
            return Variant(static_cast<double>(i));
        }
        case SQLITE_FLOAT:
            return Variant(sqlite3_column_double(stmt_, column));
        default:
            break;
    }
    if (declaredAsDate(sqlite3_column_decltype(stmt_, column))) {
        const unsigned char* t = sqlite3_column_text(stmt_, column);
        if (t) {
            if (auto date = parseIsoDate(reinterpret_cast<const char*>(t)))
                return Variant::date(*date);
        }
    }
    return Variant(text(column));
}

std::string isoDate(double date) {
    automation::DateParts p = automation::splitDate(date);
    if (p.year < 0 || p.year > 9999) {
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", p.year, p.month, p.day);
        return buffer;
    }
    // Written by hand: every stored line has its date, and snprintf showed in a save's profile.
    std::string out = "0000-00-00";
    auto put = [&](std::size_t at, int value, int width) {
        for (int k = width - 1; k >= 0; --k, value /= 10)
            out[at + static_cast<std::size_t>(k)] = static_cast<char>('0' + value % 10);
    };
    put(0, p.year, 4);
    put(5, p.month, 2);
    put(8, p.day, 2);
    return out;
}

std::optional<double> parseIsoDate(std::string_view s) {
    if (s.size() < 10 || s[4] != '-' || s[7] != '-') return std::nullopt;
    std::string_view y = s.substr(0, 4), m = s.substr(5, 2), d = s.substr(8, 2);
    if (!isDigits(y) || !isDigits(m) || !isDigits(d)) return std::nullopt;
    int year = number(y), month = number(m), day = number(d);
    if (year < 100 || month < 1 || month > 12 || day < 1 ||
        day > automation::daysInMonth(year, month))
        return std::nullopt;
    int hour = 0, minute = 0, second = 0;
    std::string_view rest = s.substr(10);
    if (!rest.empty()) {
        if ((rest.size() != 6 && rest.size() != 9) || (rest[0] != ' ' && rest[0] != 'T') ||
            rest[3] != ':')
            return std::nullopt;
        std::string_view h = rest.substr(1, 2), mi = rest.substr(4, 2);
        if (!isDigits(h) || !isDigits(mi)) return std::nullopt;
        hour = number(h);
        minute = number(mi);
        if (rest.size() == 9) {
            if (rest[6] != ':' || !isDigits(rest.substr(7, 2))) return std::nullopt;
            second = number(rest.substr(7, 2));
        }
        if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    }
    return automation::makeDate(year, month, day, hour, minute, second);
}

}  // namespace vantrel::substitutes::erp
