#include "report_data.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "automation/datetime.h"
#include "automation/number_format.h"
#include "automation/runtime_error.h"
#include "data_folder.h"
#include "file_paths.h"

namespace vantrel::substitutes::reports {

using automation::fromUtf8;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::toUtf8;
using automation::Variant;
using automation::VarType;

namespace {

RuntimeError dataError(std::int32_t number, const Text& problem) {
    return RuntimeError(number, u"CrystalRuntime", u"Report data: " + problem);
}

Text plainDecimal(double d) {
    char buf[64];
    // Shortest text that reads back as the same double, never with an exponent, always "."
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
    if (ec != std::errc()) return u"NULL";
    return fromUtf8(std::string_view(buf, static_cast<std::size_t>(end - buf)));
}

constexpr int kAmountDecimals = 2;
constexpr int kMostDecimals = 4;  // Currency's precision

// Decimals a value needs, at most four: 10.8 one, 0.125 three, 1/3 four.
int decimalsNeeded(double d) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", kMostDecimals, d);
    std::string text = buf;
    while (text.back() == '0') text.pop_back();
    const std::size_t point = text.find('.');
    return static_cast<int>(text.size() - point - 1);
}

// "yyyy-mm-dd" with an optional " hh:mm" or " hh:mm:ss" (or "T" before the time), as SQLite
// keeps dates in text, as a date serial; anything else stays text.
std::optional<double> isoDate(const Text& text) {
    const std::size_t size = text.size();
    if (size != 10 && size != 16 && size != 19) return std::nullopt;
    auto is = [&](std::size_t at, char16_t c) { return text[at] == c; };
    auto digits = [&](std::size_t from, std::size_t count) -> std::optional<int> {
        int n = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
            n = n * 10 + (text[i] - u'0');
        }
        return n;
    };
    const auto year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    if (!year || !month || !day || !is(4, u'-') || !is(7, u'-')) return std::nullopt;
    std::optional<int> hour = 0, minute = 0, second = 0;
    if (size > 10) {
        if (!is(10, u' ') && !is(10, u'T')) return std::nullopt;
        if (!is(13, u':')) return std::nullopt;
        hour = digits(11, 2);
        minute = digits(14, 2);
    }
    if (size == 19) {
        if (!is(16, u':')) return std::nullopt;
        second = digits(17, 2);
    }
    if (!hour || !minute || !second || *month < 1 || *month > 12 || *day < 1 || *year < 100 ||
        *day > automation::daysInMonth(*year, *month) || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    return automation::makeDate(*year, *month, *day, *hour, *minute, *second);
}

Text twoDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return fromUtf8(buf);
}

Text dateLiteral(double serial) {
    const automation::DateParts p = automation::splitDate(serial);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", p.year);
    Text out = u"'" + fromUtf8(buf) + u"-" + twoDigits(p.month) + u"-" + twoDigits(p.day);
    if (p.hour || p.minute || p.second) {
        out += u" " + twoDigits(p.hour) + u":" + twoDigits(p.minute) + u":" + twoDigits(p.second);
    }
    return out + u"'";
}

Text quoted(const Text& text) {
    Text out = u"'";
    for (char16_t c : text) {
        if (c == u'\'') out += u'\'';
        out += c;
    }
    return out + u"'";
}

Text literal(const Variant& v) {
    switch (v.type()) {
        case VarType::Empty:
        case VarType::Null:
            return u"NULL";
        case VarType::Boolean:
            return v.toBool() ? u"1" : u"0";
        case VarType::Date:
            return dateLiteral(v.toDate());
        case VarType::Integer:
        case VarType::Long:
            return fromUtf8(std::to_string(v.toLong()));
        case VarType::Currency: {
            // Exact: the scaled integer with its four decimals, trailing zeros dropped.
            const std::int64_t scaled = v.toCurrency().scaled;
            const std::uint64_t magnitude = scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled)
                                                       : static_cast<std::uint64_t>(scaled);
            std::string s = std::to_string(magnitude / 10000);
            std::string fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
            while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
            if (!fraction.empty()) s += "." + fraction;
            return fromUtf8((scaled < 0 ? "-" : "") + s);
        }
        case VarType::Double:
            return plainDecimal(v.toDouble());
        default:
            return quoted(v.toText());
    }
}

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

std::string existingDatabase(TextView catalog) {
    const Text file = databaseFile(catalog);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(nativeFile(file), ec)) {
        throw dataError(automation::errc::FileNotFound, u"no database file " + file);
    }
    return nativeFileUtf8(file);
}

}  // namespace

Text sqlLiteral(const std::vector<Variant>& values) {
    if (values.empty()) return u"NULL";
    Text out;
    for (const auto& v : values) {
        if (!out.empty()) out += u",";
        out += literal(v);
    }
    return out;
}

Text spliceParameters(TextView query, const std::vector<QueryParameter>& parameters) {
    Text out;
    std::size_t pos = 0;
    while (pos < query.size()) {
        const std::size_t open = query.find(u"{?", pos);
        if (open == TextView::npos) break;
        const std::size_t close = query.find(u'}', open);
        if (close == TextView::npos) break;
        out.append(query.substr(pos, open - pos));
        const TextView name = query.substr(open + 2, close - open - 2);
        const QueryParameter* found = nullptr;
        for (const auto& p : parameters) {
            if (automation::equalsIgnoreCase(p.name, name)) found = &p;
        }
        if (!found) {
            throw dataError(automation::errc::ApplicationDefined,
                            u"the query names {?" + Text(name) + u"}, which is no parameter");
        }
        out += sqlLiteral(found->values);
        pos = close + 1;
    }
    out.append(query.substr(pos));
    return out;
}

ReportRows runReportQuery(TextView catalog, const std::vector<Text>& attached, TextView sql) {
    if (catalog.empty()) {
        throw dataError(automation::errc::ApplicationDefined,
                        u"the report's first table is bound to no database");
    }
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(existingDatabase(catalog).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, DatabaseCloser> db(raw);
    auto failure = [&](const Text& what) {
        return dataError(automation::errc::ApplicationDefined,
                         what + u": " + fromUtf8(db ? sqlite3_errmsg(db.get()) : "out of memory"));
    };
    if (rc != SQLITE_OK) throw failure(u"cannot open " + databaseFile(catalog));

    int n = 0;
    for (const auto& other : attached) {
        if (automation::equalsIgnoreCase(other, catalog)) continue;
        // The connection is read-only, and so is everything attached to it.
        const std::string attach = "ATTACH DATABASE ?1 AS " + ("data" + std::to_string(++n));
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db.get(), attach.c_str(), -1, &s, nullptr);
        std::unique_ptr<sqlite3_stmt, StatementFinalizer> stmt(s);
        const std::string file = existingDatabase(other);
        sqlite3_bind_text(s, 1, file.c_str(), static_cast<int>(file.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(s) != SQLITE_DONE) throw failure(u"cannot attach " + databaseFile(other));
    }

    const std::string text = toUtf8(sql);
    sqlite3_stmt* s = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db.get(), text.c_str(), static_cast<int>(text.size()), &s, &tail) !=
        SQLITE_OK) {
        throw failure(u"the query is refused");
    }
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> stmt(s);
    if (!s) throw dataError(automation::errc::ApplicationDefined, u"the query is empty");
    for (const char* rest = tail; rest && *rest; ++rest) {
        if (*rest != ' ' && *rest != '\t' && *rest != '\r' && *rest != '\n' && *rest != ';') {
            throw dataError(automation::errc::ApplicationDefined,
                            u"the query holds more than one statement");
        }
    }

    ReportRows out;
    const int columns = sqlite3_column_count(s);
    for (int c = 0; c < columns; ++c) out.columns.push_back(fromUtf8(sqlite3_column_name(s, c)));
    // Decimals each column shows; 0 while it has held whole numbers only.
    std::vector<int> decimals(static_cast<std::size_t>(columns), 0);
    int step;
    while ((step = sqlite3_step(s)) == SQLITE_ROW) {
        std::vector<ReportCell> row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            ReportCell cell;
            const int type = sqlite3_column_type(s, c);
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
                cell.number = sqlite3_column_double(s, c);
            }
            if (type == SQLITE_FLOAT) {
                cell.text = plainDecimal(*cell.number);
                int& shown = decimals[static_cast<std::size_t>(c)];
                shown = std::max(shown, decimalsNeeded(*cell.number));
            } else if (type != SQLITE_NULL) {
                const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
                cell.text = fromUtf8(
                    std::string_view(bytes, static_cast<std::size_t>(sqlite3_column_bytes(s, c))));
                if (type == SQLITE_TEXT) cell.date = isoDate(cell.text);
            }
            row.push_back(std::move(cell));
        }
        out.rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE) throw failure(u"the query failed");
    // The texts once every row is in, so a column's decimals are known: a column with a
    // fraction anywhere shows at least the cents.
    for (int& shown : decimals) {
        if (shown > 0) shown = std::max(shown, kAmountDecimals);
    }
    for (auto& row : out.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            ReportCell& cell = row[c];
            if (cell.number && decimals[c] > 0) {
                cell.decimals = decimals[c];
                cell.text = automation::formatGrouped(*cell.number, cell.decimals);
            } else if (cell.date) {
                cell.text = automation::formatDate(*cell.date);
            }
        }
    }
    return out;
}

}  // namespace vantrel::substitutes::reports
