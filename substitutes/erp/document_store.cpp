#include "erp/document_store.h"

#include <algorithm>

#include "erp/document_rules.h"

namespace vantrel::substitutes::erp {

using automation::Variant;

namespace {

void bindKey(Statement& q, const DocumentId& id, int first = 1) {
    q.bind(first, id.type).bind(first + 1, id.series).bind(first + 2, std::int64_t{id.year});
    q.bind(first + 3, std::int64_t{id.number});
}

double dateOf(const Statement& q, int column) {
    Variant v = q.value(column);
    return v.type() == automation::VarType::Date ? v.toDate() : 0.0;
}

std::int32_t nextNumber(Database& db, const DocumentId& id) {
    auto q = db.cached(
        "SELECT MAX(COALESCE((SELECT ULTIMO FROM NUMERADORES WHERE TPDOCUM = ?1 AND SERIE = ?2 AND "
        "ANO = ?3), 0),"
        "           COALESCE((SELECT MAX(NNUMDOC) FROM DOCGCCAB WHERE TPDOCUM = ?1 AND SERIE = ?2 "
        "AND ANO = ?3), 0))");
    q.bind(1, id.type).bind(2, id.series).bind(3, std::int64_t{id.year});
    q.step();
    std::int64_t last = q.integer(0);
    if (last >= 2147483647) {
        throw automation::RuntimeError(automation::errc::Overflow, u"Inserir",
                                       u"A numeração do documento chegou ao fim.");
    }
    return static_cast<std::int32_t>(last + 1);
}

}  // namespace

bool documentExists(Database& db, const DocumentId& id) {
    auto q = db.cached(
        "SELECT 1 FROM DOCGCCAB WHERE TPDOCUM = ?1 AND SERIE = ?2 AND ANO = ?3 AND NNUMDOC = ?4");
    bindKey(q, id);
    return q.step();
}

bool loadDocument(Database& db, const DocumentId& id, DocumentState& doc) {
    doc.header = HeaderData{};
    doc.clearLines();
    auto h = db.cached(
        "SELECT TPDOCUM, SERIE, ANO, NNUMDOC, DATA, ENTIDADE, NOME, ORIGEM, NUMORIG, BASE1, BASE2, "
        "BASE3, BASE4,"
        "       TOTALIVA, TOTALDOC, FINALIZADO "
        "FROM DOCGCCAB WHERE TPDOCUM = ?1 AND SERIE = ?2 AND ANO = ?3 AND NNUMDOC = ?4");
    bindKey(h, id);
    if (!h.step()) return false;
    HeaderData& d = doc.header;
    d.type = h.text(0);
    d.series = h.text(1);
    d.originalSeries = d.series;
    d.year = static_cast<std::int16_t>(h.integer(2));
    d.number = static_cast<std::int32_t>(h.integer(3));
    d.date = dateOf(h, 4);
    d.customer = h.text(5);
    d.name = h.text(6);
    d.origin = static_cast<std::int16_t>(h.integer(7));
    d.originalNumber = static_cast<std::int32_t>(h.integer(8));
    for (int k = 0; k < 4; ++k) d.bases[static_cast<std::size_t>(k)] = h.real(9 + k);
    d.vat = h.real(13);
    d.total = h.real(14);
    d.finalised = h.integer(15) != 0;

    doc.linesFrom(id);
    return true;
}

void DocumentState::loadPendingLines() const {
    std::unique_ptr<DocumentId> pending = std::move(pending_);
    Database& db = session->database();
    const DocumentId& id = *pending;
    Lines& lines = lines_;
    auto l = db.cached(
        "SELECT ORDENACA, LINANU, TPLINHA, ARTIGO, ARMAZEM, DESCR, QUANT, PRUNIT, IVA, DESCONTO, "
        "TXDESC, DATA,"
        "       UNIDADE, FACTOR, ORANO, ORDOC, ORSERIE, ORNUM, ORLIN, LINHAREL "
        "FROM DOCGCLIN WHERE TPDOCUM = ?1 AND SERIE = ?2 AND ANO = ?3 AND NNUMDOC = ?4 ORDER BY "
        "ORDENACA");
    bindKey(l, id);
    while (l.step()) {
        auto line = std::make_shared<LineObject>();
        LineData& x = line->edit();
        x.set(LineField::Ordenacao, l.value(0));
        x.set(LineField::LinhaAnulada, Variant(l.integer(1) != 0));
        x.set(LineField::TipoDeLinha, l.value(2));
        x.set(LineField::Artigo, l.value(3));
        x.set(LineField::Armazem, l.value(4));
        x.set(LineField::Descricao, l.value(5));
        x.set(LineField::Quantidade, l.value(6));
        x.set(LineField::QuantidadeOrigem, l.value(6));
        x.set(LineField::PrecoUnitario, l.value(7));
        x.set(LineField::PrecoUnitarioIntroduzido, l.value(7));
        x.set(LineField::TaxaIva, l.value(8));
        x.set(LineField::Desconto, l.value(9));
        x.set(LineField::TaxaDesconto, l.value(10));
        x.set(LineField::DataMvStock, Variant::date(dateOf(l, 11)));
        x.set(LineField::Unidade, l.value(12));
        x.set(LineField::Factor, l.value(13));
        x.set(LineField::Orano, l.value(14));
        x.set(LineField::Ordoc, l.value(15));
        x.set(LineField::Orserie, l.value(16));
        x.set(LineField::Ornum, l.value(17));
        x.set(LineField::LinhaOriginal, l.value(18));
        x.set(LineField::LinhaRelacionada, l.value(19));
        lines.push_back(std::move(line));
    }
}

bool storeDocument(Database& db, DocumentState& doc, double today) {
    HeaderData& h = doc.header;
    DocumentId id{h.type, h.series, h.number, h.year};
    if (id.number == 0) {
        id.number = nextNumber(db, id);
    } else if (documentExists(db, id)) {
        doc.addMessage(u"O documento " + documentKey(h.type, h.series, h.number, h.year) +
                       u" já existe.");
        return false;
    }
    if (h.date == 0) h.date = today;
    computeTotals(h, doc.lines(), vatRates(db));

    auto counter = db.cached(
        "INSERT INTO NUMERADORES (TPDOCUM, SERIE, ANO, ULTIMO) VALUES (?1, ?2, ?3, ?4) "
        "ON CONFLICT (TPDOCUM, SERIE, ANO) DO UPDATE SET ULTIMO = MAX(ULTIMO, excluded.ULTIMO)");
    counter.bind(1, id.type)
        .bind(2, id.series)
        .bind(3, std::int64_t{id.year})
        .bind(4, std::int64_t{id.number});
    counter.run();

    auto head = db.cached(
        "INSERT INTO DOCGCCAB (TPDOCUM, SERIE, ANO, NNUMDOC, DATA, ENTIDADE, NOME, ORIGEM, "
        "NUMORIG, BASE1, BASE2,"
        "                      BASE3, BASE4, TOTALIVA, TOTALDOC, FINALIZADO) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, 0)");
    bindKey(head, id);
    head.bind(5, automation::fromUtf8(isoDate(h.date)));
    head.bind(6, h.customer)
        .bind(7, h.name)
        .bind(8, std::int64_t{h.origin})
        .bind(9, std::int64_t{h.originalNumber});
    for (int k = 0; k < 4; ++k) head.bind(10 + k, h.bases[static_cast<std::size_t>(k)]);
    head.bind(14, h.vat).bind(15, h.total);
    head.run();

    auto row = db.cached(
        "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, ANO, NNUMDOC, ORDENACA, LINANU, TPLINHA, ARTIGO, "
        "ARMAZEM, DESCR, QUANT,"
        "                      PRUNIT, IVA, DESCONTO, TXDESC, DATA, UNIDADE, FACTOR, ORANO, ORDOC, "
        "ORSERIE, ORNUM,"
        "                      ORLIN, LINHAREL, TOTAL) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, "
        "?19, ?20, ?21, ?22,"
        "        ?23, ?24, ?25)");
    std::int32_t position = 0;
    for (const auto& line : doc.lines()) {
        const LineData& x = line->data();
        ++position;
        row.reset();
        bindKey(row, id);
        row.bind(5, std::int64_t{position});
        row.bind(6, std::int64_t{x.cancelled() ? -1 : 0});
        row.bind(7, std::int64_t{x.lineType()});
        row.bind(8, x.text(LineField::Artigo)).bind(9, x.text(LineField::Armazem));
        row.bind(10, x.text(LineField::Descricao));
        row.bind(11, x.number(LineField::Quantidade)).bind(12, x.number(LineField::PrecoUnitario));
        row.bind(13, x.number(LineField::TaxaIva)).bind(14, x.number(LineField::Desconto));
        row.bind(15, x.number(LineField::TaxaDesconto));
        double moved = x[LineField::DataMvStock].toDate();
        row.bind(16, automation::fromUtf8(isoDate(moved == 0 ? h.date : moved)));
        row.bind(17, x.text(LineField::Unidade)).bind(18, x.number(LineField::Factor));
        row.bind(19, std::int64_t{x[LineField::Orano].toInteger()})
            .bind(20, x.text(LineField::Ordoc));
        row.bind(21, x.text(LineField::Orserie))
            .bind(22, std::int64_t{x[LineField::Ornum].toLong()});
        row.bind(23, std::int64_t{x[LineField::LinhaOriginal].toLong()});
        row.bind(24, std::int64_t{x[LineField::LinhaRelacionada].toLong()});
        row.bind(25, x.cancelled() ? 0.0 : x.netValue());
        row.run();
    }

    h.number = id.number;
    h.finalised = false;
    position = 0;
    for (const auto& line : doc.lines())
        line->edit().set(LineField::Ordenacao, Variant(++position));
    return true;
}

bool deleteDocument(Database& db, const DocumentId& id) {
    Transaction t(db, true);
    auto lines = db.cached(
        "DELETE FROM DOCGCLIN WHERE TPDOCUM = ?1 AND SERIE = ?2 AND ANO = ?3 AND NNUMDOC = ?4");
    bindKey(lines, id);
    lines.run();
    auto head = db.cached(
        "DELETE FROM DOCGCCAB WHERE TPDOCUM = ?1 AND SERIE = ?2 AND ANO = ?3 AND NNUMDOC = ?4");
    bindKey(head, id);
    head.run();
    bool removed = db.changes() > 0;
    t.commit();
    return removed;
}

FinaliseOutcome finaliseDocument(Database& db, const DocumentId& id) {
    auto q = db.cached(
        "SELECT FINALIZADO FROM DOCGCCAB WHERE TPDOCUM = ?1 AND SERIE = ?2 AND ANO = ?3 AND "
        "NNUMDOC = ?4");
    bindKey(q, id);
    if (!q.step()) return FinaliseOutcome::Missing;
    if (q.integer(0) != 0) return FinaliseOutcome::AlreadyFinalised;
    auto u = db.cached(
        "UPDATE DOCGCCAB SET FINALIZADO = -1 WHERE TPDOCUM = ?1 AND SERIE = ?2 AND ANO = ?3 AND "
        "NNUMDOC = ?4");
    bindKey(u, id);
    u.run();
    return FinaliseOutcome::Done;
}

}  // namespace vantrel::substitutes::erp
