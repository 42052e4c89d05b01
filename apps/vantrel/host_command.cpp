// vantrel host: plays the ERP for one company so that a person can try the add-in. It
// creates a Solucao over the stand-ins, reads commands (from a file or standard input) and
// turns each into the calls the ERP would make: entering and leaving the company, host
// operations, storing documents and saving them (which fires Vendas_OnGravar).
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "automation/json_text.h"
#include "automation/runtime_error.h"
#include "automation/variant.h"
#include "commands.h"
#include "data_folder.h"
#include "erp/company_database.h"
#include "platform/posix/posix_catalog.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/profile_engine.h"
#include "platform/posix/terminal_dialogs.h"
#include "registry.h"
#include "solution/solucao.h"

namespace vantrel::app {

std::string executableFolder() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<std::size_t>(n));
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

automation::Text windowsPath(const std::string& path) {
    automation::Text t = automation::fromUtf8(path);
    for (auto& c : t) {
        if (c == u'/') c = u'\\';
    }
    return t;
}

namespace {

using automation::fromUtf8;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::toUtf8;
using automation::Variant;
using platform::posix::TerminalDialogs;

// The document operations of the stand-in ERP that `fail` can make fail.
const auto& kFailableOperations = substitutes::erp::operation::kAll;

std::string failableOperations(const char* lastSeparator) {
    std::string list;
    const std::size_t count = std::size(kFailableOperations);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) list += i + 1 == count ? lastSeparator : ", ";
        list += toUtf8(kFailableOperations[i]);
    }
    return list;
}

// The usage text, in two halves around the list of operations that `fail` takes.
const char kHostUsageHead[] =
    "usage: vantrel host [--data DIR] [--answer yes|no|ok]... [--json] [COMMAND-FILE]\n"
    "\n"
    "Plays the ERP for one company: the add-in is loaded as the ERP loads it and each\n"
    "command below becomes the calls the ERP makes. Commands come from COMMAND-FILE, or\n"
    "from standard input when none is given (at a terminal, after the prompt 'vantrel> ');\n"
    "one command a line, '#' starts a comment.\n"
    "\n"
    "options:\n"
    "  --data DIR      base folder of the stand-ins (talmek\\VANTREL.<company> settings,\n"
    "                  databases\\<catalog>.sqlite); else QUORILVANTREL_DATA\n"
    "  --answer WORD   answer to the next message box (yes, no, ok, cancel); repeat it, one\n"
    "                  per box in order. Without one, the person at the terminal answers\n"
    "                  (an empty line takes the default button), or, when standard input is\n"
    "                  no terminal, the box's default button is taken. An answer that is no\n"
    "                  button of its box ends the session: that box and any later one get\n"
    "                  the answer that decides nothing (Cancel, else No)\n"
    "  --json          one JSON object a line for each event call, message box and result\n"
    "\n"
    "commands:\n"
    "  enter COMPANY [USER]      App_OnAntesEntrar and App_OnEntrar (the ERP opens the company)\n"
    "  leave                     App_OnAntesSair and App_OnSair\n"
    "  validate COMPANY [USER]   App_OnConnectionValidate\n"
    "  operation CODE            App_OnOperacao (2010 switches the add-in's API connection);\n"
    "                            a number must fit in 32 bits, a word goes as text\n"
    "  new-document TYPE SERIES YEAR ARTICLE:QUANTITY[:PRICE[:cancelled]] ...\n"
    "                            stores a sales document through the ERP's own members and\n"
    "                            prints its number (without PRICE, the article's price)\n"
    "  save TYPE SERIES NUMBER YEAR\n"
    "                            the ERP's save of a stored document: Vendas_OnGravar\n"
    "  show TYPE SERIES NUMBER YEAR\n"
    "                            header, tax bases and lines of a stored document\n"
    "  fail OPERATION [MESSAGE]  the ERP's next OPERATION of a document fails, one of\n"
    "                            ";
const char kHostUsageTail[] =
    "\n"
    "  echo TEXT                 prints TEXT\n"
    "  help                      this list\n"
    "  quit                      ends the session (leaving the company first if still in it)\n"
    "\n"
    "Exit code: 0 when every command went through, 1 when one failed, 2 when a command or an\n"
    "--answer was refused as written (the session goes on after a refused command).\n"
    "\n"
    "example:\n"
    "  vantrel host --data /tmp/demo --answer yes --answer ok <<'EOF'\n"
    "  enter DEMO ana\n"
    "  save FT 0 1 2025\n"
    "  leave\n"
    "  EOF\n";

std::string hostUsage() {
    return kHostUsageHead + failableOperations(" or ") + kHostUsageTail;
}

// --- Output -------------------------------------------------------------------------------

std::string jsonValue(const Variant& v) {
    switch (v.type()) {
        case automation::VarType::Empty:
        case automation::VarType::Null:
            return "null";
        case automation::VarType::Boolean:
            return v.toBool() ? "true" : "false";
        case automation::VarType::Integer:
        case automation::VarType::Long:
            return std::to_string(v.toLong());
        case automation::VarType::Double:
        case automation::VarType::Currency: {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.15g", v.toDouble());
            return buf;
        }
        case automation::VarType::Object:
            return v.isSetObject() ? "\"<object>\"" : "null";
        default:
            try {
                return automation::jsonQuoted(toUtf8(v.toText()));
            } catch (const RuntimeError&) {
                return "null";
            }
    }
}

// A value as the person reads it: texts in quotes, Booleans as the runtime names them.
std::string displayValue(const Variant& v) {
    if (v.isEmpty()) return "Empty";
    if (v.isNull()) return "Null";
    if (v.isObject()) return v.isSetObject() ? "<objecto>" : "Nothing";
    try {
        if (v.isString()) return "\"" + toUtf8(v.toText()) + "\"";
        return toUtf8(v.toText());
    } catch (const RuntimeError&) {
        return "?";
    }
}

using Named = std::vector<std::pair<std::string, Variant>>;

class Output {
public:
    Output(std::ostream& out, bool json) : out_(out), json_(json) {}
    bool json() const { return json_; }

    void command(const std::string& line) {
        if (!json_) out_ << "vantrel> " << line << '\n';
    }
    // Before an event call (shown to a person only, so that its message boxes follow it).
    void calling(const std::string& name, const Named& in) {
        if (json_) return;
        out_ << "  -> " << name << '(';
        for (std::size_t i = 0; i < in.size(); ++i) {
            out_ << (i ? ", " : "") << in[i].first << '=' << displayValue(in[i].second);
        }
        out_ << ")\n";
    }
    // After it: the arguments as passed and what the event wrote back.
    void called(const std::string& name, const Named& in, const Named& out) {
        if (json_) {
            std::string s =
                "{\"type\":\"event\",\"name\":" + automation::jsonQuoted(name) + ",\"args\":{";
            for (std::size_t i = 0; i < in.size(); ++i) {
                s += (i ? "," : "") + automation::jsonQuoted(in[i].first) + ":" +
                     jsonValue(in[i].second);
            }
            s += "},\"out\":{";
            for (std::size_t i = 0; i < out.size(); ++i) {
                s += (i ? "," : "") + automation::jsonQuoted(out[i].first) + ":" +
                     jsonValue(out[i].second);
            }
            out_ << s << "}}\n";
            return;
        }
        for (const auto& [key, value] : out) {
            out_ << "     " << name << ": " << key << " = " << displayValue(value) << '\n';
        }
    }
    void box(const TerminalDialogs::Box& b) {
        if (!json_) return;  // the terminal dialogs have shown it already
        out_ << "{\"type\":\"box\",\"title\":" << automation::jsonQuoted(toUtf8(b.title))
             << ",\"text\":" << automation::jsonQuoted(toUtf8(b.text)) << ",\"style\":" << b.style
             << ",\"answer\":" << automation::jsonQuoted(TerminalDialogs::buttonWord(b.answer));
        if (b.refused)
            out_ << ",\"refused\":"
                 << automation::jsonQuoted(TerminalDialogs::buttonWord(b.refused));
        out_ << "}\n";
    }
    void result(const std::string& command, const Named& fields, const std::string& text) {
        if (json_) {
            std::string s = "{\"type\":\"result\",\"command\":" + automation::jsonQuoted(command);
            for (const auto& [key, value] : fields)
                s += "," + automation::jsonQuoted(key) + ":" + jsonValue(value);
            out_ << s << "}\n";
        } else if (!text.empty()) {
            out_ << text << '\n';
        }
    }
    void raw(const std::string& json, const std::string& text) {
        if (json_) {
            out_ << json << '\n';
        } else {
            out_ << text;
        }
    }
    void error(const std::string& command, const std::string& message) {
        if (json_) {
            out_ << "{\"type\":\"error\",\"command\":" << automation::jsonQuoted(command)
                 << ",\"message\":" << automation::jsonQuoted(message) << "}\n";
        } else {
            out_ << "  erro: " << message << '\n';
        }
    }
    std::ostream& stream() { return out_; }

private:
    std::ostream& out_;
    bool json_;
};

// --- The session --------------------------------------------------------------------------

struct Options {
    std::optional<std::string> data;
    std::vector<std::string> answers;
    bool json = false;
    std::optional<std::string> file;
};

class HostSession {
public:
    // `keyboard`: a person at the terminal answers the boxes. With --json the boxes they
    // answer go to standard error, so that standard output stays JSON.
    HostSession(const Options& options, std::ostream& out, bool keyboard)
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

    bool queueAnswer(const std::string& word) { return dialogs_.queueAnswer(word); }

    // Runs the commands and returns the exit code: 0 when all went through, 1 when one
    // failed, 2 when one (or an --answer) was refused as written. `echo` repeats each command
    // in the output; `prompt`, when set, is where a person typing them sees the prompt.
    int run(std::istream& in, bool echo, std::ostream* prompt) {
        bool failed = false;
        std::string line;
        while (true) {
            if (prompt) *prompt << "vantrel> " << std::flush;
            if (!std::getline(in, line)) {
                if (prompt) *prompt << '\n';  // end of input typed at the prompt
                break;
            }
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::vector<std::string> words = split(line);
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

private:
    static std::vector<std::string> split(const std::string& line) {
        std::istringstream ss(line);
        std::vector<std::string> words;
        std::string w;
        while (ss >> w) words.push_back(w);
        return words;
    }

    // A command that cannot run as written: reported, and the exit code will say so.
    bool refuse(const std::string& command, const std::string& message) {
        out_.error(command, message);
        refused_ = true;
        return false;
    }

    bool usage(const std::string& command, const std::string& form) {
        return refuse(command, "uso: " + form);
    }

    // Whether a queued answer was refused by its box; reported the first time.
    bool answersRefused() {
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

    bool execute(const std::vector<std::string>& w) {
        const std::string& c = w[0];
        if (c == "help") {
            out_.raw("{\"type\":\"help\"}", hostUsage());
            return true;
        }
        if (c == "echo") {
            std::string text;
            for (std::size_t i = 1; i < w.size(); ++i) text += (i > 1 ? " " : "") + w[i];
            out_.raw("{\"type\":\"echo\",\"text\":" + automation::jsonQuoted(text) + "}",
                     text + "\n");
            return true;
        }
        if (c == "enter") {
            if (w.size() < 2 || w.size() > 3) return usage(c, "enter COMPANY [USER]");
            return enter(w[1], w.size() > 2 ? w[2] : "");
        }
        if (c == "leave") {
            if (w.size() != 1) return usage(c, "leave");
            leave();
            return true;
        }
        if (c == "validate") {
            if (w.size() < 2 || w.size() > 3) return usage(c, "validate COMPANY [USER]");
            return validate(w[1], w.size() > 2 ? w[2] : "");
        }
        if (c == "operation") {
            if (w.size() != 2) return usage(c, "operation CODE");
            return operation(w[1]);
        }
        if (c == "new-document") {
            if (w.size() < 4) {
                return usage(
                    c, "new-document TYPE SERIES YEAR ARTICLE:QUANTITY[:PRICE[:cancelled]] ...");
            }
            return newDocument(w);
        }
        if (c == "save" || c == "show") {
            if (w.size() != 5) return usage(c, c + " TYPE SERIES NUMBER YEAR");
            Key k;
            if (!parseKey(c, w, k)) return false;
            return c == "save" ? save(k) : show(k);
        }
        if (c == "fail") {
            if (w.size() < 2) return usage(c, "fail OPERATION [MESSAGE]");
            return fail(w);
        }
        return refuse(c, "comando desconhecido (help lista os comandos)");
    }

    // --- Application events ---------------------------------------------------------------

    bool enter(const std::string& company, const std::string& user) {
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

    void leave() {
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

    bool validate(const std::string& company, const std::string& user) {
        Variant sEmpresa(fromUtf8(company)), sUtilizador(fromUtf8(user)), handle(std::int32_t{0});
        Variant bError(false);
        Named in = {{"sEmpresa", sEmpresa}, {"sUtilizador", sUtilizador}, {"HandleJanela", handle}};
        out_.calling("App_OnConnectionValidate", in);
        solucao_->App_OnConnectionValidate(sEmpresa, sUtilizador, handle, bError);
        out_.called("App_OnConnectionValidate", in, {{"bError", bError}});
        return !bError.toBool();
    }

    static bool isWholeNumber(std::string_view word) {
        if (!word.empty() && (word.front() == '-' || word.front() == '+')) word.remove_prefix(1);
        return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos;
    }

    bool operation(const std::string& code) {
        // The ERP passes its codes as 32-bit numbers; a word goes as the text it is, so that
        // the add-in's own conversion error can be tried.
        Variant operacao(fromUtf8(code));
        if (isWholeNumber(code)) {
            std::string_view digits = code;
            if (digits.front() == '+') digits.remove_prefix(1);
            std::int32_t n = 0;
            auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
            if (ec != std::errc()) {
                return refuse("operation", "o código " + code +
                                               " não cabe em 32 bits (de -2147483648 a "
                                               "2147483647)");
            }
            operacao = Variant(n);
        }
        ObjectRef api = hostApi_;
        Named in = {{"Api", Variant(api)}, {"Operacao", operacao}};
        out_.calling("App_OnOperacao", in);
        solucao_->App_OnOperacao(api, operacao);
        out_.called("App_OnOperacao", in, {});
        return true;
    }

    // --- The ERP's own documents ------------------------------------------------------------

    // The ERP's own API session on the company, for storing, loading and showing documents.
    void connectHost() {
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

    bool requireHost(const std::string& command) {
        if (!hostApi_.isNothing()) return true;
        out_.error(command, "nenhuma empresa aberta no ERP (use enter primeiro)");
        return false;
    }

    struct Key {
        Text type, series;
        std::int32_t number = 0;
        std::int16_t year = 0;
    };

    bool parseKey(const std::string& command, const std::vector<std::string>& w, Key& k) {
        try {
            k.type = fromUtf8(w[1]);
            k.series = fromUtf8(w[2]);
            k.number = automation::roundToLong(std::stod(w[3]));
            k.year = automation::roundToInteger(std::stod(w[4]));
            return true;
        } catch (const std::exception&) {
            return refuse(command, "número e ano têm de ser números inteiros");
        }
    }

    std::string keyText(const Key& k) const {
        return toUtf8(k.type) + "-" + toUtf8(k.series) + "-" + std::to_string(k.number) + "-" +
               std::to_string(k.year);
    }

    bool newDocument(const std::vector<std::string>& w) {
        if (!requireHost(w[0])) return false;
        substitutes::erp::DocumentDraft document;
        document.type = fromUtf8(w[1]);
        document.series = fromUtf8(w[2]);
        try {
            document.year = automation::roundToInteger(std::stod(w[3]));
            for (std::size_t i = 4; i < w.size(); ++i) {
                std::vector<std::string> parts;
                std::stringstream ss(w[i]);
                std::string part;
                while (std::getline(ss, part, ':')) parts.push_back(part);
                if (parts.size() < 2 || parts.size() > 4) throw std::invalid_argument(w[i]);
                substitutes::erp::LineDraft line;
                line.article = fromUtf8(parts[0]);
                line.quantity = std::stod(parts[1]);
                if (parts.size() > 2 && !parts[2].empty()) line.price = std::stod(parts[2]);
                if (parts.size() > 3) {
                    if (parts[3] != "cancelled" && parts[3] != "anulada")
                        throw std::invalid_argument(w[i]);
                    line.cancelled = true;
                }
                document.lines.push_back(line);
            }
        } catch (const std::logic_error&) {
            return refuse(
                w[0], "linha inválida: escreva ARTIGO:QUANTIDADE[:PRECO[:cancelled]], ano inteiro");
        }
        std::int32_t number = substitutes::erp::insertDocument(hostApi_, document);
        Key k{document.type, document.series, number, document.year};
        out_.result("new-document",
                    {{"document", Variant(fromUtf8(keyText(k)))}, {"number", Variant(number)}},
                    "  documento gravado: " + keyText(k));
        return true;
    }

    // A document object of the ERP loaded with the stored document; Nothing when missing.
    ObjectRef load(const Key& k) {
        ObjectRef doc = hostApi_.object(u"NewSalesDocument");
        Variant t(k.type), n(k.number), s(k.series), y(k.year);
        bool found = doc.call(u"Ler", automation::byRef(t), automation::byRef(n),
                              automation::byRef(s), automation::byRef(y))
                         .toBool();
        return found ? doc : ObjectRef();
    }

    bool save(const Key& k) {
        if (!requireHost("save")) return false;
        ObjectRef doc = load(k);
        if (doc.isNothing()) {
            out_.error("save", "o documento " + keyText(k) + " não existe");
            return false;
        }
        Named in = {{"oApi", Variant(doc)}, {"documento", Variant(fromUtf8(keyText(k)))}};
        out_.calling("Vendas_OnGravar", in);
        solucao_->Vendas_OnGravar(doc);
        out_.called("Vendas_OnGravar", in, {});
        return true;
    }

    bool show(const Key& k) {
        if (!requireHost("show")) return false;
        ObjectRef doc = load(k);
        if (doc.isNothing()) {
            out_.error("show", "o documento " + keyText(k) + " não existe");
            return false;
        }
        ObjectRef cab = doc.object(u"Cab");
        ObjectRef lines = doc.object(u"Linhas");
        std::int32_t count = lines.get(u"Count").toLong();
        auto num = [](const Variant& v) {
            try {
                return toUtf8(automation::formatNumber(v.toDouble()));
            } catch (const RuntimeError&) {
                return displayValue(v);
            }
        };
        if (out_.json()) {
            std::string s = "{\"type\":\"document\",\"key\":" + automation::jsonQuoted(keyText(k)) +
                            ",\"customer\":" + jsonValue(cab.get(u"Entidade")) +
                            ",\"finalised\":" + jsonValue(cab.get(u"Finalizado")) + ",\"bases\":[";
            for (int b = 1; b <= 4; ++b) {
                s += (b > 1 ? "," : "") + jsonValue(cab.get(u"Base" + fromUtf8(std::to_string(b))));
            }
            s += "],\"vat\":" + jsonValue(cab.get(u"TotalIva")) +
                 ",\"total\":" + jsonValue(cab.get(u"TotalDocumento")) + ",\"lines\":[";
            for (std::int32_t i = 1; i <= count; ++i) {
                ObjectRef l = doc.object(u"Linhas", static_cast<std::int16_t>(i));
                s += (i > 1 ? "," : "") + std::string("{\"article\":") +
                     jsonValue(l.get(u"Artigo")) +
                     ",\"description\":" + jsonValue(l.get(u"Descricao")) +
                     ",\"quantity\":" + jsonValue(l.get(u"Quantidade")) +
                     ",\"price\":" + jsonValue(l.get(u"PrecoUnitario")) +
                     ",\"vat\":" + jsonValue(l.get(u"TaxaIva")) +
                     ",\"cancelled\":" + jsonValue(l.get(u"LinhaAnulada")) + "}";
            }
            out_.stream() << s << "]}\n";
            return true;
        }
        std::ostream& o = out_.stream();
        Text customer = cab.get(u"Entidade").toText();
        o << "  Documento " << keyText(k)
          << (customer.empty() ? "" : "  cliente " + toUtf8(customer))
          << (cab.get(u"Finalizado").toBool() ? "  (finalizado)" : "  (por finalizar)") << '\n';
        o << "  Bases: " << num(cab.get(u"Base1")) << " | " << num(cab.get(u"Base2")) << " | "
          << num(cab.get(u"Base3")) << " | " << num(cab.get(u"Base4")) << "   IVA "
          << num(cab.get(u"TotalIva")) << "   Total " << num(cab.get(u"TotalDocumento")) << '\n';
        for (std::int32_t i = 1; i <= count; ++i) {
            ObjectRef l = doc.object(u"Linhas", static_cast<std::int16_t>(i));
            o << "  " << i << ". " << toUtf8(l.get(u"Artigo").toText()) << "  "
              << toUtf8(l.get(u"Descricao").toText()) << "  qtd " << num(l.get(u"Quantidade"))
              << " x " << num(l.get(u"PrecoUnitario")) << "  IVA " << num(l.get(u"TaxaIva")) << "%"
              << (l.get(u"LinhaAnulada").toBool() ? "  (anulada)" : "") << '\n';
        }
        return true;
    }

    bool fail(const std::vector<std::string>& w) {
        // The stand-in matches operation names exactly: any spelling of one becomes its name.
        const Text asked = fromUtf8(w[1]);
        const char16_t* operation = nullptr;
        for (const char16_t* known : kFailableOperations) {
            if (automation::equalsIgnoreCase(asked, known)) operation = known;
        }
        if (!operation) {
            return refuse(w[0], "operação desconhecida: " + w[1] + " (use " +
                                    failableOperations(" ou ") + ")");
        }
        if (!requireHost(w[0])) return false;
        std::string message;
        for (std::size_t i = 2; i < w.size(); ++i) message += (i > 2 ? " " : "") + w[i];
        if (message.empty()) {
            hostApi_.call(u"SimularFalha", Text(operation));
        } else {
            hostApi_.call(u"SimularFalha", Text(operation), fromUtf8(message));
        }
        out_.result("fail", {{"operation", Variant(Text(operation))}},
                    "  a próxima operação " + toUtf8(operation) + " do ERP vai falhar");
        return true;
    }

    Output out_;
    platform::posix::PosixPlatform platform_;
    platform::posix::ProfileEngine profile_;
    std::ostringstream sink_;
    TerminalDialogs dialogs_;
    platform::posix::PosixCatalog catalog_;
    substitutes::StandInRegistry registry_;
    std::unique_ptr<solution::Solucao> solucao_;
    ObjectRef hostApi_;
    Text company_;
    bool inside_ = false;
    bool refused_ = false;
    bool refusalReported_ = false;
};

}  // namespace

int runHost(const Arguments& args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(hostUsage().c_str(), stdout);
            return 0;
        }
        if (a == "--data" && i + 1 < args.size()) {
            o.data = args[++i];
        } else if (a == "--answer" && i + 1 < args.size()) {
            o.answers.push_back(args[++i]);
        } else if (a == "--json") {
            o.json = true;
        } else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "vantrel host: unknown option '%s'\n\n%s", a.c_str(),
                         hostUsage().c_str());
            return 2;
        } else if (!o.file) {
            o.file = a;
        } else {
            std::fprintf(stderr, "vantrel host: only one command file\n");
            return 2;
        }
    }
    if (o.data) substitutes::setDataFolder(windowsPath(*o.data));
    if (substitutes::dataFolder().empty()) {
        std::fprintf(stderr,
                     "vantrel host: no data folder (use --data DIR or QUORILVANTREL_DATA)\n");
        return 2;
    }

    std::ifstream file;
    if (o.file) {
        file.open(*o.file);
        if (!file) {
            std::fprintf(stderr, "vantrel host: cannot read '%s'\n", o.file->c_str());
            return 2;
        }
    }
    // A person at the terminal answers the boxes, whether the commands come from a file or
    // are typed at the same keyboard (then after a prompt).
    const bool keyboard = ::isatty(STDIN_FILENO) == 1;
    HostSession session(o, std::cout, keyboard);
    for (const std::string& word : o.answers) {
        if (!session.queueAnswer(word)) {
            std::fprintf(stderr, "vantrel host: '%s' is no answer (yes, no, ok, cancel)\n",
                         word.c_str());
            return 2;
        }
    }
    std::ostream& promptStream = o.json ? std::cerr : std::cout;
    int code =
        o.file ? session.run(file, !o.json, nullptr)
               : session.run(std::cin, !o.json && !keyboard, keyboard ? &promptStream : nullptr);
    std::cout.flush();
    return code;
}

}  // namespace vantrel::app
