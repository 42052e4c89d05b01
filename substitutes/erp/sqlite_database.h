// A thin owner of one SQLite connection and its statements, with SQLite's errors turned into
// RuntimeErrors and column values turned into Variants. Paths are Windows paths, as the rest
// of the system passes them; elsewhere they are translated (backslash to slash, no drive).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "automation/runtime_error.h"
#include "automation/variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vantrel::substitutes::erp {

// The number a failing statement raises: the OLE DB provider's "error in the command"
// (0x80040E14), which ADO reports for a statement the server rejects.
inline constexpr std::int32_t kCommandError = -2147217900;

// The file-system path of a Windows path of the system.
std::filesystem::path fileSystemPath(automation::TextView windowsPath);

// How long a statement waits for a lock held by another connection before it gives up.
void setLockTimeout(int milliseconds);
int lockTimeout();

class Statement;

class Database {
public:
    enum class Mode { ReadWrite, Create };

    // Opens the file. ReadWrite never creates a file: a missing file is an error.
    // RuntimeError(kCommandError) with SQLite's message on failure.
    static std::shared_ptr<Database> open(automation::TextView windowsPath, Mode mode);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const automation::Text& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // Runs statements that return no rows.
    void exec(std::string_view sql);
    // Compiles one statement; RuntimeError when it does not compile. `tail`, when given,
    // receives what follows the first statement.
    Statement prepare(std::string_view sql, std::string_view* tail = nullptr);
    // The same, compiled once per connection and kept: for the stand-ins' own fixed
    // statements, which run once per line. `sql` must be a string literal (it is the key).
    // A statement already in use is compiled anew.
    Statement cached(const char* sql);
    std::int64_t changes() const;

    // Raises the current error of the connection, prefixed by `context` when given.
    [[noreturn]] void fail(std::string_view context = {}) const;

private:
    Database(sqlite3* db, automation::Text path) : db_(db), path_(std::move(path)) {}
    friend class Statement;
    struct CachedStatement {
        sqlite3_stmt* stmt = nullptr;
        bool inUse = false;
    };
    sqlite3* db_;
    automation::Text path_;
    std::unordered_map<const char*, CachedStatement> cache_;
};

// BEGIN [IMMEDIATE] ... COMMIT, rolled back when left without commit().
class Transaction {
public:
    explicit Transaction(Database& db, bool immediate = false);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Database& db_;
    bool open_ = true;
};

class Statement {
public:
    Statement(const Database& db, sqlite3_stmt* stmt, bool* inUse = nullptr)
        : db_(&db), stmt_(stmt), inUse_(inUse) {}
    Statement(Statement&& other) noexcept
        : db_(other.db_), stmt_(other.stmt_), inUse_(other.inUse_) {
        other.stmt_ = nullptr;
        other.inUse_ = nullptr;
    }
    Statement& operator=(Statement&&) = delete;
    ~Statement();

    // Parameters are numbered from 1.
    Statement& bind(int index, automation::TextView text);
    Statement& bind(int index, double value);
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bindNull(int index);
    // True while a row is ready; false when done. RuntimeError on failure.
    bool step();
    // Steps to the end (statements without rows).
    void run();
    void reset();

    int columnCount() const;
    automation::Text columnName(int column) const;
    bool isNull(int column) const;
    automation::Text text(int column) const;
    double real(int column) const;
    std::int64_t integer(int column) const;
    // The column as an automation value: INTEGER -> Long (Double when it does not fit),
    // REAL -> Double, TEXT -> String, NULL -> Null, BLOB -> String of its bytes. Text in a
    // column declared DATE or DATETIME holding "YYYY-MM-DD" (optionally " HH:MM[:SS]") is a
    // Date.
    automation::Variant value(int column) const;

private:
    const Database* db_;
    sqlite3_stmt* stmt_;
    bool* inUse_;  // a statement of the connection's cache: reset, not finalised, when done
};

// "YYYY-MM-DD" of a date (the time of day is dropped).
std::string isoDate(double date);
// The date of "YYYY-MM-DD" or "YYYY-MM-DD HH:MM[:SS]"; nothing for any other text.
std::optional<double> parseIsoDate(std::string_view text);

}  // namespace vantrel::substitutes::erp
