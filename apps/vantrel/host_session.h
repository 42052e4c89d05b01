// One vantrel host session: a Solucao over the stand-ins, and the commands read one a line,
// each turned into the calls the ERP would make.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "automation/object.h"
#include "host_output.h"
#include "host_requests.h"
#include "platform/posix/posix_catalog.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/profile_engine.h"
#include "platform/posix/terminal_dialogs.h"
#include "registry.h"
#include "solution/solucao.h"

namespace vantrel::app::host {

struct Options {
    std::optional<std::string> data;
    std::vector<std::string> answers;
    bool json = false;
    std::optional<std::string> file;
};

class HostSession {
public:
    // `keyboard`: a person at the terminal answers the boxes. With --json the boxes they
    // answer go to standard error, so that standard output stays JSON.
    HostSession(const Options& options, std::ostream& out, bool keyboard);

    bool queueAnswer(const std::string& word) { return dialogs_.queueAnswer(word); }

    // Runs the commands and returns the exit code: 0 when all went through, 1 when one
    // failed, 2 when one (or an --answer) was refused as written. `echo` repeats each command
    // in the output; `prompt`, when set, is where a person typing them sees the prompt.
    int run(std::istream& in, bool echo, std::ostream* prompt);

private:
    // A command that cannot run as written: reported, and the exit code will say so.
    bool refuse(const std::string& command, const std::string& message);
    bool usage(const std::string& command, const std::string& form);
    // Whether a queued answer was refused by its box; reported the first time.
    bool answersRefused();

    // The commands, by their first word; false when the command failed or was refused.
    bool execute(const Words& w);
    bool helpCommand(const Words& w);
    bool echoCommand(const Words& w);
    bool enterCommand(const Words& w);
    bool leaveCommand(const Words& w);
    bool validateCommand(const Words& w);
    bool operationCommand(const Words& w);
    bool newDocumentCommand(const Words& w);
    bool documentCommand(const Words& w);  // save and show
    bool failCommand(const Words& w);

    // The application events.
    bool enter(const std::string& company, const std::string& user);
    void leave();
    bool validate(const std::string& company, const std::string& user);
    bool operation(const automation::Variant& code);

    // The ERP's own API session and documents.
    void connectHost();
    bool requireHost(const std::string& command);
    automation::ObjectRef load(const DocumentKey& k);
    bool save(const DocumentKey& k);
    bool show(const DocumentKey& k);
    void showAsJson(const DocumentKey& k, const automation::ObjectRef& doc,
                    const automation::ObjectRef& cab, std::int32_t count);
    void showAsText(const DocumentKey& k, const automation::ObjectRef& doc,
                    const automation::ObjectRef& cab, std::int32_t count);

    Output out_;
    platform::posix::PosixPlatform platform_;
    platform::posix::ProfileEngine profile_;
    std::ostringstream sink_;
    platform::posix::TerminalDialogs dialogs_;
    platform::posix::PosixCatalog catalog_;
    substitutes::StandInRegistry registry_;
    std::unique_ptr<solution::Solucao> solucao_;
    automation::ObjectRef hostApi_;
    automation::Text company_;
    bool inside_ = false;
    bool refused_ = false;
    bool refusalReported_ = false;
};

}  // namespace vantrel::app::host
