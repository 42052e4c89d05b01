#include "host_session.h"

#include <iostream>
#include <string_view>
#include <utility>

#include "automation/json_text.h"
#include "automation/runtime_error.h"
#include "commands.h"
#include "data_folder.h"

namespace vantrel::app::host {

using automation::fromUtf8;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::toUtf8;
using automation::Variant;
using platform::posix::TerminalDialogs;

HostSession::HostSession(const Options& options, std::ostream& out, bool keyboard)
    : out_(out, options.json),
      platform_(windowsPath(executableFolder())),
      sink_(),
      dialogs_(!options.json ? out
               : keyboard    ? std::cerr
                             : static_cast<std::ostream&>(sink_),
               std::cin, keyboard),
      registry_(substitutes::StandInContext{&profile_, &dialogs_, &platform_}) {
    dialogs_.setObserver([this](const TerminalDialogs::Box& b) { out_.box(b); });
    interfaces::Services services{&registry_, &catalog_, &dialogs_, &profile_, &platform_};
    solucao_ = std::make_unique<solution::Solucao>(services);
}

int HostSession::run(std::istream& in, bool echo, std::ostream* prompt) {
    bool failed = false;
    std::string line;
    while (true) {
        if (prompt) *prompt << "vantrel> " << std::flush;
        if (!std::getline(in, line)) {
            if (prompt) *prompt << '\n';  // end of input typed at the prompt
            break;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const Words words = splitWords(line);
        if (words.empty() || words[0][0] == '#') continue;
        if (echo && words[0] != "echo") out_.command(line);
        if (words[0] == "quit" || words[0] == "exit") break;
        try {
            if (!execute(words)) failed = true;
        } catch (const std::exception& e) {
            // A stand-in or conversion error: the host reports it and goes on.
            std::string message = e.what();
            if (auto* re = dynamic_cast<const RuntimeError*>(&e))
                message = toUtf8(re->description());
            out_.error(words[0], message);
            failed = true;
        }
        // Answers out of step with the boxes would answer the next ones wrongly.
        if (answersRefused()) break;
    }
    if (inside_) {
        if (echo) out_.command("leave");
        leave();
    }
    if (answersRefused() || refused_) return 2;
    return failed ? 1 : 0;
}

bool HostSession::refuse(const std::string& command, const std::string& message) {
    out_.error(command, message);
    refused_ = true;
    return false;
}

bool HostSession::usage(const std::string& command, const std::string& form) {
    return refuse(command, "uso: " + form);
}

bool HostSession::answersRefused() {
    const auto& box = dialogs_.refusal();
    if (!box) return false;
    if (!refusalReported_) {
        std::string buttons;
        for (int b : TerminalDialogs::buttonsOf(box->style))
            buttons += (buttons.empty() ? "" : ", ") + TerminalDialogs::buttonWord(b);
        out_.error("--answer", "a resposta " + TerminalDialogs::buttonWord(box->refused) +
                                   " não é um botão da caixa \"" + toUtf8(box->title) + "\" (" +
                                   buttons + "): a caixa ficou com " +
                                   TerminalDialogs::buttonWord(box->answer) +
                                   " e a sessão termina");
        refusalReported_ = true;
    }
    return true;
}

// --- The commands ---------------------------------------------------------------------------

bool HostSession::execute(const Words& w) {
    using Command = bool (HostSession::*)(const Words&);
    static const std::pair<std::string_view, Command> kCommands[] = {
        {"help", &HostSession::helpCommand},
        {"echo", &HostSession::echoCommand},
        {"enter", &HostSession::enterCommand},
        {"leave", &HostSession::leaveCommand},
        {"validate", &HostSession::validateCommand},
        {"operation", &HostSession::operationCommand},
        {"new-document", &HostSession::newDocumentCommand},
        {"save", &HostSession::documentCommand},
        {"show", &HostSession::documentCommand},
        {"fail", &HostSession::failCommand},
    };
    for (const auto& [name, command] : kCommands) {
        if (w[0] == name) return (this->*command)(w);
    }
    return refuse(w[0], "comando desconhecido (help lista os comandos)");
}

bool HostSession::helpCommand(const Words&) {
    out_.raw("{\"type\":\"help\"}", hostUsage());
    return true;
}

bool HostSession::echoCommand(const Words& w) {
    const std::string text = joinWords(w, 1);
    out_.raw("{\"type\":\"echo\",\"text\":" + automation::jsonQuoted(text) + "}", text + "\n");
    return true;
}

bool HostSession::enterCommand(const Words& w) {
    if (w.size() < 2 || w.size() > 3) return usage(w[0], "enter COMPANY [USER]");
    return enter(w[1], w.size() > 2 ? w[2] : "");
}

bool HostSession::leaveCommand(const Words& w) {
    if (w.size() != 1) return usage(w[0], "leave");
    leave();
    return true;
}

bool HostSession::validateCommand(const Words& w) {
    if (w.size() < 2 || w.size() > 3) return usage(w[0], "validate COMPANY [USER]");
    return validate(w[1], w.size() > 2 ? w[2] : "");
}

bool HostSession::operationCommand(const Words& w) {
    if (w.size() != 2) return usage(w[0], "operation CODE");
    const std::optional<Variant> code = operationCode(w[1]);
    if (!code) {
        return refuse("operation", "o código " + w[1] +
                                       " não cabe em 32 bits (de -2147483648 a "
                                       "2147483647)");
    }
    return operation(*code);
}

bool HostSession::newDocumentCommand(const Words& w) {
    if (w.size() < 4) {
        return usage(w[0],
                     "new-document TYPE SERIES YEAR ARTICLE:QUANTITY[:PRICE[:cancelled]] ...");
    }
    if (!requireHost(w[0])) return false;
    const std::optional<substitutes::erp::DocumentDraft> document = documentDraft(w);
    if (!document) {
        return refuse(w[0],
                      "linha inválida: escreva ARTIGO:QUANTIDADE[:PRECO[:cancelled]], ano inteiro");
    }
    std::int32_t number = substitutes::erp::insertDocument(hostApi_, *document);
    const DocumentKey k{document->type, document->series, number, document->year};
    out_.result("new-document",
                {{"document", Variant(fromUtf8(k.text()))}, {"number", Variant(number)}},
                "  documento gravado: " + k.text());
    return true;
}

bool HostSession::documentCommand(const Words& w) {
    const std::string& c = w[0];
    if (w.size() != 5) return usage(c, c + " TYPE SERIES NUMBER YEAR");
    const std::optional<DocumentKey> k = documentKey(w);
    if (!k) return refuse(c, "número e ano têm de ser números inteiros");
    return c == "save" ? save(*k) : show(*k);
}

bool HostSession::failCommand(const Words& w) {
    if (w.size() < 2) return usage(w[0], "fail OPERATION [MESSAGE]");
    const char16_t* operation = failableOperation(w[1]);
    if (!operation) {
        return refuse(
            w[0], "operação desconhecida: " + w[1] + " (use " + failableOperations(" ou ") + ")");
    }
    if (!requireHost(w[0])) return false;
    const std::string message = joinWords(w, 2);
    if (message.empty()) {
        hostApi_.call(u"SimularFalha", Text(operation));
    } else {
        hostApi_.call(u"SimularFalha", Text(operation), fromUtf8(message));
    }
    out_.result("fail", {{"operation", Variant(Text(operation))}},
                "  a próxima operação " + toUtf8(operation) + " do ERP vai falhar");
    return true;
}

// --- Application events ---------------------------------------------------------------------

bool HostSession::enter(const std::string& company, const std::string& user) {
    Variant sEmpresa(fromUtf8(company)), sUtilizador(fromUtf8(user)), handle(std::int32_t{0});
    Variant bError(false);
    Named in = {{"sEmpresa", sEmpresa}, {"sUtilizador", sUtilizador}, {"HandleJanela", handle}};
    out_.calling("App_OnAntesEntrar", in);
    solucao_->App_OnAntesEntrar(sEmpresa, sUtilizador, handle, bError);
    out_.called("App_OnAntesEntrar", in, {{"bError", bError}});
    if (bError.toBool()) return false;
    out_.calling("App_OnEntrar", in);
    solucao_->App_OnEntrar(sEmpresa, sUtilizador, handle, bError);
    out_.called("App_OnEntrar", in, {{"bError", bError}});
    company_ = fromUtf8(company);
    inside_ = true;
    connectHost();
    return !bError.toBool();
}

void HostSession::leave() {
    Variant bError(false);
    out_.calling("App_OnAntesSair", {});
    solucao_->App_OnAntesSair(bError);
    out_.called("App_OnAntesSair", {}, {{"bError", bError}});
    out_.calling("App_OnSair", {});
    solucao_->App_OnSair(bError);
    out_.called("App_OnSair", {}, {{"bError", bError}});
    inside_ = false;
    if (!hostApi_.isNothing()) {
        try {
            hostApi_.call(u"Disconnect");
        } catch (const RuntimeError&) {
        }
        hostApi_.reset();
    }
}

bool HostSession::validate(const std::string& company, const std::string& user) {
    Variant sEmpresa(fromUtf8(company)), sUtilizador(fromUtf8(user)), handle(std::int32_t{0});
    Variant bError(false);
    Named in = {{"sEmpresa", sEmpresa}, {"sUtilizador", sUtilizador}, {"HandleJanela", handle}};
    out_.calling("App_OnConnectionValidate", in);
    solucao_->App_OnConnectionValidate(sEmpresa, sUtilizador, handle, bError);
    out_.called("App_OnConnectionValidate", in, {{"bError", bError}});
    return !bError.toBool();
}

bool HostSession::operation(const Variant& code) {
    Variant operacao = code;
    ObjectRef api = hostApi_;
    Named in = {{"Api", Variant(api)}, {"Operacao", operacao}};
    out_.calling("App_OnOperacao", in);
    solucao_->App_OnOperacao(api, operacao);
    out_.called("App_OnOperacao", in, {});
    return true;
}

// --- The ERP's own documents ----------------------------------------------------------------

// The ERP's own API session on the company, for storing, loading and showing documents.
void HostSession::connectHost() {
    hostApi_ = registry_.create(substitutes::progid::NextApiConnection);
    Variant product(Text(u"1GCO2022_40"));
    hostApi_.call(u"SetProduct", automation::byRef(product));
    Text settings = substitutes::dataFolder() + u"\\talmek\\VANTREL." + company_;
    if (!hostApi_.call(u"Connect", settings).toBool()) {
        out_.error("enter", "o ERP não abriu a empresa " + toUtf8(company_) + ": " +
                                toUtf8(hostApi_.get(u"LastError").toText()));
        hostApi_.reset();
    }
}

bool HostSession::requireHost(const std::string& command) {
    if (!hostApi_.isNothing()) return true;
    out_.error(command, "nenhuma empresa aberta no ERP (use enter primeiro)");
    return false;
}

// A document object of the ERP loaded with the stored document; Nothing when missing.
ObjectRef HostSession::load(const DocumentKey& k) {
    ObjectRef doc = hostApi_.object(u"NewSalesDocument");
    Variant t(k.type), n(k.number), s(k.series), y(k.year);
    bool found = doc.call(u"Ler", automation::byRef(t), automation::byRef(n), automation::byRef(s),
                          automation::byRef(y))
                     .toBool();
    return found ? doc : ObjectRef();
}

bool HostSession::save(const DocumentKey& k) {
    if (!requireHost("save")) return false;
    ObjectRef doc = load(k);
    if (doc.isNothing()) {
        out_.error("save", "o documento " + k.text() + " não existe");
        return false;
    }
    Named in = {{"oApi", Variant(doc)}, {"documento", Variant(fromUtf8(k.text()))}};
    out_.calling("Vendas_OnGravar", in);
    solucao_->Vendas_OnGravar(doc);
    out_.called("Vendas_OnGravar", in, {});
    return true;
}

bool HostSession::show(const DocumentKey& k) {
    if (!requireHost("show")) return false;
    ObjectRef doc = load(k);
    if (doc.isNothing()) {
        out_.error("show", "o documento " + k.text() + " não existe");
        return false;
    }
    ObjectRef cab = doc.object(u"Cab");
    ObjectRef lines = doc.object(u"Linhas");
    std::int32_t count = lines.get(u"Count").toLong();
    if (out_.json()) {
        showAsJson(k, doc, cab, count);
    } else {
        showAsText(k, doc, cab, count);
    }
    return true;
}

void HostSession::showAsJson(const DocumentKey& k, const ObjectRef& doc, const ObjectRef& cab,
                             std::int32_t count) {
    std::string s = "{\"type\":\"document\",\"key\":" + automation::jsonQuoted(k.text()) +
                    ",\"customer\":" + jsonValue(cab.get(u"Entidade")) +
                    ",\"finalised\":" + jsonValue(cab.get(u"Finalizado")) + ",\"bases\":[";
    for (int b = 1; b <= 4; ++b) {
        s += (b > 1 ? "," : "") + jsonValue(cab.get(u"Base" + fromUtf8(std::to_string(b))));
    }
    s += "],\"vat\":" + jsonValue(cab.get(u"TotalIva")) +
         ",\"total\":" + jsonValue(cab.get(u"TotalDocumento")) + ",\"lines\":[";
    for (std::int32_t i = 1; i <= count; ++i) {
        ObjectRef l = doc.object(u"Linhas", static_cast<std::int16_t>(i));
        s += (i > 1 ? "," : "") + std::string("{\"article\":") + jsonValue(l.get(u"Artigo")) +
             ",\"description\":" + jsonValue(l.get(u"Descricao")) +
             ",\"quantity\":" + jsonValue(l.get(u"Quantidade")) +
             ",\"price\":" + jsonValue(l.get(u"PrecoUnitario")) +
             ",\"vat\":" + jsonValue(l.get(u"TaxaIva")) +
             ",\"cancelled\":" + jsonValue(l.get(u"LinhaAnulada")) + "}";
    }
    out_.stream() << s << "]}\n";
}

void HostSession::showAsText(const DocumentKey& k, const ObjectRef& doc, const ObjectRef& cab,
                             std::int32_t count) {
    std::ostream& o = out_.stream();
    Text customer = cab.get(u"Entidade").toText();
    o << "  Documento " << k.text() << (customer.empty() ? "" : "  cliente " + toUtf8(customer))
      << (cab.get(u"Finalizado").toBool() ? "  (finalizado)" : "  (por finalizar)") << '\n';
    o << "  Bases: " << displayNumber(cab.get(u"Base1")) << " | "
      << displayNumber(cab.get(u"Base2")) << " | " << displayNumber(cab.get(u"Base3")) << " | "
      << displayNumber(cab.get(u"Base4")) << "   IVA " << displayNumber(cab.get(u"TotalIva"))
      << "   Total " << displayNumber(cab.get(u"TotalDocumento")) << '\n';
    for (std::int32_t i = 1; i <= count; ++i) {
        ObjectRef l = doc.object(u"Linhas", static_cast<std::int16_t>(i));
        o << "  " << i << ". " << toUtf8(l.get(u"Artigo").toText()) << "  "
          << toUtf8(l.get(u"Descricao").toText()) << "  qtd " << displayNumber(l.get(u"Quantidade"))
          << " x " << displayNumber(l.get(u"PrecoUnitario")) << "  IVA "
          << displayNumber(l.get(u"TaxaIva")) << "%"
          << (l.get(u"LinhaAnulada").toBool() ? "  (anulada)" : "") << '\n';
    }
}

}  // namespace vantrel::app::host
