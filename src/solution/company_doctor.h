// The diagnosis of a company: every step the entry into a company needs, checked one by one
// with what was found and, where it fails, how to mend it. It goes through the same pieces as
// the entry (the settings file's place and keys, the database logon and connection string,
// the API login) and changes nothing: no write to the settings file, the database or the ERP.
#pragma once

#include <string>
#include <vector>

#include "interfaces/services.h"

namespace vantrel::solution {

enum class CheckState { Ok, Warning, Fails };

struct DoctorCheck {
    automation::Text check;  // what was checked
    CheckState state = CheckState::Ok;
    automation::Text found;    // what was found
    automation::Text mend;     // how to put it right; empty when nothing is wrong
    automation::Text subject;  // for a component: its name and ProgID, "CoreDataAccess (x.y)"
};

// All the checks for `empresa`, in the order its entry needs them: data folder, settings
// file, its keys, the components, the database, the ERP API.
std::vector<DoctorCheck> examineCompany(const interfaces::Services& services,
                                        const automation::Text& empresa);

// Only whether each component the add-in creates can be created.
std::vector<DoctorCheck> examineComponents(const interfaces::Services& services);

// 0 when nothing fails, 1 when a check fails.
int doctorExitCode(const std::vector<DoctorCheck>& checks);

// "ok", "warning" or "fails".
const char* stateName(CheckState state);

// For a person: one line a check, the mend indented below a failure, and a summary.
std::string doctorReportText(const std::vector<DoctorCheck>& checks);

// One JSON object a line (check, state, found, mend), valid UTF-8 whatever the texts hold.
std::string doctorReportJson(const std::vector<DoctorCheck>& checks);

}  // namespace vantrel::solution
