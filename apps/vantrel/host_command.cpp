// vantrel host: plays the ERP for one company so that a person can try the add-in. It
// creates a Solucao over the stand-ins, reads commands (from a file or standard input) and
// turns each into the calls the ERP would make: entering and leaving the company, host
// operations, storing documents and saving them (which fires Vendas_OnGravar). Here: the
// program's options; the commands are read in host_requests, run in host_session and
// printed by host_output.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "commands.h"
#include "data_folder.h"
#include "host_requests.h"
#include "host_session.h"

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

int runHost(const Arguments& args) {
    host::Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(host::hostUsage().c_str(), stdout);
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
                         host::hostUsage().c_str());
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
    host::HostSession session(o, std::cout, keyboard);
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
