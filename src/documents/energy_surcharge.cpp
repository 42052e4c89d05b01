#include "documents/energy_surcharge.h"

#include <cmath>
#include <string>

#include "automation/runtime_error.h"

namespace vantrel::documents {

using automation::currentError;
using automation::equals;
using automation::fromUtf8;
using automation::RuntimeError;
using automation::T;
using interfaces::DocumentHeader;
using interfaces::DocumentLine;
using interfaces::HostDocument;
namespace msgbox = interfaces::msgbox;

namespace {

const Text kCrLf = u"\r\n";

Text decimal(std::int64_t n) {
    return fromUtf8(std::to_string(n));
}

// Origin code the ERP expects on documents rebuilt through its API.
constexpr std::int16_t kOrigemApi = 3;

Result failure(Text message, std::int32_t number = 0) {
    Result r;
    r.setTipo(EnumResult::Erro);
    r.setMensagem(std::move(message));
    r.setErroNum(number);
    return r;
}

// A cancelled row carries LINANU = True (-1). An empty or Null flag is a live line.
bool isCancelled(const Variant& linanu) {
    if (linanu.isNull() || linanu.isEmpty()) return false;
    return equals(linanu, Variant(std::int16_t{-1}));
}

// Clears the lines a header copy may bring along.
void clearLines(const HostDocument& doc) {
    interfaces::LineCollection linhas = doc.Linhas();
    while (linhas.Count() > 0) linhas.Remove(std::int16_t{1});
}

}  // namespace

Text documentKey(const Text& tipo, const Text& serie, std::int32_t numero, std::int16_t ano) {
    return tipo + u"-" + serie + u"-" + decimal(numero) + u"-" + decimal(ano);
}

Text EnergySurcharge::normaliseRate(const Text& taxa) {
    return automation::trim(automation::replaceAll(taxa, u",", u"."));
}

double EnergySurcharge::rateOf(const Text& taxa) {
    double rate = automation::val(taxa);
    if (rate != 0) rate /= 100;
    return rate;
}

bool EnergySurcharge::pDocumentoInteressa(const Variant& tipo, const Variant& serie) const {
    try {
        // Built by appending: GCC 12 misreads the equivalent chain of operator+ (-Wrestrict).
        Text key(u";");
        key += tipo.toText();
        key += u',';
        key += automation::trim(serie.toText());
        key += u';';
        Text list(u";");
        list += settings_.documentos;
        list += u';';
        return automation::instr(1, list, key) > 0;
    } catch (...) {
        throw currentError().withSource(u"pDocumentoInteressa");
    }
}

void EnergySurcharge::Vendas_OnGravar(const ObjectRef& oApi) {
    if (oApi.isNothing()) return;
    HostDocument saved(oApi);
    DocumentHeader cab = saved.Cab();
    // The add-in only acts on series that read as the number 0; Null compares with nothing.
    Variant serie = cab.serie();
    if (serie.isNull() || !equals(serie, Variant(std::int16_t{0}))) return;
    if (!ctx_.pVerificarApi()) return;

    {
        HostDocument stored = api().NewSalesDocument();
        stored.Ler(cab.TipoDocumento().toText(), cab.NossoNoDocumento().toLong(),
                   cab.serie().toText(), cab.ano().toInteger());
        DocumentHeader storedCab = stored.Cab();
        if (!pDocumentoInteressa(storedCab.TipoDocumento(), storedCab.serieOriginal())) return;
    }

    if (automation::ucase(automation::left(settings_.pergunta, 1)) == u"S") {
        int answer = ctx_.dialogs.messageBox(
            T("Pretende adicionar Taxa Energética?"),
            msgbox::YesNo + msgbox::Question + msgbox::DefaultButton2, T("Taxa Energética"));
        if (answer != msgbox::AnswerYes) return;
    }

    Result r = pAdicionaTaxaEnergetica(cab.TipoDocumento().toText(), cab.serie().toText(),
                                       cab.NossoNoDocumento().toLong(), cab.ano().toInteger());
    int style = r.tipo() == EnumResult::Erro ? msgbox::Exclamation : msgbox::Information;
    ctx_.dialogs.messageBox(r.Mensagem(), msgbox::OkOnly + style, T("Taxa Energética"));
}

std::vector<StoredLine> EnergySurcharge::readStoredLines(const Text& tipo, std::int32_t numero,
                                                         const Text& serie,
                                                         std::int16_t ano) const {
    interfaces::Recordset rows = ctx_.dal.HlpDb_DocGcLin(tipo, numero, serie, ano);
    std::vector<StoredLine> lines;
    // An empty recordset is at its end at once; some providers refuse MoveFirst on it.
    if (!rows.Eof()) rows.MoveFirst();
    while (!rows.Eof()) {
        if (!isCancelled(rows.field(u"LINANU"))) {
            StoredLine l;
            l.tipoDeLinha = rows.field(u"TPLINHA");
            l.artigo = rows.field(u"ARTIGO");
            l.armazem = rows.field(u"ARMAZEM");
            l.descricao = rows.field(u"DESCR");
            l.quantidade = rows.field(u"QUANT");
            l.precoUnitario = rows.field(u"PRUNIT");
            l.taxaIva = rows.field(u"IVA");
            l.desconto = rows.field(u"DESCONTO");
            l.taxaDesconto = rows.field(u"TXDESC");
            l.data = rows.field(u"DATA");
            l.unidade = rows.field(u"UNIDADE");
            l.factor = rows.field(u"FACTOR");
            l.orano = rows.field(u"ORANO");
            l.ordoc = rows.field(u"ORDOC");
            l.orserie = rows.field(u"ORSERIE");
            l.ornum = rows.field(u"ORNUM");
            l.orlin = rows.field(u"ORLIN");
            l.linhaRel = rows.field(u"LINHAREL");
            l.ordenacao = rows.field(u"ORDENACA");
            lines.push_back(std::move(l));
        }
        rows.MoveNext();
    }
    return lines;
}

void EnergySurcharge::addStoredLines(const HostDocument& doc,
                                     const std::vector<StoredLine>& lines) const {
    for (const StoredLine& row : lines) {
        DocumentLine line = api().NewDocumentLine();
        line.setTipoDeLinha(row.tipoDeLinha);
        line.setArtigo(row.artigo);
        line.setArmazem(row.armazem);
        doc.SugereValoresLin(line);
        line.setDescricao(row.descricao);
        line.setQuantidade(row.quantidade);
        line.setQuantidadeOrigem(row.quantidade);
        line.setPrecoUnitario(row.precoUnitario);
        line.setPrecoUnitarioIntroduzido(row.precoUnitario);
        line.setTaxaIva(row.taxaIva);
        line.setDesconto(row.desconto);
        line.setTaxaDesconto(row.taxaDesconto);
        line.setDataMvStock(row.data);
        line.setUnidade(row.unidade);
        line.setFactor(row.factor);
        line.setOrano(row.orano);
        line.setOrdoc(row.ordoc);
        line.setOrserie(row.orserie);
        line.setOrnum(row.ornum);
        line.setLinhaOriginal(row.orlin);
        line.setLinhaRelacionada(row.linhaRel);
        line.setOrdenacao(row.ordenacao);
        doc.AdicionaLinha(line);
    }
}

void EnergySurcharge::addSurchargeLine(const HostDocument& doc, double price) const {
    DocumentLine line = api().NewDocumentLine();
    line.setTipoDeLinha(std::int16_t{1});
    line.setArtigo(settings_.artigo);
    doc.SugereValoresLin(line);
    line.setQuantidade(std::int16_t{1});
    line.setQuantidadeOrigem(std::int16_t{1});
    line.setPrecoUnitario(price);
    line.setPrecoUnitarioIntroduzido(line.PrecoUnitario());
    doc.AdicionaLinha(line);
}

Text EnergySurcharge::restoreStored(const HostDocument& backup,
                                    const std::vector<StoredLine>& lines) const {
    Text key;
    try {
        DocumentHeader cab = backup.Cab();
        key = documentKey(cab.TipoDocumento().toText(), cab.serie().toText(),
                          cab.NossoNoDocumento().toLong(), cab.ano().toInteger());
        clearLines(backup);
        addStoredLines(backup, lines);
        backup.CalculaTotaisCabecalho();
        backup.setOrigem(kOrigemApi);
        if (backup.Inserir().toLong() != 0) {
            return T("ATENÇÃO: o documento original ") + key +
                   T(" foi removido e não foi possível repô-lo: ") + backup.AllLogFileMessages();
        }
        // Finalising is left to the user: whether the removed document was final is not
        // known here, and a final document cannot be opened again.
        return T("O documento original foi reposto como ") +
               documentKey(cab.TipoDocumento().toText(), cab.serie().toText(),
                           cab.NossoNoDocumento().toLong(), cab.ano().toInteger()) +
               u".";
    } catch (...) {
        return T("ATENÇÃO: o documento original ") + key +
               T(" foi removido e não foi possível repô-lo: ") + currentError().description();
    }
}

Result EnergySurcharge::pAdicionaTaxaEnergetica(const Text& tipo, const Text& serie,
                                                std::int32_t numero, std::int16_t ano) {
    Result result;
    HostDocument backup;
    std::vector<StoredLine> lines;
    bool removed = false;
    bool inserted = false;
    try {
        settings_.taxa = normaliseRate(settings_.taxa);
        double rate = rateOf(settings_.taxa);

        lines = readStoredLines(tipo, numero, serie, ano);

        HostDocument stored = api().NewSalesDocument();
        stored.Ler(tipo, numero, serie, ano);
        DocumentHeader storedCab = stored.Cab();
        if (equals(storedCab.NossoNoDocumento(), Variant(std::int16_t{0}))) {
            return failure(T("Documento ") + documentKey(tipo, serie, numero, ano) +
                           T(" não existe."));
        }
        stored.setOrigem(kOrigemApi);

        Text artigo = automation::ucase(settings_.artigo);
        std::int32_t count = stored.Linhas().Count();
        for (std::int32_t i = 1; i <= count; ++i) {
            DocumentLine line = stored.Linhas(automation::roundToInteger(i));
            if (artigo == automation::ucase(line.Artigo().toText())) {
                return failure(T("Documento já inclui linha de Taxa Energética.") + kCrLf +
                               T("Documento não foi alterado!"));
            }
        }

        double bases = storedCab.Base(1).toDouble();
        bases += storedCab.Base(2).toDouble();
        bases += storedCab.Base(3).toDouble();
        bases += storedCab.Base(4).toDouble();
        double price = rate * bases;
        if (!std::isfinite(price)) throw RuntimeError(automation::errc::Overflow);

        HostDocument novo = api().NewSalesDocument();
        storedCab.Clona(novo.Cab());
        clearLines(novo);
        novo.CalculaTotaisCabecalho();
        novo.Cab().setNossoNoDocumento(std::int16_t{0});
        novo.Cab().setNumeroOriginal(std::int16_t{0});
        addStoredLines(novo, lines);
        addSurchargeLine(novo, price);
        novo.setOrigem(kOrigemApi);

        // Nothing is removed until the rebuilt document is known to be valid.
        if (novo.Validar(std::int16_t{0}).toLong() != 0) {
            return failure(novo.AllLogFileMessages() + kCrLf + T("Documento não foi alterado!"));
        }

        // A copy of the stored header, to put the document back if the insert fails.
        backup = api().NewSalesDocument();
        storedCab.Clona(backup.Cab());

        stored.Remover();
        removed = true;
        stored.reset();

        if (novo.Inserir().toLong() != 0) {
            Text messages = novo.AllLogFileMessages();
            return failure(messages + kCrLf + restoreStored(backup, lines));
        }
        inserted = true;

        DocumentHeader novoCab = novo.Cab();
        Text novoTipo = novoCab.TipoDocumento().toText();
        std::int32_t novoNumero = novoCab.NossoNoDocumento().toLong();
        Text novoSerie = novoCab.serie().toText();
        std::int16_t novoAno = novoCab.ano().toInteger();
        novo.reset();

        HostDocument finalised = api().NewSalesDocument();
        if (finalised.Finalizar(novoAno, novoTipo, novoSerie, novoNumero).toLong() != 0) {
            return failure(finalised.AllLogFileMessages());
        }
        DocumentHeader done = finalised.Cab();
        result.setMensagem(T("Foi alterado e finalizado o documento ") +
                           documentKey(done.TipoDocumento().toText(), done.serie().toText(),
                                       done.NossoNoDocumento().toLong(), done.ano().toInteger()));
        return result;
    } catch (...) {
        RuntimeError e = currentError();
        Text message = e.description();
        if (removed && !inserted) message += kCrLf + restoreStored(backup, lines);
        return failure(message, e.number());
    }
}

}  // namespace vantrel::documents
