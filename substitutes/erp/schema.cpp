#include "erp/schema.h"

namespace vantrel::substitutes::erp {

using automation::Text;
using automation::TextView;

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE DOCGCCAB (
    TPDOCUM     TEXT    NOT NULL COLLATE NOCASE,
    SERIE       TEXT    NOT NULL COLLATE NOCASE,
    ANO         INTEGER NOT NULL,
    NNUMDOC     INTEGER NOT NULL,
    DATA        DATE,
    ENTIDADE    TEXT    NOT NULL DEFAULT '',
    NOME        TEXT    NOT NULL DEFAULT '',
    ORIGEM      INTEGER NOT NULL DEFAULT 0,
    NUMORIG     INTEGER NOT NULL DEFAULT 0,
    BASE1       REAL    NOT NULL DEFAULT 0,
    BASE2       REAL    NOT NULL DEFAULT 0,
    BASE3       REAL    NOT NULL DEFAULT 0,
    BASE4       REAL    NOT NULL DEFAULT 0,
    TOTALIVA    REAL    NOT NULL DEFAULT 0,
    TOTALDOC    REAL    NOT NULL DEFAULT 0,
    FINALIZADO  INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (TPDOCUM, SERIE, ANO, NNUMDOC)
);
CREATE TABLE DOCGCLIN (
    TPDOCUM     TEXT    NOT NULL COLLATE NOCASE,
    NNUMDOC     INTEGER NOT NULL,
    SERIE       TEXT    NOT NULL COLLATE NOCASE,
    ANO         INTEGER NOT NULL,
    ORDENACA    INTEGER NOT NULL,
    LINANU      INTEGER NOT NULL DEFAULT 0,
    TPLINHA     INTEGER NOT NULL DEFAULT 1,
    ARTIGO      TEXT    NOT NULL DEFAULT '' COLLATE NOCASE,
    ARMAZEM     TEXT    NOT NULL DEFAULT '',
    DESCR       TEXT    NOT NULL DEFAULT '',
    QUANT       REAL    NOT NULL DEFAULT 0,
    PRUNIT      REAL    NOT NULL DEFAULT 0,
    IVA         REAL    NOT NULL DEFAULT 0,
    DESCONTO    REAL    NOT NULL DEFAULT 0,
    TXDESC      REAL    NOT NULL DEFAULT 0,
    DATA        DATE,
    UNIDADE     TEXT    NOT NULL DEFAULT '',
    FACTOR      REAL    NOT NULL DEFAULT 1,
    ORANO       INTEGER NOT NULL DEFAULT 0,
    ORDOC       TEXT    NOT NULL DEFAULT '',
    ORSERIE     TEXT    NOT NULL DEFAULT '',
    ORNUM       INTEGER NOT NULL DEFAULT 0,
    ORLIN       INTEGER NOT NULL DEFAULT 0,
    LINHAREL    INTEGER NOT NULL DEFAULT 0,
    TOTAL       REAL    NOT NULL DEFAULT 0,
    PRIMARY KEY (TPDOCUM, SERIE, ANO, NNUMDOC, ORDENACA),
    FOREIGN KEY (TPDOCUM, SERIE, ANO, NNUMDOC) REFERENCES DOCGCCAB (TPDOCUM, SERIE, ANO, NNUMDOC)
        ON DELETE CASCADE
);
CREATE TABLE ARTIGOS (
    ARTIGO      TEXT    NOT NULL PRIMARY KEY COLLATE NOCASE,
    DESCRICAO   TEXT    NOT NULL DEFAULT '',
    UNIDADE     TEXT    NOT NULL DEFAULT 'UN',
    IVA         REAL    NOT NULL DEFAULT 23,
    PRECO       REAL    NOT NULL DEFAULT 0,
    ARMAZEM     TEXT    NOT NULL DEFAULT ''
);
CREATE TABLE TAXASIVA (
    BASE        INTEGER NOT NULL PRIMARY KEY CHECK (BASE BETWEEN 1 AND 4),
    TAXA        REAL    NOT NULL
);
CREATE TABLE TIPOSDOC (
    TPDOCUM     TEXT    NOT NULL PRIMARY KEY COLLATE NOCASE,
    DESCRICAO   TEXT    NOT NULL DEFAULT ''
);
CREATE TABLE NUMERADORES (
    TPDOCUM     TEXT    NOT NULL COLLATE NOCASE,
    SERIE       TEXT    NOT NULL COLLATE NOCASE,
    ANO         INTEGER NOT NULL,
    ULTIMO      INTEGER NOT NULL,
    PRIMARY KEY (TPDOCUM, SERIE, ANO)
);
CREATE TABLE UTILIZADORES (
    LOGIN       TEXT    NOT NULL PRIMARY KEY COLLATE NOCASE,
    PASSWORD    TEXT    NOT NULL DEFAULT ''
);
CREATE TABLE LOGINSSQL (
    LOGIN       TEXT    NOT NULL PRIMARY KEY COLLATE NOCASE,
    PASSWORD    TEXT    NOT NULL DEFAULT ''
);
CREATE TABLE FALHAS (
    OPERACAO    TEXT    NOT NULL PRIMARY KEY COLLATE NOCASE,
    MENSAGEM    TEXT    NOT NULL DEFAULT ''
);
INSERT INTO TAXASIVA VALUES (1, 23), (2, 13), (3, 6), (4, 0);
INSERT INTO TIPOSDOC VALUES
    ('FT', 'Fatura'), ('FS', 'Fatura simplificada'), ('FR', 'Fatura-recibo'),
    ('NC', 'Nota de crédito'), ('ND', 'Nota de débito'), ('VD', 'Venda a dinheiro'),
    ('GR', 'Guia de remessa'), ('GT', 'Guia de transporte');
PRAGMA user_version = 1;
)sql";

}  // namespace

void createSchema(Database& db) {
    Transaction t(db);
    db.exec(kSchema);
    t.commit();
}

std::shared_ptr<Database> openCompanyDatabase(TextView file) {
    auto db = Database::open(file, Database::Mode::ReadWrite);
    // Reading the schema touches the file: a locked file or one that is not a database
    // fails here rather than at the first query.
    auto stmt = db->prepare(
        "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'DOCGCLIN'");
    if (!stmt.step() || stmt.integer(0) != 1) {
        throw automation::RuntimeError(
            kCommandError, u"SQLite", u"not a company database (no table DOCGCLIN): " + Text(file));
    }
    return db;
}

std::optional<Text> takeInjectedFailure(Database& db, TextView operation) {
    // Most calls find nothing: a read says so without taking the write lock.
    auto any = db.cached("SELECT 1 FROM FALHAS WHERE OPERACAO = ?1");
    any.bind(1, operation);
    bool found = any.step();
    any.reset();
    if (!found) return std::nullopt;
    // One statement takes the failure, so two connections never both see it.
    auto take = db.cached("DELETE FROM FALHAS WHERE OPERACAO = ?1 RETURNING MENSAGEM");
    take.bind(1, operation);
    if (!take.step()) return std::nullopt;
    Text message = take.text(0);
    take.run();
    if (message.empty()) message = u"Falha simulada em " + Text(operation) + u".";
    return message;
}

}  // namespace vantrel::substitutes::erp
