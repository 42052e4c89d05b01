// How long saving a qualifying sales document takes when the add-in rewrites it with the
// energy surcharge line, end to end through the stand-ins (Solucao.Vendas_OnGravar over the
// stand-in ERP and its SQLite company database), against a floor: the same reads and
// writes done directly with SQLite (load the document twice and its lines once, look up
// each line's article as the ERP does when it suggests line values and twice more when it
// validates (Validar, then Inserir), remove the document, insert the rewritten one with one
// more line, finalise it and load it again).
//
//   bench_surcharge                      the Google Benchmark table
//   bench_surcharge --ratio              time per document and the ratio, per size
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/runtime_error.h"
#include "data_folder.h"
#include "erp/company_database.h"
#include "platform/posix/posix_catalog.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/profile_engine.h"
#include "registry.h"
#include "solution/solucao.h"

namespace {

using namespace vantrel;
using automation::ObjectRef;
using automation::Text;
using automation::Variant;

class SilentDialogs : public interfaces::Dialogs {
public:
    int boxes = 0;
    Text last;
    int messageBox(automation::TextView text, int, const std::optional<Text>&) override {
        ++boxes;
        last = Text(text);
        return interfaces::msgbox::AnswerOk;
    }
};

std::string windowsStyle(std::string p) {
    for (auto& c : p) {
        if (c == '/') c = '\\';
    }
    return p;
}

constexpr char16_t kCatalog[] = u"BENCHDB";
constexpr std::int16_t kYear = 2024;

// A company with the add-in entered, and the ERP's own session for storing documents.
class Company {
public:
    Company() {
        namespace fs = std::filesystem;
        base_ =
            (fs::temp_directory_path() / ("vantrel-bench-" + std::to_string(::getpid()))).string();
        fs::create_directories(base_ + "/talmek");
        substitutes::setDataFolder(automation::fromUtf8(windowsStyle(base_)));
        std::string file = windowsStyle(base_ + "/talmek/VANTREL.BENCH");
        auto put = [&](const char* section, const char* key, const char* value) {
            std::string s = automation::toCp1252(automation::T(section));
            profile_.writeString(s.c_str(), key, value, file.c_str());
        };
        put("Api Next", "Login", "api");
        put("Api Next", "password", "x");
        put("Api Next", "Empresa", "BENCH");
        put("Ligação", "Servidor", "localhost");
        put("Ligação", "Empresa", "BENCHDB");
        put("Ligação", "Username", "sa");
        put("Ligação", "PassWord", "x");
        put("Documentos com taxa", "Documentos", "FT,0");
        put("Documentos com taxa", "Taxa", "1,5");
        put("Documentos com taxa", "Artigo", "TXE");
        substitutes::erp::createCompanyDatabase(kCatalog, true);
        substitutes::erp::addSqlLogin(kCatalog, u"sa", u"x");
        substitutes::erp::addErpUser(kCatalog, u"api", u"x");
        substitutes::erp::addArticle(kCatalog, {u"A1", u"Artigo", u"UN", 23, 10});
        substitutes::erp::addArticle(kCatalog, {u"TXE", u"Taxa", u"UN", 23, 0});

        interfaces::Services services{&registry_, &catalog_, &dialogs_, &profile_, &platform_};
        solucao_ = std::make_unique<solution::Solucao>(services);
        Variant c(Text(u"BENCH")), u(Text(u"bench")), h(std::int32_t{0}), e;
        solucao_->App_OnEntrar(c, u, h, e);
        if (e.toBool()) throw std::runtime_error("the add-in did not enter the bench company");

        host_ = registry_.create(substitutes::progid::NextApiConnection);
        Variant product(Text(u"1GCO2022_40"));
        host_.call(u"SetProduct", automation::byRef(product));
        if (!host_.call(u"Connect", automation::fromUtf8(file)).toBool()) {
            throw std::runtime_error("the host session did not connect");
        }
    }
    ~Company() {
        Variant e;
        solucao_->App_OnSair(e);
        std::error_code ec;
        std::filesystem::remove_all(base_, ec);
    }

    std::int32_t store(int lines) {
        substitutes::erp::DocumentDraft d{u"FT", u"0", kYear, 0, u"C1", std::nullopt, {}};
        for (int i = 0; i < lines; ++i)
            d.lines.push_back({u"A1", 1.0 + i % 7, 10.0, {}, u"", 1, false, 0});
        return substitutes::erp::insertDocument(host_, d);
    }

    // The ERP's save of a stored document.
    void save(std::int32_t number) {
        ObjectRef doc = host_.object(u"NewSalesDocument");
        Variant t(Text(u"FT")), n(number), s(Text(u"0")), y(kYear);
        doc.call(u"Ler", automation::byRef(t), automation::byRef(n), automation::byRef(s),
                 automation::byRef(y));
        solucao_->Vendas_OnGravar(doc);
    }

    std::string databasePath() const { return base_ + "/databases/BENCHDB.sqlite"; }
    SilentDialogs& dialogs() { return dialogs_; }

private:
    std::string base_;
    platform::posix::PosixPlatform platform_;
    platform::posix::ProfileEngine profile_;
    SilentDialogs dialogs_;
    platform::posix::PosixCatalog catalog_;
    substitutes::StandInRegistry registry_{
        substitutes::StandInContext{&profile_, &dialogs_, &platform_}};
    std::unique_ptr<solution::Solucao> solucao_;
    ObjectRef host_;
};

Company& company() {
    static Company c;
    return c;
}

// --- The floor: the same SQLite work, done directly -------------------------------------

struct Sql {
    sqlite3* db = nullptr;
    explicit Sql(const std::string& path) {
        // Opened as the stand-ins open theirs, so that the floor does the same work.
        if (sqlite3_open_v2(path.c_str(), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK)
            throw std::runtime_error("open");
        exec("PRAGMA foreign_keys = ON");
    }
    ~Sql() { sqlite3_close(db); }
    void exec(const char* sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(db));
        }
    }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(db));
        }
        return s;
    }
};

void bindKey(sqlite3_stmt* s, std::int32_t number) {
    sqlite3_bind_text(s, 1, "FT", -1, SQLITE_STATIC);
    sqlite3_bind_text(s, 2, "0", -1, SQLITE_STATIC);
    sqlite3_bind_int(s, 3, kYear);
    sqlite3_bind_int(s, 4, number);
}

// Reads every column of every row; returns a checksum so nothing is optimised away.
double readAll(sqlite3_stmt* s) {
    double sum = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        int n = sqlite3_column_count(s);
        for (int i = 0; i < n; ++i) {
            if (sqlite3_column_type(s, i) == SQLITE_TEXT) {
                sum += static_cast<double>(
                    std::strlen(reinterpret_cast<const char*>(sqlite3_column_text(s, i))));
            } else {
                sum += sqlite3_column_double(s, i);
            }
        }
    }
    sqlite3_finalize(s);
    return sum;
}

double loadDocument(Sql& sql, std::int32_t number) {
    sqlite3_stmt* h = sql.prepare(
        "SELECT * FROM DOCGCCAB WHERE TPDOCUM=?1 AND SERIE=?2 AND ANO=?3 AND NNUMDOC=?4");
    bindKey(h, number);
    double sum = readAll(h);
    sqlite3_stmt* l = sql.prepare(
        "SELECT * FROM DOCGCLIN WHERE TPDOCUM=?1 AND SERIE=?2 AND ANO=?3 AND NNUMDOC=?4 ORDER BY "
        "ORDENACA");
    bindKey(l, number);
    return sum + readAll(l);
}

// The ERP's validation: the document type and every line's article.
double validationReads(Sql& sql, int lines) {
    double sum = 0;
    sqlite3_stmt* type = sql.prepare("SELECT 1 FROM TIPOSDOC WHERE TPDOCUM = ?1");
    sqlite3_bind_text(type, 1, "FT", -1, SQLITE_STATIC);
    while (sqlite3_step(type) == SQLITE_ROW) sum += 1;
    sqlite3_finalize(type);
    sqlite3_stmt* article = sql.prepare(
        "SELECT ARTIGO, DESCRICAO, UNIDADE, ARMAZEM, IVA, PRECO FROM ARTIGOS WHERE ARTIGO = ?1");
    for (int i = 0; i <= lines; ++i) {
        sqlite3_reset(article);
        sqlite3_bind_text(article, 1, i < lines ? "A1" : "TXE", -1, SQLITE_STATIC);
        while (sqlite3_step(article) == SQLITE_ROW) sum += sqlite3_column_double(article, 5);
    }
    sqlite3_finalize(article);
    return sum;
}

// Rewrites a stored document with one more line, directly.
void floorRewrite(Sql& sql, std::int32_t number, std::int32_t newNumber, int lines) {
    double sum = loadDocument(sql, number);  // the save hook's load
    sum += loadDocument(sql, number);        // the stored copy
    // The ERP suggests each line's values from its article, one look-up a line.
    sqlite3_stmt* article = sql.prepare(
        "SELECT DESCRICAO, UNIDADE, IVA, PRECO, ARMAZEM FROM ARTIGOS WHERE ARTIGO = ?1");
    for (int i = 0; i <= lines; ++i) {
        sqlite3_reset(article);
        sqlite3_bind_text(article, 1, i < lines ? "A1" : "TXE", -1, SQLITE_STATIC);
        while (sqlite3_step(article) == SQLITE_ROW) sum += sqlite3_column_double(article, 3);
    }
    sqlite3_finalize(article);
    sqlite3_stmt* rows = sql.prepare(
        "SELECT * FROM DOCGCLIN WHERE TPDOCUM=?1 AND NNUMDOC=?4 AND SERIE=?2 AND ANO=?3 ORDER BY "
        "ORDENACA");
    bindKey(rows, number);
    sum += readAll(rows);  // the stored rows
    benchmark::DoNotOptimize(sum);

    sql.exec("BEGIN");  // Validar
    benchmark::DoNotOptimize(validationReads(sql, lines));
    sql.exec("COMMIT");

    sql.exec("BEGIN IMMEDIATE");
    sqlite3_stmt* del =
        sql.prepare("DELETE FROM DOCGCCAB WHERE TPDOCUM=?1 AND SERIE=?2 AND ANO=?3 AND NNUMDOC=?4");
    bindKey(del, number);
    sqlite3_step(del);
    sqlite3_finalize(del);
    sql.exec("COMMIT");

    sql.exec("BEGIN IMMEDIATE");  // Inserir validates again, then writes
    benchmark::DoNotOptimize(validationReads(sql, lines));
    sqlite3_stmt* num =
        sql.prepare("UPDATE NUMERADORES SET ULTIMO=?4 WHERE TPDOCUM=?1 AND SERIE=?2 AND ANO=?3");
    bindKey(num, newNumber);
    sqlite3_step(num);
    sqlite3_finalize(num);
    sqlite3_stmt* head = sql.prepare(
        "INSERT INTO DOCGCCAB (TPDOCUM, SERIE, ANO, NNUMDOC, DATA, ENTIDADE, BASE1) VALUES "
        "(?1,?2,?3,?4,'2024-03-15','C1',?5)");
    bindKey(head, newNumber);
    sqlite3_bind_double(head, 5, 100.0);
    sqlite3_step(head);
    sqlite3_finalize(head);
    sqlite3_stmt* row = sql.prepare(
        "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, ANO, NNUMDOC, ORDENACA, LINANU, TPLINHA, ARTIGO, "
        "ARMAZEM, DESCR, "
        "QUANT, PRUNIT, IVA, DESCONTO, TXDESC, DATA, UNIDADE, FACTOR, ORANO, ORDOC, ORSERIE, "
        "ORNUM, ORLIN, "
        "LINHAREL, TOTAL) VALUES "
        "(?1,?2,?3,?4,?5,0,1,'A1','A1','Artigo',?6,10,23,0,0,'2024-03-15','UN',1,0,'','',0,0,0,?"
        "7)");
    for (int i = 0; i <= lines; ++i) {
        sqlite3_reset(row);
        bindKey(row, newNumber);
        sqlite3_bind_int(row, 5, i + 1);
        sqlite3_bind_double(row, 6, 1.0 + i % 7);
        sqlite3_bind_double(row, 7, 10.0 * (1 + i % 7));
        sqlite3_step(row);
    }
    sqlite3_finalize(row);
    sql.exec("COMMIT");

    sqlite3_stmt* fin = sql.prepare(
        "UPDATE DOCGCCAB SET FINALIZADO=1 WHERE TPDOCUM=?1 AND SERIE=?2 AND ANO=?3 AND NNUMDOC=?4");
    bindKey(fin, newNumber);
    sqlite3_step(fin);
    sqlite3_finalize(fin);
    benchmark::DoNotOptimize(loadDocument(sql, newNumber));  // Finalizar's load
}

void BM_SurchargeThroughStandIns(benchmark::State& state) {
    Company& c = company();
    int lines = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::int32_t number = c.store(lines);
        int before = c.dialogs().boxes;
        state.ResumeTiming();
        c.save(number);
        state.PauseTiming();
        if (c.dialogs().boxes != before + 1 ||
            c.dialogs().last.rfind(u"Foi alterado e finalizado", 0) != 0) {
            state.SkipWithError(automation::toUtf8(c.dialogs().last).c_str());
            break;
        }
        state.ResumeTiming();
    }
    state.counters["lines"] = lines;
}

void BM_SameSqliteWorkDirectly(benchmark::State& state) {
    Company& c = company();
    int lines = static_cast<int>(state.range(0));
    Sql sql(c.databasePath());
    for (auto _ : state) {
        state.PauseTiming();
        std::int32_t number = c.store(lines);
        state.ResumeTiming();
        floorRewrite(sql, number, number + 100000, lines);
    }
    state.counters["lines"] = lines;
}

BENCHMARK(BM_SurchargeThroughStandIns)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SameSqliteWorkDirectly)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// Median of a few timed rewrites of each kind, and their ratio. The two kinds take turns,
// first one then the other, so that a busy moment of the machine or the growing database
// weighs on both alike.
int printRatios() {
    Company& c = company();
    std::printf("%8s %16s %16s %8s\n", "lines", "add-in (ms/doc)", "floor (ms/doc)", "ratio");
    // 10,000 lines too: the add-in's cost per line must not grow with the document.
    for (int lines : {10, 100, 1000, 10000}) {
        Sql sql(c.databasePath());
        auto timed = [&](auto&& rewrite) {
            std::int32_t number = c.store(lines);
            auto t0 = std::chrono::steady_clock::now();
            rewrite(number);
            return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
        };
        bool rewritten = true;
        auto addIn = [&](std::int32_t n) {
            int before = c.dialogs().boxes;
            c.save(n);
            rewritten = rewritten && c.dialogs().boxes == before + 1 &&
                        c.dialogs().last.rfind(u"Foi alterado e finalizado", 0) == 0;
        };
        auto floor = [&](std::int32_t n) { floorRewrite(sql, n, n + 100000, lines); };
        std::vector<double> a, f;
        for (int round = 0; round < 9; ++round) {
            if (round % 2 == 0) {
                a.push_back(timed(addIn));
                f.push_back(timed(floor));
            } else {
                f.push_back(timed(floor));
                a.push_back(timed(addIn));
            }
        }
        auto median = [](std::vector<double>& ms) {
            std::sort(ms.begin(), ms.end());
            return ms[ms.size() / 2];
        };
        if (!rewritten) {
            std::fprintf(stderr, "a save did not rewrite the document: %s\n",
                         automation::toUtf8(c.dialogs().last).c_str());
            return 1;
        }
        double addInMs = median(a), floorMs = median(f);
        std::printf("%8d %16.3f %16.3f %7.2fx\n", lines, addInMs, floorMs, addInMs / floorMs);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--ratio") == 0) return printRatios();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
