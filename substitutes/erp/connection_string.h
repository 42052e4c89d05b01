// OLE DB connection strings: "keyword=value" pairs separated by semicolons.
//   - blanks around keywords and values are ignored; keywords compare without regard to case;
//   - a value holding ';' (or starting with a quote or a blank) is enclosed in double or
//     single quotes, the enclosing quote doubled inside it ("a""b", 'a''b');
//   - "==" inside a keyword is a literal '=';
//   - a keyword given twice keeps its last value, except Provider, which keeps its first;
//   - empty pairs (";;", a final "; ") are ignored.
#pragma once

#include <map>
#include <optional>

#include "automation/text.h"

namespace vantrel::substitutes::erp {

class ConnectionString {
public:
    // RuntimeError 3001 with the position of the fault for a string that breaks the rules
    // (a pair without '=', an empty keyword, an unterminated quote, text after a quote).
    static ConnectionString parse(automation::TextView text);

    // The value of a keyword (any case); nothing when absent.
    std::optional<automation::Text> get(automation::TextView keyword) const;
    // The first of several synonyms that is present ("User Id", "UID"...).
    std::optional<automation::Text> any(std::initializer_list<automation::TextView> keywords) const;
    std::size_t size() const { return values_.size(); }
    // Every pair, by upper-cased keyword.
    const std::map<automation::Text, automation::Text>& values() const { return values_; }

private:
    std::map<automation::Text, automation::Text> values_;  // upper-cased keyword -> value
};

// What the company database stand-in takes from a connection string.
struct ConnectionTarget {
    automation::Text server;          // Data Source / Server / Address
    automation::Text catalog;         // Initial Catalog / Database
    automation::Text user;            // User Id / UID / User
    automation::Text password;        // Password / PWD
    bool integratedSecurity = false;  // Integrated Security=SSPI|true|yes, Trusted_Connection=yes
};

ConnectionTarget connectionTarget(const ConnectionString& cs);

}  // namespace vantrel::substitutes::erp
