#include "variant_native.h"

#include <set>
#include <sstream>

#include "automation/locale.h"
#include "automation/runtime_error.h"
#include "automation/variant.h"

namespace vantrel::tests::variantcases {

namespace {

using namespace vantrel::automation;

// What the platform hands the add-in for each locale. Wine's pt-PT is today's Windows data
// (no-break space between thousands, dd/MM/yyyy), not the older data of our pt fixture.
Locale localeFor(std::uint32_t lcid) {
    if (lcid == 0x0409) return Locale::unitedStates();
    Locale pt = Locale::portugal();
    pt.thousandsSeparator = 0xA0;
    pt.dateSeparator = u'/';
    return pt;
}

std::string localeLine(std::uint32_t lcid, const Locale& l) {
    auto one = [](char16_t c) { return escapeText(std::u16string(1, c)); };
    std::u16string day = l.dayLeadingZero ? u"dd" : u"d", month = l.monthLeadingZero ? u"MM" : u"M";
    std::u16string sep(1, l.dateSeparator), t(1, l.timeSeparator);
    std::u16string date = l.dateOrder == DateOrder::MonthDayYear ? month + sep + day + sep + u"yyyy"
                          : l.dateOrder == DateOrder::YearMonthDay
                              ? u"yyyy" + sep + month + sep + day
                              : day + sep + month + sep + u"yyyy";
    std::u16string time =
        l.twelveHourClock ? u"h" + t + u"mm" + t + u"ss tt" : u"HH" + t + u"mm" + t + u"ss";
    std::string result = one(l.decimalSeparator) + " " + one(l.thousandsSeparator) + " " +
                         escapeText(date) + " " + escapeText(time) + " " +
                         escapeText(l.currencySymbol);
    for (const auto& m : l.monthNames) result += " " + escapeText(m);
    for (const auto& m : l.monthAbbreviations) result += " " + escapeText(m);
    Case c;
    c.source = "locale";
    return reportLine(lcid, c, result);
}

Variant toVariant(const Operand& o) {
    switch (o.kind) {
        case 's':
            return Variant(Text(o.text));
        case 'i':
            return Variant(static_cast<std::int16_t>(o.number));
        case 'l':
            return Variant(static_cast<std::int32_t>(o.number));
        case 'r':
            return Variant(o.number);
        case 'c':
            return Variant(Currency{static_cast<std::int64_t>(o.number)});
        case 'd':
            return Variant::date(o.number);
        case 'b':
            return Variant(o.number != 0);
        case 'n':
            return Variant::null();
        default:
            return Variant();
    }
}

std::string run(const Case& c) {
    Variant a = toVariant(c.operands[0]);
    try {
        if (c.op == "str") return escapeText(a.toText());
        if (c.op == "int") return std::to_string(a.toInteger());
        if (c.op == "lng") return std::to_string(a.toLong());
        if (c.op == "dbl") return formatDouble(a.toDouble());
        if (c.op == "cur") return std::to_string(a.toCurrency().scaled);
        if (c.op == "bool") return a.toBool() ? "True" : "False";
        if (c.op == "date") return formatDouble(a.toDate());
        return std::to_string(compare(a, toVariant(c.operands[1])));
    } catch (const RuntimeError& e) {
        return "error " + std::to_string(e.number());
    }
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace

std::string runNative(const std::vector<Case>& cases) {
    std::string report;
    for (std::uint32_t lcid : kLocales) {
        ScopedLocale scoped(localeFor(lcid));
        report += localeLine(lcid, Locale::current());
        for (const auto& c : cases) report += reportLine(lcid, c, run(c));
    }
    return report;
}

int compareReports(const std::string& reference, const std::string& ours,
                   const std::string& differences, int& total, std::string& details) {
    std::set<std::string> listed;
    for (const auto& line : lines(differences)) {
        if (!line.empty() && line[0] != '#') listed.insert(line);
    }
    auto want = lines(reference), got = lines(ours);
    total = static_cast<int>(std::max(want.size(), got.size()));
    int passed = 0;
    for (std::size_t i = 0; i < want.size() || i < got.size(); ++i) {
        std::string w = i < want.size() ? want[i] : "(missing)",
                    g = i < got.size() ? got[i] : "(missing)";
        bool kept = listed.count(g) != 0;
        if ((w == g) != kept) {
            ++passed;
        } else if (kept) {
            details += "listed as a deliberate difference but oleaut32 agrees: " + g + "\n";
        } else {
            details += "oleaut32: " + w + "\n     ours: " + g + "\n";
        }
    }
    return passed;
}

}  // namespace vantrel::tests::variantcases
