// vantrel doctor: why a company does not work. Runs the add-in's own checks of a company over
// the stand-ins (settings file, keys, components, database, ERP API) and prints one line a
// check. Nothing is written anywhere.
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "automation/text.h"
#include "commands.h"
#include "data_folder.h"
#include "platform/posix/posix_catalog.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/profile_engine.h"
#include "registry.h"
#include "reports/runtime_factory.h"
#include "solution/company_doctor.h"

namespace vantrel::app {

namespace {

using automation::Text;

const char kDoctorUsage[] =
    "usage: vantrel doctor COMPANY [--json] [--data DIR]\n"
    "       vantrel doctor --components [--json]\n"
    "\n"
    "Checks, in the order the ERP's entry into COMPANY needs them, what the add-in needs:\n"
    "the data folder and the settings file talmek\\VANTREL.<COMPANY> (found, readable, its\n"
    "encoding), each key the add-in reads, the components it creates by ProgID, the company\n"
    "database (connection string, the table DOCGCLIN, the surcharge article) and the ERP API\n"
    "login. One line a check: ok, aviso (warning) or FALHA (fails), what was found and, for a\n"
    "failure, how to mend it. Nothing is changed: no write to the settings file, the database\n"
    "or the ERP. --components checks only the components.\n"
    "\n"
    "options:\n"
    "  --data DIR   base folder of the stand-ins; else QUORILVANTREL_DATA\n"
    "  --json       one JSON object a check: check, state (ok, warning, fails), found, mend\n"
    "\n"
    "exit status: 0 nothing fails, 1 a check fails, 2 wrong call.\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "vantrel doctor: %s\n\n%s", message.c_str(), kDoctorUsage);
    return 2;
}

// A component that shows a box while being checked: the box goes to standard error and takes
// its default button, so the checks never wait for anyone.
class UnattendedDialogs : public interfaces::Dialogs {
public:
    int messageBox(automation::TextView text, int style,
                   const std::optional<Text>& title) override {
        std::fprintf(stderr, "vantrel doctor: message box \"%s\": %s\n",
                     automation::toUtf8(title.value_or(interfaces::kApplicationTitle)).c_str(),
                     automation::toUtf8(text).c_str());
        return (style & 7) == interfaces::msgbox::YesNo ? interfaces::msgbox::AnswerNo
                                                        : interfaces::msgbox::AnswerOk;
    }
};

}  // namespace

int runDoctor(const Arguments& args) {
    std::optional<std::string> company, data;
    bool json = false, componentsOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kDoctorUsage, stdout);
            return 0;
        }
        if (a == "--json") {
            json = true;
        } else if (a == "--components") {
            componentsOnly = true;
        } else if (a == "--data") {
            if (i + 1 >= args.size()) return usageError("--data needs a folder");
            data = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return usageError("unknown option '" + a + "'");
        } else if (company) {
            return usageError("one company only");
        } else {
            company = a;
        }
    }
    if (!company && !componentsOnly) return usageError("missing the company code");
    if (company && company->empty()) return usageError("the company code is empty");
    if (data) substitutes::setDataFolder(windowsPath(*data));

    platform::posix::PosixPlatform platform(windowsPath(executableFolder()));
    platform::posix::ProfileEngine profile;
    UnattendedDialogs dialogs;
    platform::posix::PosixCatalog catalog;
    substitutes::StandInRegistry registry(
        substitutes::StandInContext{&profile, &dialogs, &platform});
    substitutes::reports::registerReportRuntime(registry,
                                                std::make_shared<substitutes::reports::CallLog>());
    interfaces::Services services{&registry, &catalog, &dialogs, &profile, &platform};

    auto checks = company ? solution::examineCompany(services, automation::fromUtf8(*company))
                          : solution::examineComponents(services);
    std::string out =
        json ? solution::doctorReportJson(checks) : solution::doctorReportText(checks);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return solution::doctorExitCode(checks);
}

}  // namespace vantrel::app
