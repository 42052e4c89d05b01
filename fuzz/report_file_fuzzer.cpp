// libFuzzer target for the stand-in report runtime's report-file reader. Build and run: see
// fuzz/README.md.
//
// Input: the report file's bytes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "automation/datetime.h"
#include "fuzz_support.h"
#include "reports/report_file.h"

namespace {

using namespace vantrel::automation;
using vantrel::fuzzing::attempt;
using vantrel::fuzzing::check;
namespace rpt = vantrel::substitutes::reports;

struct Totals {
    std::size_t tables = 0;
    std::size_t subreports = 0;
};

void checkTree(const rpt::ReportDefinition& r, std::size_t depth, Totals& totals) {
    check(depth <= rpt::limit::SubreportDepth, "subreports nested past the limit");
    totals.tables += r.tables.size();
    for (const auto& p : r.parameters) {
        for (const Variant& v : p.offeredValues) {
            VarType expected = VarType::String;
            if (p.valueType == 7 || p.valueType == 8) expected = VarType::Double;
            if (p.valueType == 9) expected = VarType::Boolean;
            if (p.valueType == 10 || p.valueType == 11 || p.valueType == 16)
                expected = VarType::Date;
            check(v.type() == expected, "an offered value of another type", p.name);
            if (expected == VarType::Double)
                check(std::isfinite(v.toDouble()), "not finite", p.name);
        }
    }
    for (const auto& area : r.areas) {
        for (const auto& section : area.sections) {
            for (const auto& o : section.objects) {
                check((o.kind == rpt::kind::Subreport) == (o.subreport != nullptr), "subreport");
                if (!o.subreport) continue;
                ++totals.subreports;
                checkTree(*o.subreport, depth + 1, totals);
            }
        }
    }
}

std::string utf8(const Text& t) {
    return toUtf8(t);
}

std::string offerText(std::int16_t type, const Variant& v) {
    if (type == 7 || type == 8) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", v.toDouble());
        return buf;
    }
    if (type == 9) return v.toBool() ? "true" : "false";
    if (type == 10 || type == 11 || type == 16) {
        const DateParts d = splitDate(v.toDate());
        char buf[40];
        if (type == 11) {
            std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", d.hour, d.minute, d.second);
        } else if (type == 10) {
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
        } else {
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day,
                          d.hour, d.minute, d.second);
        }
        return buf;
    }
    return utf8(v.toText());
}

// The definition written back in the format's own terms, every key in one canonical order.
void write(const rpt::ReportDefinition& r, std::string& out) {
    auto line = [&](const std::string& key, const std::string& value) {
        out += key + ": " + value + "\n";
    };
    line("title", utf8(r.title));
    line("driver", utf8(r.driverName));
    line("printer", utf8(r.printerName));
    line("port", utf8(r.portName));
    line("orientation", std::to_string(r.paperOrientation));
    line("paper-size", std::to_string(r.paperSize));
    line("paper-source", std::to_string(r.paperSource));
    line("margin-top", std::to_string(r.topMargin));
    line("margin-bottom", std::to_string(r.bottomMargin));
    line("margin-left", std::to_string(r.leftMargin));
    line("margin-right", std::to_string(r.rightMargin));
    for (const auto& t : r.tables) line("table", utf8(t));
    for (const auto& area : r.areas) {
        line("area", utf8(area.name));
        for (const auto& section : area.sections) {
            line("section", utf8(section.name));
            for (const auto& o : section.objects) {
                if (o.subreport) {
                    line("subreport", utf8(o.name));
                    write(*o.subreport, out);
                    out += "end\n";
                } else {
                    line("object", std::to_string(o.kind) + " " + utf8(o.name));
                }
            }
        }
    }
    for (const auto& p : r.parameters) {
        line("parameter", utf8(p.name));
        line("prompt", utf8(p.prompt));
        line("type", std::to_string(p.valueType));
        line("multiple", p.multipleValues ? "yes" : "no");
        for (const Variant& v : p.offeredValues) line("offer", offerText(p.valueType, v));
    }
    const std::string query = utf8(r.query);
    for (std::size_t pos = 0; !query.empty() && pos <= query.size();) {
        const std::size_t nl = query.find('\n', pos);
        line("query", query.substr(pos, nl == std::string::npos ? nl : nl - pos));
        pos = nl == std::string::npos ? query.size() + 1 : nl + 1;
    }
}

bool same(const Variant& a, const Variant& b) {
    if (a.type() != b.type()) return false;
    if (a.type() == VarType::String) return a.text() == b.text();
    return a.toDouble() == b.toDouble() && a.toText() == b.toText();
}

void checkSame(const rpt::ReportDefinition& a, const rpt::ReportDefinition& b) {
    check(a.title == b.title && a.driverName == b.driverName && a.printerName == b.printerName &&
              a.portName == b.portName && a.paperOrientation == b.paperOrientation &&
              a.paperSize == b.paperSize && a.paperSource == b.paperSource &&
              a.topMargin == b.topMargin && a.bottomMargin == b.bottomMargin &&
              a.leftMargin == b.leftMargin && a.rightMargin == b.rightMargin &&
              a.tables == b.tables && a.query == b.query,
          "report settings do not read back", a.name);
    check(a.areas.size() == b.areas.size(), "areas do not read back", a.name);
    for (std::size_t i = 0; i < a.areas.size(); ++i) {
        const auto &x = a.areas[i], &y = b.areas[i];
        check(x.name == y.name && x.sections.size() == y.sections.size(), "sections", x.name);
        for (std::size_t k = 0; k < x.sections.size(); ++k) {
            const auto &s = x.sections[k], &t = y.sections[k];
            check(s.name == t.name && s.objects.size() == t.objects.size(), "objects", s.name);
            for (std::size_t j = 0; j < s.objects.size(); ++j) {
                const auto &o = s.objects[j], &q = t.objects[j];
                check(o.kind == q.kind && o.name == q.name, "an object does not read back", o.name);
                if (o.subreport) checkSame(*o.subreport, *q.subreport);
            }
        }
    }
    check(a.parameters.size() == b.parameters.size(), "parameters do not read back", a.name);
    for (std::size_t i = 0; i < a.parameters.size(); ++i) {
        const auto &p = a.parameters[i], &q = b.parameters[i];
        check(p.name == q.name && p.prompt == q.prompt && p.valueType == q.valueType &&
                  p.multipleValues == q.multipleValues &&
                  p.offeredValues.size() == q.offeredValues.size(),
              "a parameter does not read back", p.name);
        for (std::size_t k = 0; k < p.offeredValues.size(); ++k)
            check(same(p.offeredValues[k], q.offeredValues[k]), "an offer differs", p.name);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = vantrel::fuzzing::bytesOf(data, size);
    const auto report =
        attempt([&] { return rpt::parseReportText(bytes, u"fuzz.rpt"); }, {rpt::kBadReportFile});
    if (!report.ok()) return 0;
    Totals totals;
    checkTree(*report.value, 0, totals);
    check(totals.tables <= rpt::limit::Tables, "more tables than the limit");
    check(totals.subreports <= rpt::limit::Subreports, "more subreports than the limit");
    std::string text = "vantrel-report 1\n";
    write(*report.value, text);
    const auto again =
        attempt([&] { return rpt::parseReportText(text, u"fuzz.rpt"); }, {}, fromUtf8(text));
    checkSame(*report.value, *again.value);
    return 0;
}
