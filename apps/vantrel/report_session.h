// What the report subcommands share: their options, and one report object wired to the
// stand-in report runtime, the terminal's message boxes and save dialogs, with every progress
// event printed as it happens.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "dialogs/save_dialog.h"
#include "interfaces/services.h"
#include "platform/posix/posix_catalog.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/terminal_dialogs.h"
#include "registry.h"
#include "reports/call_log.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/field_definition_file.h"

namespace vantrel::app {

struct UsageError {
    std::string message;
};

struct ReportOptions {
    std::string report;
    std::int32_t destino = 0;
    std::optional<std::string> pedidos;
    std::int32_t versao = 0;
    std::optional<std::string> nome;
    std::string servidor, base, baseNext, user, password;
    std::optional<std::string> data;
    std::vector<std::string> answers;
    bool calls = false;
    // outputs
    std::optional<std::string> ficheiroPdf;
    std::optional<std::string> impressora;
    bool podeMudarImpressora = false;
    std::int16_t vias = 0;
    std::int32_t orientacao = 0;
    std::int32_t formatoPapel = 0;
    std::string emailPara, emailCc, emailAssunto, emailMensagem;
    std::vector<std::string> guardarComo;
};

// The options text of the report subcommands, for their usage texts.
extern const char kReportOptionsHelp[];

// Reads the options (and the one report path) of a report subcommand; UsageError otherwise.
ReportOptions parseReportOptions(const Arguments& args, const char* command);

// Message boxes that count what they show, so a run that showed an error says so in its exit
// code.
class CountingDialogs : public interfaces::Dialogs {
public:
    explicit CountingDialogs(interfaces::Dialogs& inner) : inner_(inner) {}
    int messageBox(automation::TextView text, int style,
                   const std::optional<automation::Text>& title) override {
        ++shown_;
        return inner_.messageBox(text, style, title);
    }
    int shown() const { return shown_; }

private:
    interfaces::Dialogs& inner_;
    int shown_ = 0;
};

class ReportSession {
public:
    explicit ReportSession(const ReportOptions& options);
    ReportSession(const ReportSession&) = delete;
    ReportSession& operator=(const ReportSession&) = delete;

    reports::engine::CrystalReportMain& report() { return *report_; }
    const std::shared_ptr<reports::engine::CrystalReportMain>& reportObject() { return report_; }
    interfaces::Services& services() { return services_; }
    platform::posix::PosixPlatform& platform() { return platform_; }
    substitutes::StandInRegistry& registry() { return registry_; }
    // Message boxes shown so far.
    int boxesShown() const { return counting_.shown(); }
    // The value list the options give, as ExecutaMapa takes it.
    automation::Array values() const;

    // After the run: where each output went, and with --calls what the runtime was asked
    // (the password masked).
    void printOutcome() const;

private:
    ReportOptions options_;
    std::unique_ptr<platform::posix::TerminalDialogs> terminal_;
    CountingDialogs counting_;
    platform::posix::PosixPlatform platform_;
    platform::posix::PosixCatalog catalog_;
    substitutes::StandInRegistry registry_;
    substitutes::reports::FieldDefinitionFile fieldDefinitions_;
    std::shared_ptr<substitutes::reports::CallLog> calls_;
    interfaces::Services services_;
    std::shared_ptr<reports::engine::CrystalReportMain> report_;
};

}  // namespace vantrel::app
