// vantrel ini: reads and writes one INI file through cInifile, as the add-in does with a
// company's settings file. Arguments and output are UTF-8; the file is Windows-1252.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "automation/text.h"
#include "commands.h"
#include "platform/posix/profile_engine.h"
#include "settings/cinifile.h"

namespace vantrel::app {

using automation::Text;

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
    "  keys            prints the names of the section's keys, one a line (all of them,\n"
    "                  where the add-in reads only the first 8,191 characters of the list)\n"
    "  sections        prints the names of the file's sections, one a line (all of them)\n"
    "  set             writes the key, creating the file and the section when needed\n"
    "  delete-key      removes the key\n"
    "  delete-section  removes the section with all its keys\n"
    "\n"
    "Section and key names match whatever the case of their ASCII letters; a key name cannot\n"
    "hold '='. A write rewrites the whole file as Windows does: comments stay, blank lines and\n"
    "the blanks around '=' go, lines end in CR LF. The new file replaces the old one only\n"
    "once it is whole on the disk, so a failed write leaves the old one as it was. Writers\n"
    "take turns: a write waits up to 30 seconds for another one to end.\n"
    "\n"
    "exit status: 0 done (for get, keys and sections always, as a missing key reads as the\n"
    "default); 1 the file was not changed: it could not be written (the reason is printed,\n"
    "such as another program keeping it locked past the wait), or the text would not read\n"
    "back as written (a line break, or a key that begins with '['); 2 wrong call.\n";

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

// The key names of `section`, or with a null section the section names, each followed by a
// NUL. The buffer grows until the whole list fits: the engine answers a list that does not
// fit with size - 2 characters.
std::string readList(platform::posix::ProfileEngine& engine, const char* section) {
    std::string buffer;
    for (std::uint32_t size = 8192;; size *= 4) {
        buffer.assign(size, '\0');
        std::uint32_t n = engine.getString(section, nullptr, "", buffer.data(), size, "");
        if (n < size - 2 || size >= (1u << 30)) {
            buffer.resize(n);
            return buffer;
        }
    }
}

// One name a line, as EnumerateCurrentSection (keys) and EnumerateAllSections (sections,
// empty names skipped) split the list.
void printNames(const std::string& list, bool skipEmpty) {
    std::size_t pos = 0;
    for (auto end = list.find('\0'); end != std::string::npos; end = list.find('\0', pos)) {
        if (end > pos || !skipEmpty)
            printLine(automation::fromCp1252(std::string_view(list).substr(pos, end - pos)));
        pos = end + 1;
    }
}

std::string whyNotChanged(int error) {
    if (error == ETIMEDOUT) {
        return "another program kept it locked for more than " +
               std::to_string(platform::posix::ProfileEngine::kLockWait.count() / 1000) +
               " seconds";
    }
    if (error != 0) return std::strerror(error);
    return "a name or value holds a line break, or the key begins with '['";
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

    // A file grown past the file size limit is a write to report, not a reason to die with
    // the new version half made.
    std::signal(SIGXFSZ, SIG_IGN);
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
    if (action == "keys") {
        printNames(readList(engine, automation::toCp1252(texts[1]).c_str()), false);
        return 0;
    }
    if (action == "sections") {
        printNames(readList(engine, nullptr), true);
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
    std::fprintf(stderr, "vantrel ini %s: %s was not changed: %s\n", action.c_str(), file.c_str(),
                 whyNotChanged(engine.lastWriteError()).c_str());
    return 1;
}

}  // namespace vantrel::app
