// Shared pieces of the report engine tests: recorded message boxes, a platform with a fixed
// clock, temporary folders, company databases, fake windows and data-access objects, and a
// harness that wires a CrystalReportMain to the stand-in report runtime.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/datetime.h"
#include "automation/object.h"
#include "automation/runtime_error.h"
#include "data_folder.h"
#include "dialogs/save_dialog.h"
#include "interfaces/services.h"
#include "platform/posix/posix_catalog.h"
#include "platform/posix/posix_platform.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/runtime_factory.h"

namespace vantrel::reports::engine {

// Reaches the private procedures and fields that the tests check directly.
struct CrystalReportMainTestAccess {
    static bool pExisteMapa(CrystalReportMain& m) { return m.pExisteMapa(); }
    static bool pStartCrystal(CrystalReportMain& m) { return m.pStartCrystal(); }
    static bool pStopCrystal(CrystalReportMain& m) { return m.pStopCrystal(); }
    static bool pAbrirFicheiroMapa(CrystalReportMain& m) { return m.pAbrirFicheiroMapa(); }
    static bool pLigaMapaBD(CrystalReportMain& m) { return m.pLigaMapaBD(); }
    static bool pIndicarBD(CrystalReportMain& m, automation::ObjectRef& db) {
        return m.pIndicarBD(db);
    }
    static bool pAtribuirParametros(CrystalReportMain& m) { return m.pAtribuirParametros(); }
    static automation::Text pEscolheFicheiroPDF(CrystalReportMain& m) {
        return m.pEscolheFicheiroPDF();
    }
    static automation::Array& m_Indices(CrystalReportMain& m) { return m.m_Indices; }
    static bool pIndicarBDRecordset(CrystalReportMain& m, automation::ObjectRef& rs) {
        return m.pIndicarBDRecordset(rs);
    }
    static automation::Text pSubstituiDatas(CrystalReportMain& m, const automation::Text& line) {
        return m.pSubstituiDatas(line);
    }
    static automation::Text pTextoFuncao(CrystalReportMain& m, const automation::Text& line) {
        return m.pTextoFuncao(line);
    }
    static automation::Text pTextoLista(CrystalReportMain& m, const automation::Text& line) {
        return m.pTextoLista(line);
    }
    static automation::Text pValorPorDefeito(CrystalReportMain& m, const automation::Text& line) {
        return m.pValorPorDefeito(line);
    }

    static const automation::ObjectRef& m_Aplicacao(CrystalReportMain& m) { return m.m_Aplicacao; }
    static const automation::ObjectRef& m_Janela(CrystalReportMain& m) { return m.m_Janela; }
    static automation::Array& m_Valores(CrystalReportMain& m) { return m.m_Valores; }
    static automation::Array& m_TiposCampo(CrystalReportMain& m) { return m.m_TiposCampo; }
    static automation::Array& m_ParametrosRecordset(CrystalReportMain& m) {
        return m.m_ParametrosRecordset;
    }
    static const automation::Text& m_FicheiroParametros(CrystalReportMain& m) {
        return m.m_FicheiroParametros;
    }
};

}  // namespace vantrel::reports::engine

namespace vantrel::reports::testing {

struct ShownBox {
    automation::Text text;
    int style = 0;
    std::optional<automation::Text> title;
};

class RecordingDialogs : public interfaces::Dialogs {
public:
    int messageBox(automation::TextView text, int style,
                   const std::optional<automation::Text>& title) override {
        boxes.push_back(ShownBox{automation::Text(text), style, title});
        return interfaces::msgbox::AnswerOk;
    }
    std::vector<ShownBox> boxes;
};

class FixedClock : public automation::Clock {
public:
    double now() const override { return value; }
    double value = automation::makeDate(2026, 7, 14, 10, 30, 0);
};

class TestPlatform : public platform::posix::PosixPlatform {
public:
    const automation::Clock& clock() override { return clock_; }
    void setToday(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
        clock_.value = automation::makeDate(year, month, day, hour, minute, second);
    }

private:
    FixedClock clock_;
};

// A fresh folder under the system's temporary folder, removed at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the folder, as the system's text.
    automation::Text file(const std::string& name) const;
    // Writes `bytes` to `name` (folders created as needed) and returns its path.
    automation::Text write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

// Points the stand-ins' data folder somewhere for one test.
class ScopedDataFolder {
public:
    explicit ScopedDataFolder(const std::filesystem::path& folder)
        : saved_(substitutes::dataFolder()) {
        substitutes::setDataFolder(automation::fromUtf8(folder.string()));
    }
    ~ScopedDataFolder() { substitutes::setDataFolder(saved_); }

private:
    automation::Text saved_;
};

// Creates <data>/databases/<catalog>.sqlite holding the named tables (one column each).
void makeCompanyDatabase(const std::filesystem::path& dataFolder, const std::string& catalog,
                         const std::vector<std::string>& tables);

// A control of a fake window: properties by name, kept as written.
class FakeControl : public automation::Object {
public:
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;
    std::map<automation::Text, automation::Variant> properties;
};

// A fake caller's window: control arrays by name and index, and object members (Mapa).
class FakeWindow : public automation::Object {
public:
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;
    // Adds element `index` of the control array `array` with one property set.
    std::shared_ptr<FakeControl> add(const automation::Text& array, std::int16_t index,
                                     const automation::Text& property,
                                     const automation::Variant& value);
    std::map<automation::Text, std::map<std::int16_t, std::shared_ptr<FakeControl>>> arrays;
    std::map<automation::Text, automation::ObjectRef> objects;
};

// A fake data-access object: OpenRecordset answers from a table of query -> first value.
class FakeDataAccess : public automation::Object {
public:
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;
    std::map<automation::Text, automation::Variant>
        answers;  // a missing query fails like a bad SQL statement
    std::vector<automation::Text> queries;
    std::vector<std::vector<automation::Variant>>
        calls;  // the five arguments of each OpenRecordset
    int closed = 0;
};

// One CrystalReportMain wired to recorded boxes, a fixed-clock platform and the stand-in
// runtime, with every Executar text collected.
struct EngineHarness {
    EngineHarness();
    interfaces::Services services() { return services_; }

    RecordingDialogs dialogs;
    TestPlatform platform;
    // The save dialogs answer from `saveAnswers` (none queued: cancelled).
    substitutes::StandInRegistry standIns;
    substitutes::dialogs::QueuedChooser saveAnswers;
    std::shared_ptr<substitutes::dialogs::SaveDialogLog> saveDialogs =
        substitutes::dialogs::registerSaveDialog(standIns, saveAnswers);
    platform::posix::PosixCatalog catalog;
    substitutes::reports::ReportRuntimeFactory factory{
        std::make_shared<substitutes::reports::CallLog>(), &standIns};
    std::shared_ptr<engine::CrystalReportMain> main;
    std::vector<automation::Text> events;
    std::vector<double> eventTimes;

private:
    interfaces::Services services_;
};

// Texts of the boxes shown so far.
std::vector<automation::Text> boxTexts(const RecordingDialogs& dialogs);

// A report file of the stand-in runtime with the given body after the header line.
std::string reportFile(const std::string& body);

}  // namespace vantrel::reports::testing
