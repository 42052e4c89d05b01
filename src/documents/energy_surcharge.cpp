#include "documents/energy_surcharge.h"

#include <cmath>
#include <string>

#include "automation/datetime.h"
#include "automation/runtime_error.h"

namespace vantrel::documents {

using automation::currentError;
using automation::equals;
using automation::fromUtf8;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::T;
using automation::Text;
using automation::Variant;
using interfaces::DocumentHeader;
using interfaces::DocumentLine;
using interfaces::HostDocument;
namespace msgbox = interfaces::msgbox;

namespace {

const Text kCrLf = u"\r\n";

// Origin code the ERP expects on documents rebuilt through its API.
constexpr std::int16_t kOrigemApi = 3;

Text unchanged() {
    return T("Documento não foi alterado!");
}

Result failure(Text message, std::int32_t number = 0) {
    Result r;
    r.setTipo(EnumResult::Erro);
    r.setMensagem(std::move(message));
    r.setErroNum(number);
    return r;
}

// Clears the lines a header copy may bring along.
void clearLines(const HostDocument& doc) {
    interfaces::LineCollection linhas = doc.Linhas();
    while (linhas.Count() > 0) linhas.Remove(std::int16_t{1});
}

// An ERP whose AdicionaLinha is a function answers False for a line it refuses; one whose
// AdicionaLinha answers nothing is checked by the line count afterwards.
bool refused(const Variant& answer) {
    return answer.type() == automation::VarType::Boolean && !answer.toBool();
}

DocumentKey keyOf(const DocumentHeader& cab) {
    return {cab.TipoDocumento().toText(), cab.serie().toText(), cab.NossoNoDocumento().toLong(),
            cab.ano().toInteger()};
}

// A document key inside a file name: characters that Windows refuses become "_".
Text fileNamePart(const Text& key) {
    Text out = key;
    for (char16_t& c : out) {
        if (c < 0x20 || Text(u"\\/:*?\"<>|").find(c) != Text::npos) c = u'_';
    }
    return out;
}

}  // namespace

// Armed once the stored document is known to be removed; puts it back unless the new one
// was inserted. restore() gives the user's sentence; the destructor restores silently if a
// path forgot to (a document put back without a word beats a lost one).
class RestoreGuard {
public:
    RestoreGuard(const EnergySurcharge& owner, const StoredDocument& stored, HostDocument backup,
                 Text recoveryPath)
        : owner_(owner),
          stored_(stored),
          backup_(std::move(backup)),
          recoveryPath_(std::move(recoveryPath)) {}
    RestoreGuard(const RestoreGuard&) = delete;
    RestoreGuard& operator=(const RestoreGuard&) = delete;
    ~RestoreGuard() {
        if (armed_) (void)restore();
    }
    void disarm() { armed_ = false; }
    Text restore() noexcept;

private:
    Text lost(const Text& why) const;

    const EnergySurcharge& owner_;
    const StoredDocument& stored_;
    HostDocument backup_;
    Text recoveryPath_;
    bool armed_ = true;
};

Text RestoreGuard::lost(const Text& why) const {
    Text t = T("ATENÇÃO: o documento original ") + stored_.key.text() +
             T(" foi removido e não foi possível repô-lo: ") + why;
    if (!recoveryPath_.empty())
        t += kCrLf + T("Os dados do documento estão guardados em ") + recoveryPath_ + u".";
    return t;
}

Text RestoreGuard::restore() noexcept {
    armed_ = false;
    try {
        try {
            clearLines(backup_);
            if (auto r = owner_.addStoredLines(backup_, stored_.rows))
                return lost(T("o ERP recusou a linha ") + fromUtf8(std::to_string(r->row)) + u": " +
                            r->messages);
            backup_.CalculaTotaisCabecalho();
            // The origin is kept when the ERP let us read it.
            backup_.setOrigem(stored_.origem ? *stored_.origem : Variant(kOrigemApi));
            if (backup_.Inserir().toLong() != 0) return lost(backup_.AllLogFileMessages());
        } catch (...) {
            return lost(currentError().description());
        }
        DocumentKey back = keyOf(backup_.Cab());
        Text t = T("O documento original foi reposto como ") + back.text();
        if (back.numero != stored_.key.numero)
            t += T(" (o original era ") + stored_.key.text() + u")";
        t += u".";
        if (!stored_.origem) t += T(" Ficou com a origem 3.");
        if (!stored_.finalizado) {
            t += T(" Não foi finalizado: o ERP não disse se o original estava.");
        } else if (*stored_.finalizado) {
            HostDocument finaliser = owner_.api().NewSalesDocument();
            if (finaliser.Finalizar(back.ano, back.tipo, back.serie, back.numero).toLong() != 0)
                t += T(" Não foi possível finalizá-lo de novo: ") + finaliser.AllLogFileMessages();
        }
        owner_.removeRecoveryCopy(recoveryPath_);
        return t;
    } catch (...) {
        try {
            return T("O documento original foi reposto, mas a confirmação falhou: ") +
                   currentError().description();
        } catch (...) {
            return Text();
        }
    }
}

Text EnergySurcharge::normaliseRate(const Text& taxa) {
    return automation::trim(automation::replaceAll(taxa, u",", u"."));
}

std::optional<double> EnergySurcharge::rateOf(const Text& taxa) {
    std::size_t i = 0;
    while (i < taxa.size() && (taxa[i] == u' ' || taxa[i] == u'\t')) ++i;
    if (i < taxa.size() && (taxa[i] == u'+' || taxa[i] == u'-')) ++i;
    if (i < taxa.size() && taxa[i] == u'.') ++i;
    if (i >= taxa.size() || taxa[i] < u'0' || taxa[i] > u'9') return std::nullopt;
    double rate = automation::val(taxa);
    if (rate != 0) rate /= 100;
    return rate;
}

bool EnergySurcharge::seriesTakesSurcharge(const Variant& serie) {
    return !serie.isNull() && equals(serie, Variant(std::int16_t{0}));
}

bool EnergySurcharge::listHolds(const Text& documentos, const Text& tipo, const Text& serie) {
    // Built by appending: GCC 12 misreads the equivalent chain of operator+ (-Wrestrict).
    Text key(u";");
    key += tipo;
    key += u',';
    key += automation::trim(serie);
    key += u';';
    Text list(u";");
    list += documentos;
    list += u';';
    return automation::instr(1, list, key) > 0;
}

bool EnergySurcharge::pDocumentoInteressa(const Variant& tipo, const Variant& serie) const {
    try {
        return listHolds(settings_.documentos, tipo.toText(), serie.toText());
    } catch (...) {
        throw currentError().withSource(u"pDocumentoInteressa");
    }
}

void EnergySurcharge::Vendas_OnGravar(const ObjectRef& oApi) {
    if (oApi.isNothing()) return;
    HostDocument saved(oApi);
    DocumentHeader cab = saved.Cab();
    // The add-in only acts on series that read as the number 0; Null compares with nothing.
    if (!seriesTakesSurcharge(cab.serie())) return;
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

std::optional<Result> EnergySurcharge::load(const DocumentKey& key, StoredDocument& stored) const {
    stored.key = key;
    stored.rows = readStoredRows(ctx_.dal.HlpDb_DocGcLin(key.tipo, key.numero, key.serie, key.ano));
    stored.doc = api().NewSalesDocument();
    stored.doc.Ler(key.tipo, key.numero, key.serie, key.ano);
    DocumentHeader cab = stored.doc.Cab();
    if (equals(cab.NossoNoDocumento(), Variant(std::int16_t{0})))
        return failure(T("Documento ") + key.text() + T(" não existe."));
    readStoredHeader(stored);
    stored.doc.setOrigem(kOrigemApi);

    Text artigo = automation::ucase(settings_.artigo);
    std::int32_t count = stored.doc.Linhas().Count();
    for (std::int32_t i = 1; i <= count; ++i) {
        DocumentLine line = stored.doc.Linhas(automation::roundToInteger(i));
        if (artigo == automation::ucase(line.Artigo().toText()))
            return failure(T("Documento já inclui linha de Taxa Energética.") + kCrLf +
                           unchanged());
    }
    return std::nullopt;
}

std::optional<EnergySurcharge::Refusal> EnergySurcharge::addStoredLines(
    const HostDocument& doc, const std::vector<StoredRow>& rows) const {
    using C = LineColumn;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const StoredRow& row = rows[i];
        if (row.cancelled()) continue;
        DocumentLine line = api().NewDocumentLine();
        line.setTipoDeLinha(row[C::TPLINHA]);
        line.setArtigo(row[C::ARTIGO]);
        line.setArmazem(row[C::ARMAZEM]);
        doc.SugereValoresLin(line);
        line.setDescricao(row[C::DESCR]);
        line.setQuantidade(row[C::QUANT]);
        line.setQuantidadeOrigem(row[C::QUANT]);
        line.setPrecoUnitario(row[C::PRUNIT]);
        line.setPrecoUnitarioIntroduzido(row[C::PRUNIT]);
        line.setTaxaIva(row[C::IVA]);
        line.setDesconto(row[C::DESCONTO]);
        line.setTaxaDesconto(row[C::TXDESC]);
        line.setDataMvStock(row[C::DATA]);
        line.setUnidade(row[C::UNIDADE]);
        line.setFactor(row[C::FACTOR]);
        line.setOrano(row[C::ORANO]);
        line.setOrdoc(row[C::ORDOC]);
        line.setOrserie(row[C::ORSERIE]);
        line.setOrnum(row[C::ORNUM]);
        line.setLinhaOriginal(row[C::ORLIN]);
        line.setLinhaRelacionada(row[C::LINHAREL]);
        line.setOrdenacao(row[C::ORDENACA]);
        if (refused(doc.AdicionaLinha(line))) return Refusal{i + 1, doc.AllLogFileMessages()};
    }
    return std::nullopt;
}

std::optional<EnergySurcharge::Refusal> EnergySurcharge::addSurchargeLine(const HostDocument& doc,
                                                                          double price) const {
    DocumentLine line = api().NewDocumentLine();
    line.setTipoDeLinha(std::int16_t{1});
    line.setArtigo(settings_.artigo);
    doc.SugereValoresLin(line);
    line.setQuantidade(std::int16_t{1});
    line.setQuantidadeOrigem(std::int16_t{1});
    line.setPrecoUnitario(price);
    line.setPrecoUnitarioIntroduzido(line.PrecoUnitario());
    if (refused(doc.AdicionaLinha(line))) return Refusal{0, doc.AllLogFileMessages()};
    return std::nullopt;
}

std::optional<Result> EnergySurcharge::build(const StoredDocument& stored, double price,
                                             HostDocument& novo) const {
    novo = api().NewSalesDocument();
    stored.doc.Cab().Clona(novo.Cab());
    clearLines(novo);
    novo.CalculaTotaisCabecalho();
    novo.Cab().setNossoNoDocumento(std::int16_t{0});
    novo.Cab().setNumeroOriginal(std::int16_t{0});
    if (auto r = addStoredLines(novo, stored.rows)) {
        return failure(T("O ERP recusou a linha ") + fromUtf8(std::to_string(r->row)) +
                       T(" do documento: ") + r->messages + kCrLf + unchanged());
    }
    if (auto r = addSurchargeLine(novo, price))
        return failure(T("O ERP recusou a linha de Taxa Energética: ") + r->messages + kCrLf +
                       unchanged());
    // Whatever the ERP's answers said, every line must be there.
    std::size_t expected = stored.liveRows() + 1;
    std::size_t count = static_cast<std::size_t>(novo.Linhas().Count());
    if (count != expected) {
        return failure(T("O ERP aceitou ") + fromUtf8(std::to_string(count)) + T(" de ") +
                       fromUtf8(std::to_string(expected)) + T(" linhas do documento.") + kCrLf +
                       unchanged());
    }
    novo.setOrigem(kOrigemApi);
    return std::nullopt;
}

std::optional<Result> EnergySurcharge::validate(const HostDocument& novo) const {
    if (novo.Validar(std::int16_t{0}).toLong() != 0)
        return failure(novo.AllLogFileMessages() + kCrLf + unchanged());
    return std::nullopt;
}

bool EnergySurcharge::isStored(const DocumentKey& key) const {
    HostDocument probe = api().NewSalesDocument();
    probe.Ler(key.tipo, key.numero, key.serie, key.ano);
    return !equals(probe.Cab().NossoNoDocumento(), Variant(std::int16_t{0}));
}

Text EnergySurcharge::writeRecoveryCopy(const StoredDocument& stored) const {
    double now = ctx_.platform.clock().now();
    Text path = ctx_.recoveryFolder + u"QuorilVantrel_recuperacao_" +
                fileNamePart(stored.key.text()) + u"_" + automation::timestamp(now, true) + u".txt";
    Text text = recoveryCopyText(stored, automation::timestamp(now));
    text.resize(text.size() - 2);  // appendLine ends the last line itself
    try {
        if (ctx_.platform.fileExists(path) || !ctx_.platform.appendLine(path, text)) return Text();
    } catch (...) {
        return Text();
    }
    return path;
}

void EnergySurcharge::removeRecoveryCopy(const Text& path) const {
    if (path.empty()) return;
    try {
        ctx_.platform.deleteFile(path);
    } catch (...) {
        // A copy left behind is harmless; the document is safe.
    }
}

Result EnergySurcharge::commit(StoredDocument& stored, HostDocument& novo) const {
    Text recovery = writeRecoveryCopy(stored);
    if (recovery.empty()) {
        return failure(T("Não foi possível escrever a cópia de recuperação do documento ") +
                       stored.key.text() + T(" em ") + ctx_.recoveryFolder + u"." + kCrLf +
                       unchanged());
    }
    // A copy of the stored header, to put the document back if the insert fails.
    HostDocument backup = api().NewSalesDocument();
    stored.doc.Cab().Clona(backup.Cab());

    // The ERP's word is not enough: a refused removal, or another user's save of the same
    // document in between, must not end in two documents.
    std::int32_t removal = stored.doc.Remover().toLong();
    Text removalMessages = removal != 0 ? stored.doc.AllLogFileMessages() : Text();
    stored.doc.reset();
    if (removal != 0 || isStored(stored.key)) {
        removeRecoveryCopy(recovery);
        Text why = removal != 0 ? T("O ERP não removeu o documento ") + stored.key.text() +
                                      (removalMessages.empty() ? Text() : u": " + removalMessages)
                                : T("O documento ") + stored.key.text() +
                                      T(" continua gravado depois de o ERP o remover.");
        return failure(why + kCrLf + T("Não foi gravado nenhum documento novo."));
    }

    RestoreGuard guard(*this, stored, backup, recovery);
    try {
        if (novo.Inserir().toLong() != 0) {
            Text messages = novo.AllLogFileMessages();
            return failure(messages + kCrLf + guard.restore());
        }
    } catch (...) {
        RuntimeError e = currentError();
        return failure(e.description() + kCrLf + guard.restore(), e.number());
    }
    guard.disarm();
    removeRecoveryCopy(recovery);

    DocumentKey inserted = keyOf(novo.Cab());
    novo.reset();
    HostDocument finalised = api().NewSalesDocument();
    if (finalised.Finalizar(inserted.ano, inserted.tipo, inserted.serie, inserted.numero)
            .toLong() != 0) {
        return failure(finalised.AllLogFileMessages());
    }
    Result result;
    result.setMensagem(T("Foi alterado e finalizado o documento ") + keyOf(finalised.Cab()).text());
    return result;
}

Result EnergySurcharge::pAdicionaTaxaEnergetica(const Text& tipo, const Text& serie,
                                                std::int32_t numero, std::int16_t ano) {
    try {
        settings_.taxa = normaliseRate(settings_.taxa);
        std::optional<double> rate = rateOf(settings_.taxa);
        if (!rate) {
            return failure(T("A taxa configurada (\"Taxa\" em \"Documentos com taxa\") não é um "
                             "número: \"") +
                           settings_.taxa + u"\"." + kCrLf + unchanged());
        }
        StoredDocument stored;
        if (auto refusal = load({tipo, serie, numero, ano}, stored)) return *refusal;
        double price = *rate * stored.bases;
        if (!std::isfinite(price)) throw RuntimeError(automation::errc::Overflow);
        HostDocument novo;
        if (auto refusal = build(stored, price, novo)) return *refusal;
        if (auto refusal = validate(novo)) return *refusal;
        return commit(stored, novo);
    } catch (...) {
        RuntimeError e = currentError();
        return failure(e.description(), e.number());
    }
}

}  // namespace vantrel::documents
