// vantrel ini: reads and writes one INI file through cInifile, as the add-in does with a
// company's settings file. Arguments and output are UTF-8; the file is Windows-1252.
#include <cstdio>
#include <string>

#include "automation/text.h"
#include "automation/variant.h"
#include "commands.h"
#include "platform/posix/profile_engine.h"
#include "settings/cinifile.h"

namespace vantrel::app {

namespace {

using automation::Text;

const char kIniUsage[] =
    "usage: vantrel ini get FILE SECTION KEY [DEFAULT]\n"
    "       vantrel ini keys FILE SECTION\n"
    "       vantrel ini sections FILE\n"
    "       vantrel ini set FILE SECTION KEY VALUE\n"
    "       vantrel ini delete-key FILE SECTION KEY\n"
    "       vantrel ini delete-section FILE SECTION\n"
    "\n"
    "Reads and writes an INI file as the add-in does (a company's settings file is\n"
    "talmek/VANTREL.<company> in the data folder). FILE is a Linux path. The file's text is\n"
    "Windows-1252 (or UTF-8 / UTF-16 when it starts with a byte-order mark); arguments and\n"
    "output are UTF-8.\n"
    "\n"
    "  get             prints the key's value (at most 254 characters), or DEFAULT (empty\n"
    "                  when not given) when the file, section or key is missing\n"
    "  keys            prints the names of the section's keys, one a line\n"
    "  sections        prints the names of the file's sections, one a line\n"
    "  set             writes the key, creating the file and the section when needed\n"
    "  delete-key      removes the key\n"
    "  delete-section  removes the section with all its keys\n"
    "\n"
    "Section and key names match whatever the case of their ASCII letters; a key name cannot\n"
    "hold '='. A write rewrites the whole file as Windows does: comments stay, blank lines and\n"
    "the blanks around '=' go, lines end in CR LF.\n"
    "\n"
    "exit status: 0 done (for get, keys and sections always, as a missing key reads as the\n"
    "default); 1 the file could not be written, or the text would not read back as written\n"
    "(a line break, or a key that begins with '['); 2 wrong call.\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "vantrel ini: %s\n\n%s", message.c_str(), kIniUsage);
    return 2;
}

// A UTF-8 argument as a text the file can hold; false when it has characters that
// Windows-1252 lacks (they would be written as '?').
bool toText(const std::string& utf8, const char* what, Text& out, std::string& error) {
    out = automation::fromUtf8(utf8);
    if (automation::fromCp1252(automation::toCp1252(out)) != out) {
        error =
            std::string(what) + " \"" + utf8 + "\" has characters that Windows-1252 cannot hold";
        return false;
    }
    return true;
}

void printLine(const Text& text) {
    std::string line = automation::toUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

void printNames(const automation::Array& names, std::int32_t count) {
    for (std::int32_t i = 1; i <= count; ++i) printLine(names.at(i).text());
}

}  // namespace

int runIni(const Arguments& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        std::fputs(kIniUsage, stdout);
        return 0;
    }
    if (args.empty())
        return usageError(
            "missing the action (get, keys, sections, set, delete-key, delete-section)");
    const std::string& action = args[0];
    struct Shape {
        const char* action;
        std::size_t least, most;  // words after the action
    };
    static const Shape shapes[] = {{"get", 3, 4}, {"keys", 2, 2},       {"sections", 1, 1},
                                   {"set", 4, 4}, {"delete-key", 3, 3}, {"delete-section", 2, 2}};
    const Shape* shape = nullptr;
    for (const auto& s : shapes) {
        if (action == s.action) shape = &s;
    }
    if (!shape) return usageError("unknown action '" + action + "'");
    std::size_t given = args.size() - 1;
    if (given < shape->least || given > shape->most) {
        return usageError("wrong number of arguments for '" + action + "'");
    }
    const std::string& file = args[1];
    if (file.empty()) return usageError("FILE is empty");

    static const char* const names[] = {"FILE", "SECTION", "KEY", "VALUE"};
    Text texts[4];
    std::string error;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const char* what = action == "get" && i == 4 ? "DEFAULT" : names[i - 1];
        if (!toText(args[i], what, texts[i - 1], error)) return usageError(error);
    }

    // In the file '=' ends a key's name, so such a key could never be read back.
    if (action != "sections" && action != "keys" && texts[2].find(u'=') != Text::npos) {
        return usageError("KEY \"" + args[3] + "\" holds '=', which ends a key name in the file");
    }

    platform::posix::ProfileEngine engine = platform::posix::ProfileEngine::forFile(file);
    settings::cInifile ini(engine);
    ini.setPath(automation::fromUtf8(file));
    ini.setSection(texts[1]);
    ini.setKey(texts[2]);

    if (action == "get") {
        if (given == 4) ini.setDefault(texts[3]);
        printLine(ini.Value());
        return 0;
    }
    if (action == "keys" || action == "sections") {
        automation::Array found;
        std::int32_t count = 0;
        if (action == "keys") {
            ini.EnumerateCurrentSection(found, count);
        } else {
            ini.EnumerateAllSections(found, count);
        }
        printNames(found, count);
        return 0;
    }
    if (action == "set") {
        ini.setValue(texts[3]);
    } else if (action == "delete-key") {
        ini.DeleteKey();
    } else {
        ini.DeleteSection();
    }
    if (ini.Success()) return 0;
    std::fprintf(stderr,
                 "vantrel ini %s: %s was not changed: it or its folder cannot be written, or a "
                 "name or value holds a line break, or the key begins with '['\n",
                 action.c_str(), file.c_str());
    return 1;
}

}  // namespace vantrel::app
