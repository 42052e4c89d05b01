#include "erp/sales_document.h"

#include "erp/document_rules.h"
#include "erp/document_store.h"
#include "erp/schema.h"

namespace vantrel::substitutes::erp {

using automation::Access;
using automation::Call;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

std::size_t position(const Lines& lines, const Variant& index) {
    std::int32_t i = index.toLong();
    if (i < 1 || static_cast<std::size_t>(i) > lines.size())
        throw RuntimeError(automation::errc::SubscriptOutOfRange);
    return static_cast<std::size_t>(i - 1);
}

ObjectRef lineAt(const std::shared_ptr<DocumentState>& s, const Variant& index) {
    return ObjectRef(s->lines()[position(s->lines(), index)]);
}

DocumentId idOf(const HeaderData& h) {
    return DocumentId{h.type, h.series, h.number, h.year};
}

// Runs a status operation: the reasons of a failure go to the log, and a database error is
// a failure like any other, not an exception for the caller.
template <class F>
std::int32_t status(DocumentState& s, TextView operationName, F&& body) {
    s.log.clear();
    try {
        Database& db = s.session->database();
        if (auto injected = takeInjectedFailure(db, operationName)) {
            s.addMessage(*injected);
            return 1;
        }
        return body(db);
    } catch (const RuntimeError& e) {
        if (e.number() != kCommandError) throw;
        s.addMessage(Text(operationName) + u": " + e.description());
        return 1;
    }
}

}  // namespace

const automation::Members<SalesDocument>& SalesDocument::members() {
    using M = automation::Members<SalesDocument>;
    static const M table{
        {u"Cab", Access::Read, 0, 0,
         [](SalesDocument& d, Call&) {
             return Variant(ObjectRef(std::make_shared<DocumentHeader>(d.state_)));
         }},
        {u"Linhas", Access::Read, 0, 1,
         [](SalesDocument& d, Call& c) {
             if (c.has(0)) return Variant(lineAt(d.state_, c.arg(0)));
             return Variant(ObjectRef(std::make_shared<DocumentLines>(d.state_)));
         }},
        {u"Origem", Access::ReadWrite, 0, 0,
         [](SalesDocument& d, Call& c) {
             if (!c.isPut()) return Variant(d.state_->header.origin);
             d.state_->header.origin = c.value().toInteger();
             return Variant();
         }},
        {u"AllLogFileMessages", Access::Read, 0, 0,
         [](SalesDocument& d, Call&) { return Variant(d.state_->log); }},
        {u"Ler", Access::Read, 4, 4,
         [](SalesDocument& d, Call& c) {
             DocumentState& s = *d.state_;
             DocumentId id{c.arg(0).toText(), c.arg(2).toText(), c.arg(1).toLong(),
                           c.arg(3).toInteger()};
             s.log.clear();
             return Variant(loadDocument(s.session->database(), id, s));
         }},
        {u"CalculaTotaisCabecalho", Access::Read, 0, 0,
         [](SalesDocument& d, Call&) {
             DocumentState& s = *d.state_;
             computeTotals(s.header, s.lines(), vatRates(s.session->database()));
             return Variant();
         }},
        // SugereValoresLin(line, flags...): a flag left out counts as True.
        {u"SugereValoresLin", Access::Read, 1, 1 + kSuggestFlagCount,
         [](SalesDocument& d, Call& c) {
             DocumentState& s = *d.state_;
             ObjectRef line = c.arg(0).toObject();
             if (line.isNothing()) throw RuntimeError(automation::errc::ObjectVariableNotSet);
             std::array<bool, kSuggestFlagCount> flags{};
             for (std::size_t i = 0; i < flags.size(); ++i)
                 flags[i] = c.has(i + 1) ? c.arg(i + 1).toBool() : true;
             double date = s.header.date != 0 ? s.header.date : s.session->today();
             return Variant(suggestLineValues(s.session->database(), line, flags, date));
         }},
        // Clona copies lines through _CopiarLinha: a failure injected for AdicionaLinha is
        // meant for the add-in's own calls.
        {u"_CopiarLinha", Access::Read, 1, 1,
         [](SalesDocument& d, Call& c) {
             d.state_->lines().push_back(copyLine(c.arg(0).toObject()));
             return Variant(true);
         }},
        {u"AdicionaLinha", Access::Read, 1, 1,
         [](SalesDocument& d, Call& c) { return Variant(d.adicionaLinha(c.arg(0).toObject())); }},
        // Validar(mode): the mode changes nothing here.
        {u"Validar", Access::Read, 0, 1,
         [](SalesDocument& d, Call&) { return Variant(d.validar()); }},
        {u"Inserir", Access::Read, 0, 0,
         [](SalesDocument& d, Call&) { return Variant(d.inserir()); }},
        {u"Remover", Access::Read, 0, 0,
         [](SalesDocument& d, Call&) { return Variant(d.remover()); }},
        {u"Finalizar", Access::Read, 4, 4,
         [](SalesDocument& d, Call& c) { return Variant(d.finalizar(c)); }},
    };
    return table;
}

bool SalesDocument::adicionaLinha(const ObjectRef& line) {
    DocumentState& s = *state_;
    // A refused line is not added; the answer says so, and the log says why. A document
    // looks for a waiting failure at its first line, and again only after it found one:
    // a look per line would cost a lock of the database file for every line.
    if (!s.refusalsChecked || s.lastLineRefused) {
        s.refusalsChecked = true;
        auto injected = takeInjectedFailure(s.session->database(), u"AdicionaLinha");
        s.lastLineRefused = injected.has_value();
        if (injected) {
            s.log.clear();
            s.addMessage(*injected);
            return false;
        }
    }
    s.lines().push_back(copyLine(line));
    return true;
}

std::int32_t SalesDocument::validar() {
    DocumentState& s = *state_;
    return status(s, u"Validar", [&](Database& db) {
        Transaction reading(db);  // one lock for every look-up
        auto messages = validateDocument(db, s);
        for (const auto& m : messages) s.addMessage(m);
        return messages.empty() ? 0 : 1;
    });
}

std::int32_t SalesDocument::inserir() {
    DocumentState& s = *state_;
    return status(s, u"Inserir", [&](Database& db) {
        // Validation and writing see the same data: nobody changes the articles in between.
        Transaction writing(db, true);
        auto messages = validateDocument(db, s);
        for (const auto& m : messages) s.addMessage(m);
        if (!messages.empty()) return 1;
        HeaderData before = s.header;  // what the object said before a write that may not last
        try {
            if (!storeDocument(db, s, s.session->today())) return 1;
            writing.commit();
        } catch (...) {
            s.header = before;
            throw;
        }
        return 0;
    });
}

std::int32_t SalesDocument::remover() {
    DocumentState& s = *state_;
    return status(s, u"Remover", [&](Database& db) {
        const HeaderData& h = s.header;
        s.lines();  // the object keeps its lines after the stored document is gone
        if (h.number == 0) {
            s.addMessage(u"Não há documento gravado para remover.");
            return 1;
        }
        if (!deleteDocument(db, idOf(h))) {
            s.addMessage(u"O documento " + documentKey(h.type, h.series, h.number, h.year) +
                         u" não existe.");
            return 1;
        }
        return 0;
    });
}

// Finalizar(year, type, series, number).
std::int32_t SalesDocument::finalizar(Call& call) {
    DocumentState& s = *state_;
    DocumentId id{call.arg(1).toText(), call.arg(2).toText(), call.arg(3).toLong(),
                  call.arg(0).toInteger()};
    return status(s, u"Finalizar", [&](Database& db) {
        Text key = documentKey(id.type, id.series, id.number, id.year);
        switch (finaliseDocument(db, id)) {
            case FinaliseOutcome::Missing:
                s.addMessage(u"O documento " + key + u" não existe.");
                return 1;
            case FinaliseOutcome::AlreadyFinalised:
                s.addMessage(u"O documento " + key + u" já está finalizado.");
                return 1;
            case FinaliseOutcome::Done:
                break;
        }
        loadDocument(db, id, s);
        return 0;
    });
}

// A header property kept as it is given.
#define VANTREL_HEADER_PROPERTY(name, field, convert)                        \
    M::Member {                                                              \
        u"" #name, Access::ReadWrite, 0, 0, [](DocumentHeader& d, Call& c) { \
            HeaderData& h = d.state_->header;                                \
            if (!c.isPut()) return Variant(h.field);                         \
            h.field = c.value().convert();                                   \
            return Variant();                                                \
        }                                                                    \
    }
// A value the document computes.
#define VANTREL_HEADER_RESULT(name, expression)                       \
    M::Member {                                                       \
        u"" #name, Access::Read, 0, 0, [](DocumentHeader& d, Call&) { \
            const HeaderData& h = d.state_->header;                   \
            return Variant(expression);                               \
        }                                                             \
    }

const automation::Members<DocumentHeader>& DocumentHeader::members() {
    using M = automation::Members<DocumentHeader>;
    static const M table{
        VANTREL_HEADER_PROPERTY(TipoDocumento, type, toText),
        VANTREL_HEADER_PROPERTY(serie, series, toText),
        {u"serieOriginal", Access::ReadWrite, 0, 0,
         [](DocumentHeader& d, Call& c) {
             HeaderData& h = d.state_->header;
             if (!c.isPut()) return Variant(h.originalSeries.empty() ? h.series : h.originalSeries);
             h.originalSeries = c.value().toText();
             return Variant();
         }},
        VANTREL_HEADER_PROPERTY(NossoNoDocumento, number, toLong),
        VANTREL_HEADER_PROPERTY(NumeroOriginal, originalNumber, toLong),
        VANTREL_HEADER_PROPERTY(ano, year, toInteger),
        {u"Data", Access::ReadWrite, 0, 0,
         [](DocumentHeader& d, Call& c) {
             HeaderData& h = d.state_->header;
             if (!c.isPut()) return Variant::date(h.date);
             const Variant& v = c.value();
             h.date = v.isNull() || v.isEmpty() ? 0.0 : v.toDate();
             return Variant();
         }},
        VANTREL_HEADER_PROPERTY(Entidade, customer, toText),
        VANTREL_HEADER_PROPERTY(Nome, name, toText),
        VANTREL_HEADER_RESULT(Base1, h.bases[0]),
        VANTREL_HEADER_RESULT(Base2, h.bases[1]),
        VANTREL_HEADER_RESULT(Base3, h.bases[2]),
        VANTREL_HEADER_RESULT(Base4, h.bases[3]),
        VANTREL_HEADER_RESULT(TotalIva, h.vat),
        VANTREL_HEADER_RESULT(TotalDocumento, h.total),
        VANTREL_HEADER_RESULT(Finalizado, h.finalised),
        {u"Documento", Access::Read, 0, 0,
         [](DocumentHeader& d, Call&) {
             return Variant(ObjectRef(std::make_shared<SalesDocument>(d.state_)));
         }},
        {u"Clona", Access::Read, 1, 1,
         [](DocumentHeader& d, Call& c) {
             ObjectRef target = c.arg(0).toObject();
             if (target.isNothing()) throw RuntimeError(automation::errc::ObjectVariableNotSet);
             d.clona(target);
             return Variant();
         }},
    };
    return table;
}

#undef VANTREL_HEADER_RESULT
#undef VANTREL_HEADER_PROPERTY

// Member by member, so that a header reaching us through another bridge works the same.
void DocumentHeader::clona(const ObjectRef& target) {
    HeaderData h = state_->header;
    std::vector<std::shared_ptr<LineObject>> lines;
    for (const auto& line : state_->lines()) lines.push_back(line->copy());

    target.put(u"TipoDocumento", h.type);
    target.put(u"serie", h.series);
    target.put(u"serieOriginal", h.originalSeries.empty() ? h.series : h.originalSeries);
    target.put(u"NossoNoDocumento", h.number);
    target.put(u"NumeroOriginal", h.originalNumber);
    target.put(u"ano", h.year);
    target.put(u"Data", Variant::date(h.date));
    target.put(u"Entidade", h.customer);
    target.put(u"Nome", h.name);
    ObjectRef document = target.object(u"Documento");
    ObjectRef targetLines = document.object(u"Linhas");
    while (targetLines.get(u"Count").toLong() > 0) targetLines.call(u"Remove", std::int32_t{1});
    for (const auto& line : lines) document.call(u"_CopiarLinha", Variant(ObjectRef(line)));
    document.call(u"CalculaTotaisCabecalho");
}

const automation::Members<DocumentLines>& DocumentLines::members() {
    using M = automation::Members<DocumentLines>;
    static const M table{
        {
            {u"Count", Access::Read, 0, 0,
             [](DocumentLines& l, Call&) {
                 return Variant(static_cast<std::int32_t>(l.state_->lines().size()));
             }},
            {u"Item", Access::Read, 1, 1,
             [](DocumentLines& l, Call& c) { return Variant(lineAt(l.state_, c.arg(0))); }},
            {u"Remove", Access::Read, 1, 1,
             [](DocumentLines& l, Call& c) {
                 auto& lines = l.state_->lines();
                 lines.erase(lines.begin() +
                             static_cast<std::ptrdiff_t>(position(lines, c.arg(0))));
                 return Variant();
             }},
        },
        u"Item"};
    return table;
}

}  // namespace vantrel::substitutes::erp
