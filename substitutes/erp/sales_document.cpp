#include "erp/sales_document.h"

#include "erp/document_rules.h"
#include "erp/document_store.h"
#include "erp/schema.h"

namespace vantrel::substitutes::erp {

using automation::argumentAt;
using automation::isMember;
using automation::isPut;
using automation::RuntimeError;

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

Variant SalesDocument::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    DocumentState& s = *state_;
    if (isMember(member, u"Cab") && !isPut(kind))
        return Variant(ObjectRef(std::make_shared<DocumentHeader>(state_)));
    if (isMember(member, u"Linhas") && !isPut(kind)) {
        if (!args.empty()) return Variant(lineAt(state_, args[0].value));
        return Variant(ObjectRef(std::make_shared<DocumentLines>(state_)));
    }
    if (isMember(member, u"Origem")) {
        if (isPut(kind)) {
            s.header.origin = argumentAt(args, args.size() - 1).toInteger();
            return Variant();
        }
        return Variant(s.header.origin);
    }
    if (isPut(kind)) automation::unknownMember(member);
    if (isMember(member, u"AllLogFileMessages")) return Variant(s.log);
    if (isMember(member, u"Ler")) {
        DocumentId id{argumentAt(args, 0).toText(), argumentAt(args, 2).toText(),
                      argumentAt(args, 1).toLong(), argumentAt(args, 3).toInteger()};
        s.log.clear();
        return Variant(loadDocument(s.session->database(), id, s));
    }
    if (isMember(member, u"CalculaTotaisCabecalho")) {
        computeTotals(s.header, s.lines(), vatRates(s.session->database()));
        return Variant();
    }
    if (isMember(member, u"SugereValoresLin")) {
        ObjectRef line = argumentAt(args, 0).toObject();
        if (line.isNothing()) throw RuntimeError(automation::errc::ObjectVariableNotSet);
        std::array<bool, kSuggestFlagCount> flags{};
        for (std::size_t i = 0; i < flags.size(); ++i)
            flags[i] = i + 1 < args.size() ? args[i + 1].value.toBool() : true;
        double date = s.header.date != 0 ? s.header.date : s.session->today();
        return Variant(suggestLineValues(s.session->database(), line, flags, date));
    }
    // Clona copies lines through _CopiarLinha: a failure injected for AdicionaLinha is meant
    // for the add-in's own calls.
    if (isMember(member, u"_CopiarLinha")) {
        s.lines().push_back(copyLine(argumentAt(args, 0).toObject()));
        return Variant(true);
    }
    if (isMember(member, u"AdicionaLinha")) {
        ObjectRef line = argumentAt(args, 0).toObject();
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
                return Variant(false);
            }
        }
        s.lines().push_back(copyLine(line));
        return Variant(true);
    }
    if (isMember(member, u"Validar")) return Variant(validar());
    if (isMember(member, u"Inserir")) return Variant(inserir());
    if (isMember(member, u"Remover")) return Variant(remover());
    if (isMember(member, u"Finalizar")) return Variant(finalizar(args));
    automation::unknownMember(member);
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

std::int32_t SalesDocument::finalizar(std::span<Argument> args) {
    DocumentState& s = *state_;
    DocumentId id{argumentAt(args, 1).toText(), argumentAt(args, 2).toText(),
                  argumentAt(args, 3).toLong(), argumentAt(args, 0).toInteger()};
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

Variant DocumentHeader::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    HeaderData& h = state_->header;
    const bool put = isPut(kind);
    auto value = [&]() -> const Variant& { return argumentAt(args, args.size() - 1); };
    if (isMember(member, u"TipoDocumento")) {
        if (put) return h.type = value().toText(), Variant();
        return Variant(h.type);
    }
    if (isMember(member, u"serie")) {
        if (put) return h.series = value().toText(), Variant();
        return Variant(h.series);
    }
    if (isMember(member, u"serieOriginal")) {
        if (put) return h.originalSeries = value().toText(), Variant();
        return Variant(h.originalSeries.empty() ? h.series : h.originalSeries);
    }
    if (isMember(member, u"NossoNoDocumento")) {
        if (put) return h.number = value().toLong(), Variant();
        return Variant(h.number);
    }
    if (isMember(member, u"NumeroOriginal")) {
        if (put) return h.originalNumber = value().toLong(), Variant();
        return Variant(h.originalNumber);
    }
    if (isMember(member, u"ano")) {
        if (put) return h.year = value().toInteger(), Variant();
        return Variant(h.year);
    }
    if (isMember(member, u"Data")) {
        if (put)
            return h.date = value().isNull() || value().isEmpty() ? 0.0 : value().toDate(),
                   Variant();
        return Variant::date(h.date);
    }
    if (isMember(member, u"Entidade")) {
        if (put) return h.customer = value().toText(), Variant();
        return Variant(h.customer);
    }
    if (isMember(member, u"Nome")) {
        if (put) return h.name = value().toText(), Variant();
        return Variant(h.name);
    }
    if (put) automation::unknownMember(member);
    static constexpr const char16_t* kBases[] = {u"Base1", u"Base2", u"Base3", u"Base4"};
    for (std::size_t k = 0; k < 4; ++k) {
        if (isMember(member, kBases[k])) return Variant(h.bases[k]);
    }
    if (isMember(member, u"TotalIva")) return Variant(h.vat);
    if (isMember(member, u"TotalDocumento")) return Variant(h.total);
    if (isMember(member, u"Finalizado")) return Variant(h.finalised);
    if (isMember(member, u"Documento"))
        return Variant(ObjectRef(std::make_shared<SalesDocument>(state_)));
    if (isMember(member, u"Clona")) {
        ObjectRef target = argumentAt(args, 0).toObject();
        if (target.isNothing()) throw RuntimeError(automation::errc::ObjectVariableNotSet);
        clona(target);
        return Variant();
    }
    automation::unknownMember(member);
}

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

Variant DocumentLines::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    auto& lines = state_->lines();
    if (isPut(kind)) automation::unknownMember(member);
    if (isMember(member, u"Count")) return Variant(static_cast<std::int32_t>(lines.size()));
    if (isMember(member, u"Item") || member.empty())
        return Variant(lineAt(state_, argumentAt(args, 0)));
    if (isMember(member, u"Remove")) {
        lines.erase(lines.begin() +
                    static_cast<std::ptrdiff_t>(position(lines, argumentAt(args, 0))));
        return Variant();
    }
    automation::unknownMember(member);
}

}  // namespace vantrel::substitutes::erp
