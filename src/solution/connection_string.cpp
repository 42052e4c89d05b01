#include "solution/connection_string.h"

namespace vantrel::solution {

using automation::Text;

namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// 'x' or "x", with every quote of that kind inside doubled: the form the provider reads back
// as x. Such a value is already what the string needs.
bool validlyQuoted(const Text& value) {
    if (value.size() < 2) return false;
    char16_t q = value.front();
    if ((q != u'"' && q != u'\'') || value.back() != q) return false;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] != q) continue;
        if (i + 2 >= value.size() || value[i + 1] != q) return false;
        ++i;
    }
    return true;
}

bool needsQuoting(const Text& value) {
    if (value.empty() || validlyQuoted(value)) return false;
    if (value.find_first_of(u";=") != Text::npos) return true;
    if (value.front() == u'"' || value.front() == u'\'') return true;
    return isBlank(value.front()) || isBlank(value.back());
}

}  // namespace

Text quoteConnectionValue(const Text& value) {
    if (!needsQuoting(value)) return value;
    bool hasDouble = value.find(u'"') != Text::npos;
    bool hasSingle = value.find(u'\'') != Text::npos;
    if (hasDouble && !hasSingle) return u"'" + value + u"'";
    Text out = u"\"";
    for (char16_t c : value) {
        out.push_back(c);
        if (c == u'"') out.push_back(u'"');
    }
    out.push_back(u'"');
    return out;
}

Text pStringLigacao(const Text& provider, const Text& dataProvider, const Text& server,
                    const Text& database, const Text& user, const Text& password) {
    Text s = u"Provider=" + quoteConnectionValue(provider) + u";Data Provider=" +
             quoteConnectionValue(dataProvider) + u";Data Source=" + quoteConnectionValue(server) +
             u";Initial Catalog=" + quoteConnectionValue(database);
    if (!user.empty() || !password.empty()) {
        s += u";User Id=" + quoteConnectionValue(user) + u";Password=" +
             quoteConnectionValue(password) + u"; ";
    } else {
        s += u";Integrated Security=SSPI;";
    }
    return s;
}

}  // namespace vantrel::solution
