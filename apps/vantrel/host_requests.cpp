#include "host_requests.h"

#include <charconv>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace vantrel::app::host {

using automation::fromUtf8;
using automation::toUtf8;
using automation::Variant;

namespace {

// The document operations of the stand-in ERP that `fail` can make fail.
const auto& kFailableOperations = substitutes::erp::operation::kAll;

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

bool isWholeNumber(std::string_view word) {
    if (!word.empty() && (word.front() == '-' || word.front() == '+')) word.remove_prefix(1);
    return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos;
}

// ARTICLE:QUANTITY[:PRICE[:cancelled]]; std::invalid_argument (or what std::stod throws)
// when it is not.
substitutes::erp::LineDraft documentLine(const std::string& word) {
    std::vector<std::string> parts;
    std::stringstream ss(word);
    std::string part;
    while (std::getline(ss, part, ':')) parts.push_back(part);
    if (parts.size() < 2 || parts.size() > 4) throw std::invalid_argument(word);
    substitutes::erp::LineDraft line;
    line.article = fromUtf8(parts[0]);
    line.quantity = std::stod(parts[1]);
    if (parts.size() > 2 && !parts[2].empty()) line.price = std::stod(parts[2]);
    if (parts.size() > 3) {
        if (parts[3] != "cancelled" && parts[3] != "anulada") throw std::invalid_argument(word);
        line.cancelled = true;
    }
    return line;
}

}  // namespace

std::string hostUsage() {
    return kHostUsageHead + failableOperations(" or ") + kHostUsageTail;
}

std::string failableOperations(const char* lastSeparator) {
    std::string list;
    const std::size_t count = std::size(kFailableOperations);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) list += i + 1 == count ? lastSeparator : ", ";
        list += toUtf8(kFailableOperations[i]);
    }
    return list;
}

Words splitWords(const std::string& line) {
    std::istringstream ss(line);
    Words words;
    std::string w;
    while (ss >> w) words.push_back(w);
    return words;
}

std::string joinWords(const Words& words, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < words.size(); ++i) text += (i > from ? " " : "") + words[i];
    return text;
}

const char16_t* failableOperation(const std::string& word) {
    // The stand-in matches operation names exactly: any spelling of one becomes its name.
    const automation::Text asked = fromUtf8(word);
    const char16_t* operation = nullptr;
    for (const char16_t* known : kFailableOperations) {
        if (automation::equalsIgnoreCase(asked, known)) operation = known;
    }
    return operation;
}

std::optional<Variant> operationCode(const std::string& word) {
    Variant code(fromUtf8(word));
    if (isWholeNumber(word)) {
        std::string_view digits = word;
        if (digits.front() == '+') digits.remove_prefix(1);
        std::int32_t n = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (ec != std::errc()) return std::nullopt;
        code = Variant(n);
    }
    return code;
}

std::string DocumentKey::text() const {
    return toUtf8(type) + "-" + toUtf8(series) + "-" + std::to_string(number) + "-" +
           std::to_string(year);
}

std::optional<DocumentKey> documentKey(const Words& words) {
    try {
        DocumentKey k;
        k.type = fromUtf8(words[1]);
        k.series = fromUtf8(words[2]);
        k.number = automation::roundToLong(std::stod(words[3]));
        k.year = automation::roundToInteger(std::stod(words[4]));
        return k;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<substitutes::erp::DocumentDraft> documentDraft(const Words& words) {
    substitutes::erp::DocumentDraft document;
    document.type = fromUtf8(words[1]);
    document.series = fromUtf8(words[2]);
    try {
        document.year = automation::roundToInteger(std::stod(words[3]));
        for (std::size_t i = 4; i < words.size(); ++i)
            document.lines.push_back(documentLine(words[i]));
    } catch (const std::logic_error&) {
        return std::nullopt;
    }
    return document;
}

}  // namespace vantrel::app::host
