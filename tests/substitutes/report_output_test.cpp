// The stand-in report runtime's outputs, opened as a user would open them: the PDF through
// pdftotext, the workbook's cells from its zip, the outbox message parsed back with GMime and
// the printed job in its folder. The example report runs over the example databases.
#include <fcntl.h>
#include <gmime/gmime.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "automation/datetime.h"
#include "platform/posix/posix_platform.h"
#include "reports/report_data.h"
#include "reports/report_test_support.h"

namespace vantrel::substitutes::reports {

using automation::Text;

namespace {

using automation::ObjectRef;
using automation::RuntimeError;
using automation::Variant;
using vantrel::reports::testing::ScopedDataFolder;
using vantrel::reports::testing::TempFolder;

const std::string kExamples = VANTREL_SOURCE_DIR "/examples/reports";

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a command prints on its standard output.
std::string run(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
        pclose(pipe);
    }
    return out;
}

std::string pdfText(const std::filesystem::path& pdf) {
    return run("pdftotext -layout '" + pdf.string() + "' -");
}

// The text between `open` (found from `from` on) and the next `close`, or "" when absent.
std::string between(const std::string& s, const std::string& open, const std::string& close,
                    std::size_t from = 0) {
    const std::size_t start = s.find(open, from);
    if (start == std::string::npos) return "";
    const std::size_t end = s.find(close, start + open.size());
    return end == std::string::npos ? "" : s.substr(start + open.size(), end - start - open.size());
}

// The number format of a cell that holds `value` as a number (no t="s" or t="str"), or "" when
// the cell is not such a cell or has no format of its own.
std::string formatOfCell(const std::string& sheet, const std::string& styles,
                         const std::string& cell, const std::string& value) {
    const std::string style = between(sheet, "<c r=\"" + cell + "\" s=\"", "\"");
    if (style.empty() || style.find_first_not_of("0123456789") != std::string::npos) return "";
    if (sheet.find("<c r=\"" + cell + "\" s=\"" + style + "\"><v>" + value + "</v></c>") ==
        std::string::npos)
        return "";
    // The cell's style is the style-th <xf> of <cellXfs>; its numFmtId names a <numFmt>.
    const std::string list = between(styles, "<cellXfs", "</cellXfs>");
    std::size_t at = 0;
    for (std::size_t i = 0; i <= std::stoul(style); ++i) {
        at = list.find("<xf ", at);
        if (at == std::string::npos) return "";
        ++at;
    }
    const std::string xf = list.substr(at, list.find('>', at) - at);
    const std::string id = between(xf, "numFmtId=\"", "\"");
    if (id.empty()) return "";
    // Formats Excel knows by number are not written out.
    if (id == "3") return "#,##0";
    if (id == "4") return "#,##0.00";
    return between(styles, "<numFmt numFmtId=\"" + id + "\" formatCode=\"", "\"");
}

Variant day(int y, int m, int d) {
    return Variant::date(automation::makeDate(y, m, d));
}

class ReportOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeDatabase("RELSISTEMA");
        makeDatabase("RELEMPRESA");
    }

    void makeDatabase(const std::string& catalog) {
        std::filesystem::create_directories(folder.path() / "databases");
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((folder.path() / "databases" / (catalog + ".sqlite")).c_str(), &db),
                  SQLITE_OK);
        const std::string sql = slurp(kExamples + "/db/" + catalog + ".sql");
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    // Opens a report and binds its tables as the engine does: tlk... to the main database.
    ObjectRef open(const Text& path, const Text& mainCatalog = u"RELSISTEMA") {
        ObjectRef report =
            factory.create(u"CrystalRuntime.Application.10").call(u"OpenReport", path).toObject();
        ObjectRef tables = report.object(u"Database").object(u"Tables");
        for (std::int32_t i = 1; i <= tables.get(u"Count").toLong(); ++i) {
            ObjectRef table = tables.object(u"Item", i);
            const bool main = table.get(u"Name").toText().rfind(u"tlk", 0) == 0;
            table.object(u"ConnectionProperties", u"Initial Catalog")
                .put(u"Value", main ? mainCatalog : Text(u"RELEMPRESA"));
        }
        return report;
    }

    // The example report with July 2026, series A, detail lines.
    ObjectRef example() {
        ObjectRef report = open(automation::fromUtf8(kExamples + "/VendasPorArtigo.rpt"));
        ObjectRef fields = report.object(u"ParameterFields");
        fields.object(u"Item", 1).call(u"AddCurrentValue", day(2026, 7, 1));
        fields.object(u"Item", 2).call(u"AddCurrentValue", day(2026, 7, 31));
        fields.object(u"Item", 3).call(u"AddCurrentValue", u"A");
        fields.object(u"Item", 4).call(u"AddCurrentValue", false);
        return report;
    }

    void diskExport(ObjectRef& report, std::int16_t format, const Text& file) {
        ObjectRef options = report.object(u"ExportOptions");
        options.put(u"FormatType", format);
        options.put(u"DestinationType", std::int16_t{1});
        options.put(u"DiskFileName", file);
        report.call(u"Export", false);
    }

    const ProducedOutput& lastOutput() const { return factory.log()->outputs().back(); }

    TempFolder folder;
    ScopedDataFolder data{folder.path()};
    ReportRuntimeFactory factory;
};

TEST(ReportQuery, ParameterValuesBecomeSqlLiterals) {
    struct Case {
        std::vector<Variant> values;
        Text literal;
    };
    const Case cases[] = {
        {{Variant(u"Pão d'avó")}, u"'Pão d''avó'"},
        {{day(2026, 7, 1)}, u"'2026-07-01'"},
        {{Variant::date(automation::makeDate(2026, 7, 14, 9, 30))}, u"'2026-07-14 09:30:00'"},
        {{Variant(u"A"), Variant(u"B")}, u"'A','B'"},
        {{Variant(12.5), Variant(-3.0), Variant(std::int32_t{7})}, u"12.5,-3,7"},
        {{Variant(automation::Currency{-12345})}, u"-1.2345"},
        {{Variant(true), Variant(false)}, u"1,0"},
        {{}, u"NULL"},
        {{Variant::null()}, u"NULL"},
    };
    automation::ScopedLocale portugal(automation::Locale::portugal());  // "," never leaks in
    for (const auto& c : cases)
        EXPECT_EQ(sqlLiteral(c.values), c.literal) << automation::toUtf8(c.literal);

    const std::vector<QueryParameter> parameters = {{u"Serie", {Variant(u"A"), Variant(u"B")}},
                                                    {u"Nome", {Variant(u"O'Neil")}}};
    EXPECT_EQ(spliceParameters(u"Serie IN ({?serie}) AND Nome = {?NOME}", parameters),
              u"Serie IN ('A','B') AND Nome = 'O''Neil'");
    EXPECT_THROW(spliceParameters(u"x = {?Outro}", parameters), RuntimeError);
}

TEST_F(ReportOutputTest, PdfShowsTitleParametersAndOnlyTheMatchingRows) {
    ObjectRef report = example();
    diskExport(report, 31, folder.file("vendas.pdf"));
    const std::string text = pdfText(folder.path() / "vendas.pdf");
    for (const char* shown : {"Vendas por artigo", "Série: A", "Só totais:", "Documento",
                              "Parafuso", "Água mineral 1,5 L", "Pão de forma", "Açúcar 1 kg"}) {
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
    }
    for (const char* shown : {"02-07-2026", "10,00", "10,80", "9,60", "3,45"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
    // Series B, June, August; and no date or amount as SQLite gives it.
    for (const char* left : {"Porca", "FA 9", "FA 10", "03Série", "2026-07-02", "10.8"}) {
        EXPECT_EQ(text.find(left), std::string::npos) << left << "\n" << text;
    }
    const std::string info = run("pdfinfo " + (folder.path() / "vendas.pdf").string());
    EXPECT_NE(info.find("841.89 x 595.276"), std::string::npos) << "landscape A4\n" << info;
    EXPECT_EQ(lastOutput().kind, u"PDF file");
    EXPECT_EQ(lastOutput().location, folder.file("vendas.pdf"));

    // Only totals: one row per series, no lines.
    report.object(u"ParameterFields").object(u"Item", 4).call(u"ClearCurrentValueAndRange");
    report.object(u"ParameterFields").object(u"Item", 4).call(u"AddCurrentValue", true);
    report.call(u"Export", false);
    const std::string totals = pdfText(folder.path() / "vendas.pdf");
    EXPECT_NE(totals.find("Total"), std::string::npos) << totals;
    EXPECT_EQ(totals.find("Parafuso"), std::string::npos) << totals;
}

TEST_F(ReportOutputTest, ManyRowsBreakIntoPortraitPagesWithTheHeaderOnEach) {
    const Text path =
        folder.write("Numeros.rpt",
                     "vantrel-report 1\ntitle: Números\norientation: 1\n"
                     "table: tlkEmpresa\n"
                     "query: WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1\n"
                     "query:   FROM n WHERE i < 300) SELECT i AS Numero,\n"
                     "query:   'Linha ' || i AS Texto FROM n\n");
    ObjectRef report = open(path);
    diskExport(report, 31, folder.file("numeros.pdf"));
    const std::string info = run("pdfinfo " + (folder.path() / "numeros.pdf").string());
    EXPECT_NE(info.find("595.276 x 841.89"), std::string::npos) << info;
    const std::string text = pdfText(folder.path() / "numeros.pdf");
    std::size_t pages = 0, headers = 0;
    for (char c : text) pages += c == '\f';
    for (auto at = text.find("Numero"); at != std::string::npos; at = text.find("Numero", at + 1))
        ++headers;
    EXPECT_GE(pages, 5u);
    EXPECT_EQ(headers, pages);
    EXPECT_NE(text.find("Linha 300"), std::string::npos);
}

TEST_F(ReportOutputTest, BadQueryOrMissingDatabaseIsAClearError) {
    struct Case {
        std::string query;
        Text mainCatalog;
        std::string expected;
    };
    const Case cases[] = {
        {"SELEC Nome FROM tlkEmpresa", u"RELSISTEMA", "the query is refused"},
        {"SELECT 1; DELETE FROM tlkEmpresa", u"RELSISTEMA", "more than one statement"},
        {"SELECT Nome FROM tlkEmpresa", u"NADA", "no database file"},
        {"SELECT Nome FROM tlkEmpresa WHERE Codigo = {?Empresa}", u"RELSISTEMA", "{?Empresa}"},
    };
    for (const auto& c : cases) {
        ObjectRef report =
            open(folder.write("Erro.rpt",
                              "vantrel-report 1\ntable: tlkEmpresa\nquery: " + c.query + "\n"),
                 c.mainCatalog);
        try {
            diskExport(report, 31, folder.file("erro.pdf"));
            ADD_FAILURE() << c.query;
        } catch (const RuntimeError& e) {
            EXPECT_NE(automation::toUtf8(e.description()).find(c.expected), std::string::npos)
                << automation::toUtf8(e.description());
        }
        EXPECT_NE(factory.log()->lines().back().find(u"Export(False) -> failed: Report data: "),
                  Text::npos);
    }
}

TEST_F(ReportOutputTest, ExcelIsAWorkbookWithNumbersAsNumbersWhateverTheExtension) {
    ObjectRef report = example();
    const auto file = folder.path() / "vendas.xls";
    diskExport(report, 36, folder.file("vendas.xls"));
    EXPECT_EQ(slurp(file).substr(0, 2), "PK");
    const std::string strings = run("unzip -p '" + file.string() + "' xl/sharedStrings.xml");
    const std::string sheet = run("unzip -p '" + file.string() + "' xl/worksheets/sheet1.xml");
    for (const char* shown : {"Série", "Quantidade", "Água mineral 1,5 L", "Açúcar 1 kg"})
        EXPECT_NE(strings.find(shown), std::string::npos) << shown << "\n" << strings;
    EXPECT_EQ(strings.find("Porca"), std::string::npos);
    // Row 2 is the first line (100 screws at 0.1 on 2 July), row 3 the second (24 bottles at
    // 0.45): quantities are plain numbers, values numbers shown with their cents and dates
    // date serials shown as dates, none of them a string a spreadsheet cannot sum or sort.
    const std::string styles = run("unzip -p '" + file.string() + "' xl/styles.xml");
    EXPECT_NE(sheet.find("<c r=\"E2\"><v>100</v></c>"), std::string::npos) << sheet;
    EXPECT_EQ(formatOfCell(sheet, styles, "F2", "10"), "#,##0.00") << sheet << styles;
    EXPECT_EQ(formatOfCell(sheet, styles, "F3", "10.8"), "#,##0.00") << sheet << styles;
    const std::string july2 = std::to_string(static_cast<int>(automation::makeDate(2026, 7, 2)));
    EXPECT_EQ(formatOfCell(sheet, styles, "C2", july2), "dd-mm-yyyy") << sheet << styles;
    EXPECT_EQ(sheet.find("<row r=\"6\""), std::string::npos) << "four lines and the header";
    EXPECT_EQ(lastOutput().kind, u"Excel file");
}

TEST_F(ReportOutputTest, MailGoesToTheOutboxWithThePdfAttached) {
    ObjectRef report = example();
    ObjectRef options = report.object(u"ExportOptions");
    options.put(u"FormatType", std::int16_t{31});
    options.put(u"DestinationType", std::int16_t{2});
    EXPECT_THROW(report.call(u"Export", false), RuntimeError) << "no recipient";
    options.put(u"DiskFileName", u"C:\\Relatorios\\Vendas julho.pdf");
    options.put(u"MailToList", u"ana@exemplo.pt; rui@exemplo.pt");
    options.put(u"MailCcList", u"contas@exemplo.pt");
    options.put(u"MailSubject", u"Vendas de julho — série A");
    options.put(u"MailMessage", u"Segue o relatório.\nCumprimentos");
    report.call(u"Export", false);

    std::vector<std::filesystem::path> messages;
    for (const auto& e : std::filesystem::directory_iterator(folder.path() / "outbox"))
        messages.push_back(e.path());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].extension(), ".eml");
    EXPECT_EQ(lastOutput().kind, u"outbox");

    g_mime_init();
    GMimeStream* stream = g_mime_stream_fs_open(messages[0].c_str(), O_RDONLY, 0, nullptr);
    ASSERT_NE(stream, nullptr);
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    ASSERT_NE(message, nullptr);
    auto addresses = [&](InternetAddressList* list) {
        char* text = internet_address_list_to_string(list, nullptr, FALSE);
        std::string out = text ? text : "";
        g_free(text);
        return out;
    };
    EXPECT_EQ(addresses(g_mime_message_get_to(message)), "ana@exemplo.pt, rui@exemplo.pt");
    EXPECT_EQ(addresses(g_mime_message_get_cc(message)), "contas@exemplo.pt");
    EXPECT_STREQ(g_mime_message_get_subject(message), "Vendas de julho — série A");
    EXPECT_NE(addresses(g_mime_message_get_from(message)).find("@"), std::string::npos);

    std::vector<std::string> types;
    std::string body, attachment;
    GMimePartIter* it = g_mime_part_iter_new(g_mime_message_get_mime_part(message));
    do {
        GMimeObject* part = g_mime_part_iter_get_current(it);
        if (!part || !GMIME_IS_PART(part)) continue;
        char* type = g_mime_content_type_get_mime_type(g_mime_object_get_content_type(part));
        types.push_back(type);
        g_free(type);
        if (GMIME_IS_TEXT_PART(part)) {
            char* text = g_mime_text_part_get_text(GMIME_TEXT_PART(part));
            body = text;
            g_free(text);
        } else {
            GMimeStream* decoded = g_mime_stream_mem_new();
            g_mime_data_wrapper_write_to_stream(g_mime_part_get_content(GMIME_PART(part)), decoded);
            GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(decoded));
            attachment.assign(reinterpret_cast<const char*>(bytes->data), bytes->len);
            g_object_unref(decoded);
            EXPECT_STREQ(g_mime_part_get_filename(GMIME_PART(part)), "Vendas julho.pdf");
        }
    } while (g_mime_part_iter_next(it));
    g_mime_part_iter_free(it);
    g_object_unref(message);
    g_object_unref(parser);
    g_object_unref(stream);

    EXPECT_EQ(types, (std::vector<std::string>{"text/plain", "application/pdf"}));
    EXPECT_EQ(body, "Segue o relatório.\nCumprimentos");
    const auto attached = folder.path() / "anexo.pdf";
    std::ofstream(attached, std::ios::binary) << attachment;
    EXPECT_NE(pdfText(attached).find("Pão de forma"), std::string::npos);
}

TEST_F(ReportOutputTest, PrintingWithoutThatCupsPrinterLandsInThePrintedFolder) {
    ObjectRef report = example();
    report.call(u"SelectPrinter", u"winspool", u"Impressora inexistente", u"LPT9:");
    report.call(u"PrintOut", false, std::int16_t{2}, false);
    std::vector<std::filesystem::path> jobs;
    for (const auto& e : std::filesystem::directory_iterator(folder.path() / "printed"))
        jobs.push_back(e.path());
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].filename().string().find(" x2.pdf"), std::string::npos) << jobs[0];
    EXPECT_NE(pdfText(jobs[0]).find("Açúcar 1 kg"), std::string::npos);
    EXPECT_EQ(lastOutput().kind, u"printed file");
    const Text line = factory.log()->linesOf(u"PrintOut").back();
    EXPECT_NE(line.find(u"PrintOut(False, 2, False) -> printed to "), Text::npos);
    EXPECT_NE(line.find(u"no CUPS printer Impressora inexistente"), Text::npos);
}

TEST(PosixPrinters, SuppliedPrintersWinAndCupsNeverHangs) {
    platform::posix::PosixPlatform platform;
    const auto start = std::chrono::steady_clock::now();
    platform.printers();
    platform.currentPrinter();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    platform.setPrinters({{u"HP", u"winspool", u"USB001"}});
    ASSERT_EQ(platform.printers().size(), 1u);
    EXPECT_EQ(platform.currentPrinter()->deviceName, u"HP");
}

}  // namespace
}  // namespace vantrel::substitutes::reports
