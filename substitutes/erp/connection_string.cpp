#include "erp/connection_string.h"

#include <string>

#include "automation/runtime_error.h"

namespace vantrel::substitutes::erp {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;

namespace {

// ADO's "arguments of the wrong type, out of acceptable range, or in conflict".
constexpr std::int32_t kBadArguments = 3001;

[[noreturn]] void bad(std::size_t position, std::string_view what) {
    std::string message = "Invalid connection string at position " + std::to_string(position + 1) +
                          ": " + std::string(what);
    throw RuntimeError(kBadArguments, u"CoreDataAccess", automation::fromUtf8(message));
}

bool blank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

}  // namespace

ConnectionString ConnectionString::parse(TextView s) {
    ConnectionString result;
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        while (i < n && (blank(s[i]) || s[i] == u';')) ++i;
        if (i >= n) break;
        // Keyword up to a single '='; "==" is a literal '='.
        std::size_t start = i;
        Text keyword;
        bool sawEquals = false;
        while (i < n) {
            if (s[i] == u'=') {
                if (i + 1 < n && s[i + 1] == u'=') {
                    keyword.push_back(u'=');
                    i += 2;
                    continue;
                }
                sawEquals = true;
                ++i;
                break;
            }
            if (s[i] == u';') break;
            keyword.push_back(s[i++]);
        }
        // The same blanks as around values: a tab before '=' is no part of the keyword.
        while (!keyword.empty() && blank(keyword.back())) keyword.pop_back();
        if (!sawEquals) bad(start, "\"" + automation::toUtf8(keyword) + "\" has no '='");
        if (keyword.empty()) bad(start, "empty keyword");
        // Value.
        while (i < n && blank(s[i])) ++i;
        Text value;
        if (i < n && (s[i] == u'"' || s[i] == u'\'')) {
            char16_t quote = s[i];
            std::size_t open = i++;
            bool closed = false;
            while (i < n) {
                if (s[i] == quote) {
                    if (i + 1 < n && s[i + 1] == quote) {
                        value.push_back(quote);
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value.push_back(s[i++]);
            }
            if (!closed) bad(open, "unterminated quote");
            while (i < n && blank(s[i])) ++i;
            if (i < n && s[i] != u';') bad(i, "text after a quoted value");
        } else {
            std::size_t from = i;
            while (i < n && s[i] != u';') ++i;
            value = automation::trim(s.substr(from, i - from));
            while (!value.empty() && blank(value.back())) value.pop_back();
        }
        Text key = automation::ucase(keyword);
        if (key == u"PROVIDER" && result.values_.count(key)) continue;
        result.values_[key] = value;
    }
    return result;
}

std::optional<Text> ConnectionString::get(TextView keyword) const {
    auto it = values_.find(automation::ucase(automation::trim(keyword)));
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::optional<Text> ConnectionString::any(std::initializer_list<TextView> keywords) const {
    for (TextView k : keywords) {
        if (auto v = get(k)) return v;
    }
    return std::nullopt;
}

ConnectionTarget connectionTarget(const ConnectionString& cs) {
    ConnectionTarget t;
    t.server = cs.any({u"Data Source", u"Server", u"Address"}).value_or(Text());
    t.catalog = cs.any({u"Initial Catalog", u"Database"}).value_or(Text());
    t.user = cs.any({u"User Id", u"UID", u"User"}).value_or(Text());
    t.password = cs.any({u"Password", u"PWD"}).value_or(Text());
    Text integrated = automation::ucase(cs.get(u"Integrated Security").value_or(Text()));
    Text trusted = automation::ucase(cs.get(u"Trusted_Connection").value_or(Text()));
    t.integratedSecurity = integrated == u"SSPI" || integrated == u"TRUE" || integrated == u"YES" ||
                           trusted == u"YES" || trusted == u"TRUE";
    return t;
}

}  // namespace vantrel::substitutes::erp
