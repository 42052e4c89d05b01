// What the report engine costs: ordering prompts (the exchange sort is quadratic), expanding
// "@" references, splitting and accumulating long value lists, reading a report file of the
// stand-in runtime, and a whole ExecutaMapa run of the example report with its tables bound
// and tested against SQLite; and, beside it, the runtime alone exporting that report as a PDF.
#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "automation/datetime.h"
#include "data_folder.h"
#include "platform/posix/posix_platform.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/parameters/crystal_report_sort.h"
#include "reports/parameters/placeholders.h"
#include "reports/parameters/value_list.h"
#include "reports/report_file.h"
#include "reports/runtime_factory.h"

using namespace vantrel;
using automation::Array;
using automation::Text;

namespace {

class SilentDialogs : public interfaces::Dialogs {
public:
    int messageBox(automation::TextView, int, const std::optional<Text>&) override { return 1; }
};

Text number(int i) {
    return automation::fromUtf8(std::to_string(i));
}

void BM_OrdenaTextos(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<Text> prompts{Text()};
    for (int i = n; i >= 1; --i)
        prompts.push_back((i < 10 ? u"0" : u"") + number(i) + u"Parametro");
    for (auto _ : state) {
        Array lista = Array::ofTexts(prompts);
        Array indices(automation::VarType::Long, 0, n);
        reports::parameters::CrystalReportSort().OrdenaTextos(lista, indices);
        benchmark::DoNotOptimize(indices);
    }
}
BENCHMARK(BM_OrdenaTextos)->Arg(10)->Arg(50)->Arg(200);

void BM_SubstituteReferences(benchmark::State& state) {
    const Text expression =
        u"SELECT Nome FROM Artigos WHERE Familia = '@01L0300' AND Data >= '@02R0400-01-01' "
        u"AND Serie IN ('@03X0000', '@04M0202')";
    auto reader = [](std::int16_t row) { return u"Valor da linha " + number(row); };
    for (auto _ : state) {
        benchmark::DoNotOptimize(reports::parameters::substituteReferences(expression, reader));
    }
}
BENCHMARK(BM_SubstituteReferences);

void BM_SplitValues(benchmark::State& state) {
    Text list;
    for (int i = 1; i <= state.range(0); ++i) list += u"|" + number(i);
    for (auto _ : state) benchmark::DoNotOptimize(reports::parameters::splitValues(list));
}
BENCHMARK(BM_SplitValues)->Arg(10)->Arg(10000);

void BM_AddParametrosRecordsetToTheLimit(benchmark::State& state) {
    SilentDialogs dialogs;
    platform::posix::PosixPlatform platform;
    interfaces::Services services;
    services.dialogs = &dialogs;
    services.platform = &platform;
    for (auto _ : state) {
        reports::engine::CrystalReportMain main(services);
        for (int i = 1; i <= 32767; ++i) main.Add_ParametrosRecordset(u"valor");
    }
}
BENCHMARK(BM_AddParametrosRecordsetToTheLimit)->Unit(benchmark::kMillisecond);

std::string exampleReport() {
    std::ifstream in(VANTREL_SOURCE_DIR "/examples/reports/VendasPorArtigo.rpt", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void BM_ParseReportFile(benchmark::State& state) {
    const std::string text = exampleReport();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            substitutes::reports::parseReportText(text, u"VendasPorArtigo.rpt"));
    }
}
BENCHMARK(BM_ParseReportFile);

void makeDatabase(const std::filesystem::path& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.string().c_str(), &db);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

std::string exampleSql(const char* catalog) {
    std::ifstream in(std::string(VANTREL_SOURCE_DIR "/examples/reports/db/") + catalog + ".sql",
                     std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A data folder holding the example's two databases, for as long as the object lives.
struct ExampleData {
    explicit ExampleData(const std::string& name)
        : folder(std::filesystem::temp_directory_path() /
                 ("vantrel_bench_" + name + "_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder / "databases");
        for (const char* catalog : {"RELSISTEMA", "RELEMPRESA"}) {
            makeDatabase(folder / "databases" / (std::string(catalog) + ".sqlite"),
                         exampleSql(catalog).c_str());
        }
        substitutes::setDataFolder(automation::fromUtf8(folder.string()));
    }
    ~ExampleData() { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

// The example report through the whole engine: check, start, open, bind, and for a
// destination the parameter values from the caller's list and the output.
void runExampleThroughTheEngine(benchmark::State& state, std::int32_t destino) {
    const ExampleData data("engine");
    SilentDialogs dialogs;
    platform::posix::PosixPlatform platform;
    substitutes::reports::ReportRuntimeFactory factory;
    interfaces::Services services;
    services.factory = &factory;
    services.dialogs = &dialogs;
    services.platform = &platform;
    for (auto _ : state) {
        reports::engine::CrystalReportMain main(services);
        main.in_Mapa(
            automation::fromUtf8(VANTREL_SOURCE_DIR "/examples/reports/VendasPorArtigo.rpt"));
        main.In_NomeBaseDados(u"RELSISTEMA");
        main.in_NomeBaseDados_Next(u"RELEMPRESA");
        main.in_Destino(destino);
        main.FicheiroPDF(automation::fromUtf8((data.folder / "vendas.pdf").string()));
        Array values = Array::ofTexts({u"", u"01-07-2026", u"31-07-2026", u"A", u"Falso"});
        if (main.ExecutaMapa(values, false)) state.SkipWithError("the run failed");
        factory.log()->clear();
    }
}

// The engine without an output: the report checked, opened and bound.
void BM_ExecutaMapaOfTheExample(benchmark::State& state) {
    runExampleThroughTheEngine(state, 0);
}
BENCHMARK(BM_ExecutaMapaOfTheExample)->Unit(benchmark::kMicrosecond);

// The stand-in runtime alone: query, layout and PDF of the example report for one month and
// series, as VisualizarPDF asks for it, without the engine around it.
void BM_PdfExportOfTheExampleByTheRuntime(benchmark::State& state) {
    const ExampleData data("pdf");
    substitutes::reports::ReportRuntimeFactory factory;
    automation::ObjectRef report =
        factory.create(u"CrystalRuntime.Application.10")
            .call(u"OpenReport",
                  automation::fromUtf8(VANTREL_SOURCE_DIR "/examples/reports/VendasPorArtigo.rpt"))
            .toObject();
    automation::ObjectRef tables = report.object(u"Database").object(u"Tables");
    for (std::int32_t i = 1; i <= tables.get(u"Count").toLong(); ++i) {
        automation::ObjectRef table = tables.object(u"Item", i);
        const bool main = table.get(u"Name").toText().rfind(u"tlk", 0) == 0;
        table.object(u"ConnectionProperties", u"Initial Catalog")
            .put(u"Value", Text(main ? u"RELSISTEMA" : u"RELEMPRESA"));
    }
    automation::ObjectRef fields = report.object(u"ParameterFields");
    fields.object(u"Item", 1)
        .call(u"AddCurrentValue", automation::Variant::date(automation::makeDate(2026, 7, 1)));
    fields.object(u"Item", 2)
        .call(u"AddCurrentValue", automation::Variant::date(automation::makeDate(2026, 7, 31)));
    fields.object(u"Item", 3).call(u"AddCurrentValue", u"A");
    fields.object(u"Item", 4).call(u"AddCurrentValue", false);
    automation::ObjectRef options = report.object(u"ExportOptions");
    options.put(u"FormatType", std::int16_t{31});
    options.put(u"DestinationType", std::int16_t{1});
    options.put(u"DiskFileName", automation::fromUtf8((data.folder / "vendas.pdf").string()));
    options.put(u"PDFExportAllPages", true);
    for (auto _ : state) {
        report.call(u"Export", false);
        factory.log()->clear();
    }
}
BENCHMARK(BM_PdfExportOfTheExampleByTheRuntime)->Unit(benchmark::kMicrosecond);

// The whole road of a PDF through the engine: check, start, open, bind, parameter values from
// the caller's list, export options and the runtime's export. Less the runtime alone above, it
// is the engine's own cost.
void BM_ExecutaMapaPdfOfTheExample(benchmark::State& state) {
    runExampleThroughTheEngine(state, reports::engine::destino::PDF);
}
BENCHMARK(BM_ExecutaMapaPdfOfTheExample)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
