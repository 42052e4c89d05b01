// The doctor's report, for a person and as JSON.
#include <cstdio>

#include "solution/company_doctor.h"

namespace vantrel::solution {

namespace {

// JSON text of a UTF-8 string that is valid already (toUtf8 never makes anything else).
std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

}  // namespace

int doctorExitCode(const std::vector<DoctorCheck>& checks) {
    for (const DoctorCheck& c : checks) {
        if (c.state == CheckState::Fails) return 1;
    }
    return 0;
}

const char* stateName(CheckState state) {
    switch (state) {
        case CheckState::Ok:
            return "ok";
        case CheckState::Warning:
            return "warning";
        case CheckState::Fails:
            return "fails";
    }
    return "fails";
}

std::string doctorReportText(const std::vector<DoctorCheck>& checks) {
    std::string out;
    int counts[3] = {0, 0, 0};
    for (const DoctorCheck& c : checks) {
        static const char* const marks[] = {"ok     ", "aviso  ", "FALHA  "};
        int i = static_cast<int>(c.state);
        ++counts[i];
        out += marks[i] + automation::toUtf8(c.check) + ": " + automation::toUtf8(c.found) + "\n";
        if (!c.mend.empty()) out += "       -> " + automation::toUtf8(c.mend) + "\n";
    }
    out += "\nResumo: " + std::to_string(counts[0]) + " ok, " + std::to_string(counts[1]) +
           (counts[1] == 1 ? " aviso, " : " avisos, ") + std::to_string(counts[2]) +
           (counts[2] == 1 ? " falha.\n" : " falhas.\n");
    return out;
}

std::string doctorReportJson(const std::vector<DoctorCheck>& checks) {
    std::string out;
    for (const DoctorCheck& c : checks) {
        out += "{\"check\":" + jsonString(automation::toUtf8(c.check)) + ",\"state\":\"" +
               stateName(c.state) + "\",\"found\":" + jsonString(automation::toUtf8(c.found)) +
               ",\"mend\":" + jsonString(automation::toUtf8(c.mend)) + "}\n";
    }
    return out;
}

}  // namespace vantrel::solution
