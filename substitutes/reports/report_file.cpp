#include "report_file.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>

#include "automation/datetime.h"
#include "automation/runtime_error.h"
#include "file_paths.h"

namespace vantrel::substitutes::reports {

using automation::fromUtf8;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

constexpr std::string_view kHeader = "vantrel-report 1";

RuntimeError tooBig(TextView fileName) {
    return RuntimeError(kBadReportFile, u"CrystalRuntime",
                        Text(fileName) + u": more than " +
                            fromUtf8(std::to_string(limit::FileBytes)) +
                            u" bytes, too big for a report file");
}

struct PendingOffer {
    std::string text;
    int line;
};

class Parser {
public:
    explicit Parser(Text fileName) : fileName_(std::move(fileName)) {}

    ReportDefinition run(std::string_view text) {
        ReportDefinition report;
        report.name = fileName_;
        open_.push_back(Level{&report, 0});
        std::size_t pos = 0;
        if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
        bool sawHeader = false;
        while (pos <= text.size()) {
            std::size_t end = text.find('\n', pos);
            std::string_view raw =
                text.substr(pos, end == std::string_view::npos ? text.npos : end - pos);
            ++line_;
            handle(raw, sawHeader);
            if (end == std::string_view::npos) break;
            pos = end + 1;
        }
        if (!sawHeader) fail("not a report file: the first line must be \"vantrel-report 1\"");
        if (open_.size() > 1) {
            line_ = open_.back().openedAt;
            fail("subreport \"" + automation::toUtf8(open_.back().report->name) +
                 "\" has no \"end\"");
        }
        for (auto& p : pending_) convertOffers(p);
        return report;
    }

private:
    struct Level {
        ReportDefinition* report;
        int openedAt;
    };

    [[noreturn]] void fail(const std::string& problem) const {
        throw RuntimeError(
            kBadReportFile, u"CrystalRuntime",
            fileName_ + u", line " + fromUtf8(std::to_string(line_)) + u": " + fromUtf8(problem));
    }

    static std::string_view trimmed(std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
            s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
            s.remove_suffix(1);
        return s;
    }

    static std::string lower(std::string_view s) {
        std::string out(s);
        for (auto& c : out) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    }

    void handle(std::string_view raw, bool& sawHeader) {
        std::string_view s = trimmed(raw);
        if (s.empty() || s.front() == '#') return;
        if (!sawHeader) {
            if (s != kHeader)
                fail("not a report file: the first line must be \"vantrel-report 1\"");
            sawHeader = true;
            return;
        }
        std::string key;
        std::string_view value;
        auto colon = s.find(':');
        if (colon == std::string_view::npos) {
            key = lower(s);
            if (key != "end") fail("expected \"key: value\", found \"" + std::string(s) + "\"");
        } else {
            key = lower(trimmed(s.substr(0, colon)));
            value = trimmed(s.substr(colon + 1));
        }
        if (key == "end") return closeSubreport();
        const bool parameterKey =
            key == "prompt" || key == "type" || key == "multiple" || key == "offer";
        if (parameterKey) return parameterLine(key, value);
        inParameter_ = false;
        ReportDefinition& r = *open_.back().report;
        if (key == "title")
            r.title = text(value);
        else if (key == "driver")
            r.driverName = text(value);
        else if (key == "printer")
            r.printerName = text(value);
        else if (key == "port")
            r.portName = text(value);
        else if (key == "orientation")
            r.paperOrientation = small(value);
        else if (key == "paper-size")
            r.paperSize = small(value);
        else if (key == "paper-source")
            r.paperSource = small(value);
        else if (key == "margin-top")
            r.topMargin = whole(value);
        else if (key == "margin-bottom")
            r.bottomMargin = whole(value);
        else if (key == "margin-left")
            r.leftMargin = whole(value);
        else if (key == "margin-right")
            r.rightMargin = whole(value);
        else if (key == "table")
            table(r, value);
        else if (key == "area")
            r.areas.push_back(AreaDefinition{name(value, "area"), {}});
        else if (key == "section")
            section(r, value);
        else if (key == "object")
            object(r, value);
        else if (key == "subreport")
            subreport(r, value);
        else if (key == "parameter")
            parameter(r, value);
        else if (key == "query")
            r.query += (r.query.empty() ? Text() : Text(u"\n")) + text(value);
        else
            fail("unknown key \"" + key + "\"");
    }

    Text text(std::string_view value) const { return fromUtf8(value); }

    Text name(std::string_view value, const char* what) const {
        if (value.empty()) fail(std::string(what) + " without a name");
        return fromUtf8(value);
    }

    std::int32_t whole(std::string_view value) const {
        std::string v(value);
        char* end = nullptr;
        errno = 0;
        long n = std::strtol(v.c_str(), &end, 10);
        if (v.empty() || *end != '\0' || errno == ERANGE || n < INT32_MIN || n > INT32_MAX) {
            fail("\"" + v + "\" is not a whole number");
        }
        return static_cast<std::int32_t>(n);
    }

    std::int16_t small(std::string_view value) const {
        std::int32_t n = whole(value);
        if (n < -32768 || n > 32767) fail("\"" + std::string(value) + "\" is out of range");
        return static_cast<std::int16_t>(n);
    }

    SectionDefinition& lastSection(ReportDefinition& r) {
        if (r.areas.empty() || r.areas.back().sections.empty())
            fail("a report object needs a section first");
        return r.areas.back().sections.back();
    }

    void section(ReportDefinition& r, std::string_view value) {
        if (r.areas.empty()) fail("\"section\" needs an \"area\" first");
        r.areas.back().sections.push_back(SectionDefinition{name(value, "section"), {}});
    }

    void object(ReportDefinition& r, std::string_view value) {
        auto space = value.find_first_of(" \t");
        std::string kindWord = lower(value.substr(0, space));
        std::string_view objectName =
            space == std::string_view::npos ? std::string_view() : trimmed(value.substr(space));
        std::int32_t k = 0;
        if (kindWord == "field")
            k = kind::Field;
        else if (kindWord == "text")
            k = kind::Text;
        else if (kindWord == "line")
            k = kind::Line;
        else if (kindWord == "box")
            k = kind::Box;
        else if (kindWord == "crosstab")
            k = kind::CrossTab;
        else if (kindWord == "picture")
            k = kind::Picture;
        else if (kindWord == "chart")
            k = kind::Chart;
        else if (!kindWord.empty() && kindWord.find_first_not_of("0123456789") == std::string::npos)
            k = whole(kindWord);
        else
            fail("unknown object kind \"" + kindWord + "\"");
        if (k == kind::Subreport) fail("a subreport is written \"subreport: NAME\" ... \"end\"");
        lastSection(r).objects.push_back(
            ReportObjectDefinition{k, name(objectName, "object"), nullptr});
    }

    void table(ReportDefinition& r, std::string_view value) {
        if (++tables_ > limit::Tables) {
            fail("more than " + std::to_string(limit::Tables) +
                 " tables in the report and its subreports");
        }
        r.tables.push_back(name(value, "table"));
    }

    void subreport(ReportDefinition& r, std::string_view value) {
        auto sub = std::make_shared<ReportDefinition>();
        sub->name = name(value, "subreport");
        if (++subreports_ > limit::Subreports)
            fail("more than " + std::to_string(limit::Subreports) + " subreports");
        // open_ holds the main report too: its size is the depth the new subreport gets.
        if (open_.size() > limit::SubreportDepth) {
            fail("subreport \"" + std::string(value) + "\" lies more than " +
                 std::to_string(limit::SubreportDepth) + " subreports deep");
        }
        lastSection(r).objects.push_back(ReportObjectDefinition{kind::Subreport, sub->name, sub});
        open_.push_back(Level{sub.get(), line_});
    }

    void closeSubreport() {
        if (open_.size() == 1) fail("\"end\" without an open subreport");
        inParameter_ = false;
        open_.pop_back();
    }

    void parameter(ReportDefinition& r, std::string_view value) {
        r.parameters.push_back(ParameterDefinition{name(value, "parameter"), {}, 12, false, {}});
        inParameter_ = true;
        // The vector may move its elements as it grows: offers are converted at the end,
        // through the report and the index.
        pending_.push_back(Pending{open_.back().report, r.parameters.size() - 1, {}});
    }

    void parameterLine(const std::string& key, std::string_view value) {
        if (!inParameter_) fail("\"" + key + "\" outside a parameter");
        ParameterDefinition& p = open_.back().report->parameters.back();
        if (key == "prompt")
            p.prompt = fromUtf8(value);
        else if (key == "type")
            p.valueType = valueType(value);
        else if (key == "multiple")
            p.multipleValues = yesNo(value);
        else
            pending_.back().offers.push_back(PendingOffer{std::string(value), line_});
    }

    std::int16_t valueType(std::string_view value) const {
        std::string v = lower(value);
        if (v == "number") return 7;
        if (v == "currency") return 8;
        if (v == "boolean") return 9;
        if (v == "date") return 10;
        if (v == "time") return 11;
        if (v == "text") return 12;
        if (v == "datetime") return 16;
        if (!v.empty() && v.find_first_not_of("0123456789") == std::string::npos) return small(v);
        fail("unknown parameter type \"" + std::string(value) + "\"");
    }

    bool yesNo(std::string_view value) const {
        std::string v = lower(value);
        if (v == "yes" || v == "true") return true;
        if (v == "no" || v == "false") return false;
        fail("expected yes or no, found \"" + std::string(value) + "\"");
    }

    struct Pending {
        ReportDefinition* report;
        std::size_t index;
        std::vector<PendingOffer> offers;
    };

    void convertOffers(Pending& p) {
        ParameterDefinition& parameter = p.report->parameters[p.index];
        for (const auto& offer : p.offers) {
            line_ = offer.line;
            parameter.offeredValues.push_back(offered(parameter.valueType, offer.text));
        }
    }

    Variant offered(std::int16_t type, const std::string& text) const {
        switch (type) {
            case 7:
            case 8: {
                // Decimal digits only: strtod alone also reads "nan", "inf" and "0x10".
                char* end = nullptr;
                double d = std::strtod(text.c_str(), &end);
                if (text.empty() || *end != '\0' || !std::isfinite(d) ||
                    text.find_first_not_of("0123456789+-.eE") != std::string::npos)
                    fail("\"" + text + "\" is not a number (use . as decimal point)");
                return Variant(d);
            }
            case 9:
                return Variant(yesNo(text));
            case 10:
            case 11:
            case 16:
                return Variant::date(dateValue(type, text));
            default:
                return Variant(fromUtf8(text));
        }
    }

    double dateValue(std::int16_t type, const std::string& text) const {
        int y = 1899, mo = 12, d = 30, h = 0, mi = 0, s = 0;
        bool ok = false;
        if (text.find_first_not_of("0123456789-: ") != std::string::npos) {
            ok = false;
        } else if (type == 11) {
            ok = std::sscanf(text.c_str(), "%d:%d:%d", &h, &mi, &s) >= 2 &&
                 text.find('-') == std::string::npos;
        } else {
            int n = std::sscanf(text.c_str(), "%4d-%2d-%2d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
            ok = type == 10 ? n == 3 : (n == 3 || n >= 5);
        }
        if (!ok || mo < 1 || mo > 12 || d < 1 || d > automation::daysInMonth(y, mo) || h < 0 ||
            h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59) {
            fail("\"" + text + "\" is not a " +
                 (type == 11 ? "time (hh:mm[:ss])" : "date (yyyy-mm-dd)"));
        }
        try {
            return automation::makeDate(y, mo, d, h, mi, s);
        } catch (const RuntimeError&) {
            fail("\"" + text + "\" is outside the years 100 to 9999");
        }
    }

    Text fileName_;
    int line_ = 0;
    std::vector<Level> open_;
    std::size_t tables_ = 0;
    std::size_t subreports_ = 0;
    bool inParameter_ = false;
    std::vector<Pending> pending_;
};

}  // namespace

ReportDefinition parseReportText(std::string_view utf8, TextView fileName) {
    if (utf8.size() > limit::FileBytes) throw tooBig(fileName);
    return Parser(Text(fileName)).run(utf8);
}

ReportDefinition loadReportFile(TextView path) {
    const std::filesystem::path file = nativeFile(path);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(file, ec)) {
        throw RuntimeError(automation::errc::FileNotFound, u"CrystalRuntime",
                           u"Report file not found: " + Text(path));
    }
    if (std::filesystem::file_size(file, ec) > limit::FileBytes) throw tooBig(path);
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw RuntimeError(automation::errc::PathFileAccessError, u"CrystalRuntime",
                           u"Report file cannot be read: " + Text(path));
    }
    std::stringstream content;
    content << in.rdbuf();
    Text fileName(path);
    auto slash = fileName.find_last_of(u"\\/");
    if (slash != Text::npos) fileName.erase(0, slash + 1);
    return parseReportText(content.str(), fileName);
}

}  // namespace vantrel::substitutes::reports
