#include "erp/document_rules.h"

#include <cmath>
#include <string>

namespace vantrel::substitutes::erp {

using automation::fromUtf8;
using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

bool sameRate(double a, double b) {
    return std::fabs(a - b) < 1e-9;
}

// Numbers in messages: "23", "13,5" (the ERP's messages follow the user's locale).
Text shown(double value) {
    return automation::formatNumber(value);
}

Text lineLabel(std::size_t position) {
    return u"Linha " + fromUtf8(std::to_string(position)) + u": ";
}

}  // namespace

Text documentKey(TextView type, TextView series, std::int32_t number, std::int32_t year) {
    return Text(type) + u"-" + Text(series) + u"-" + fromUtf8(std::to_string(number)) + u"-" +
           fromUtf8(std::to_string(year));
}

std::array<double, 4> vatRates(Database& db) {
    std::array<double, 4> rates{};
    std::array<bool, 4> seen{};
    auto q = db.cached("SELECT BASE, TAXA FROM TAXASIVA");
    while (q.step()) {
        std::int64_t base = q.integer(0);
        if (base >= 1 && base <= 4) {
            rates[static_cast<std::size_t>(base - 1)] = q.real(1);
            seen[static_cast<std::size_t>(base - 1)] = true;
        }
    }
    // A slot without a rate must never match a line: NaN equals nothing.
    for (std::size_t i = 0; i < 4; ++i) {
        if (!seen[i]) rates[i] = std::nan("");
    }
    return rates;
}

std::optional<ArticleRow> findArticle(Database& db, TextView code) {
    auto q = db.cached(
        "SELECT ARTIGO, DESCRICAO, UNIDADE, ARMAZEM, IVA, PRECO FROM ARTIGOS WHERE ARTIGO = ?1");
    q.bind(1, code);
    if (!q.step()) return std::nullopt;
    return ArticleRow{q.text(0), q.text(1), q.text(2), q.text(3), q.real(4), q.real(5)};
}

void computeTotals(HeaderData& header, const Lines& lines, const std::array<double, 4>& rates) {
    std::array<double, 4> bases{};
    for (const auto& line : lines) {
        const LineData& d = line->data();
        if (d.cancelled() || d.lineType() != kArticleLine) continue;
        double rate = d.number(LineField::TaxaIva);
        for (std::size_t k = 0; k < 4; ++k) {
            if (sameRate(rate, rates[k])) {
                bases[k] += d.netValue();
                break;
            }
        }
    }
    double vat = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        bases[k] = roundCents(bases[k]);
        if (!std::isnan(rates[k])) vat += bases[k] * rates[k] / 100;
    }
    header.bases = bases;
    header.vat = roundCents(vat);
    header.total = roundCents(bases[0] + bases[1] + bases[2] + bases[3] + header.vat);
}

std::vector<Text> validateDocument(Database& db, const DocumentState& doc) {
    std::vector<Text> messages;
    const HeaderData& h = doc.header;
    if (h.type.empty()) {
        messages.push_back(u"O tipo de documento não está preenchido.");
    } else {
        auto q = db.cached("SELECT 1 FROM TIPOSDOC WHERE TPDOCUM = ?1");
        q.bind(1, h.type);
        if (!q.step()) messages.push_back(u"O tipo de documento " + h.type + u" não existe.");
    }
    if (automation::trim(h.series).empty())
        messages.push_back(u"A série do documento não está preenchida.");
    if (h.year < 1900 || h.year > 9999) {
        messages.push_back(u"O ano " + fromUtf8(std::to_string(h.year)) +
                           u" do documento não é válido.");
    }
    if (h.number < 0) messages.push_back(u"O número do documento não pode ser negativo.");

    auto rates = vatRates(db);
    std::size_t live = 0;
    for (std::size_t i = 0; i < doc.lines().size(); ++i) {
        const LineData& d = doc.lines()[i]->data();
        if (d.cancelled()) continue;
        ++live;
        Text label = lineLabel(i + 1);
        std::int32_t type = d.lineType();
        if (type == kCommentLine) continue;
        if (type != kArticleLine) {
            messages.push_back(label + u"o tipo de linha " + fromUtf8(std::to_string(type)) +
                               u" não existe.");
            continue;
        }
        Text article = d.text(LineField::Artigo);
        if (article.empty()) {
            messages.push_back(label + u"o artigo não está preenchido.");
        } else if (!findArticle(db, article)) {
            messages.push_back(label + u"o artigo " + article + u" não existe.");
        }
        double quantity = d.number(LineField::Quantidade);
        double price = d.number(LineField::PrecoUnitario);
        if (!std::isfinite(quantity)) {
            messages.push_back(label + u"a quantidade não é um número válido.");
        } else if (quantity == 0) {
            messages.push_back(label + u"a quantidade não pode ser zero.");
        }
        if (!std::isfinite(price) || std::fabs(price) > 1e12) {
            messages.push_back(label + u"o preço unitário não é um número válido.");
        } else if (price < 0) {
            messages.push_back(label + u"o preço unitário não pode ser negativo.");
        }
        double rate = d.number(LineField::TaxaIva);
        bool known = false;
        for (double r : rates) known = known || sameRate(rate, r);
        if (!known)
            messages.push_back(label + u"a taxa de IVA de " + shown(rate) +
                               u"% não está configurada.");
        for (LineField f : {LineField::Desconto, LineField::TaxaDesconto}) {
            double discount = d.number(f);
            if (!(discount >= 0 && discount <= 100)) {
                messages.push_back(label + u"o desconto de " + shown(discount) +
                                   u"% tem de estar entre 0 e 100.");
            }
        }
    }
    if (live == 0) messages.push_back(u"O documento não tem linhas.");
    return messages;
}

bool suggestLineValues(Database& db, const ObjectRef& line,
                       const std::array<bool, kSuggestFlagCount>& flags, double documentDate) {
    // A line of ours is reached directly; any other through its members.
    auto* ours = dynamic_cast<LineObject*>(line.get());
    auto get = [&](LineField f) { return ours ? ours->data()[f] : line.get(lineFieldName(f)); };
    auto put = [&](LineField f, const Variant& v) {
        if (ours)
            ours->edit().set(f, v);
        else
            line.put(lineFieldName(f), v);
    };
    Text code = get(LineField::Artigo).toText();
    if (code.empty()) return false;
    auto article = findArticle(db, code);
    if (!article) return false;
    if (flags[SuggestDescription]) put(LineField::Descricao, article->description);
    if (flags[SuggestUnit]) put(LineField::Unidade, article->unit);
    if (flags[SuggestVatRate]) put(LineField::TaxaIva, article->vatRate);
    if (flags[SuggestPrice]) {
        put(LineField::PrecoUnitario, article->price);
        put(LineField::PrecoUnitarioIntroduzido, article->price);
    }
    if (flags[SuggestWarehouse] && get(LineField::Armazem).toText().empty())
        put(LineField::Armazem, article->warehouse);
    if (flags[SuggestDate]) put(LineField::DataMvStock, Variant::date(documentDate));
    if (flags[SuggestFactor]) put(LineField::Factor, 1.0);
    return true;
}

}  // namespace vantrel::substitutes::erp
