// The doctor's report, for a person and as JSON.
#include "automation/json_text.h"
#include "solution/company_doctor.h"

namespace vantrel::solution {

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
        out += "{\"check\":" + automation::jsonQuoted(automation::toUtf8(c.check)) +
               ",\"state\":\"" + stateName(c.state) +
               "\",\"found\":" + automation::jsonQuoted(automation::toUtf8(c.found)) +
               ",\"mend\":" + automation::jsonQuoted(automation::toUtf8(c.mend)) + "}\n";
    }
    return out;
}

}  // namespace vantrel::solution
