#include "platform/posix/posix_platform.h"

#include <cups/cups.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "automation/runtime_error.h"

namespace vantrel::platform::posix {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::errc::FileNotFound;
using automation::errc::PathFileAccessError;
using interfaces::PrinterInfo;

std::string nativePath(TextView windowsPath) {
    Text p(windowsPath);
    if (p.size() >= 2 && p[1] == u':' &&
        ((p[0] >= u'A' && p[0] <= u'Z') || (p[0] >= u'a' && p[0] <= u'z'))) {
        p.erase(0, 2);
    }
    for (auto& c : p) {
        if (c == u'\\') c = u'/';
    }
    return automation::toUtf8(p);
}

bool wildcardMatch(TextView pattern, TextView name) {
    std::size_t p = 0, n = 0, star = TextView::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == u'?' ||
             automation::equalsIgnoreCase(pattern.substr(p, 1), name.substr(n, 1)))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            mark = n;
        } else if (star != TextView::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

PosixPlatform::PosixPlatform(Text moduleFolder) : moduleFolder_(std::move(moduleFolder)) {}

Text PosixPlatform::firstMatch(TextView pattern) {
    if (pattern.empty()) return Text();
    std::string path = nativePath(pattern);
    auto slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    if (leaf.empty()) return Text();
    Text wideLeaf = automation::fromUtf8(leaf);
    bool wild = leaf.find_first_of("*?") != std::string::npos;
    if (!wild) {
        // Dir() lists files, not folders.
        struct stat st {};
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return wideLeaf;
    }
    DIR* d = opendir(dir.c_str());
    if (!d) return Text();
    Text found;
    while (dirent* e = readdir(d)) {
        Text name = automation::fromUtf8(e->d_name);
        if (!wildcardMatch(wideLeaf, name)) continue;
        struct stat st {};
        std::string full = dir + "/" + e->d_name;
        if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            found = name;
            break;
        }
    }
    closedir(d);
    return found;
}

void PosixPlatform::deleteFile(TextView path) {
    std::string p = nativePath(path);
    struct stat st {};
    if (stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) throw RuntimeError(FileNotFound);
    if (unlink(p.c_str()) != 0) throw RuntimeError(PathFileAccessError);
}

std::vector<Text> PosixPlatform::readTextLines(TextView path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    if (!in) throw RuntimeError(FileNotFound);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string all = ss.str();
    return automation::cp1252Lines(all);
}

namespace {

PrinterInfo cupsPrinter(const cups_dest_t& dest) {
    const char* uri = cupsGetOption("device-uri", dest.num_options, dest.options);
    return PrinterInfo{automation::fromUtf8(dest.name), u"cups",
                       uri && *uri ? automation::fromUtf8(uri) : Text(u"CUPS")};
}

}  // namespace

std::vector<PrinterInfo> PosixPlatform::printers() {
    if (printers_) return *printers_;
    std::vector<PrinterInfo> out;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        // Instances ("printer/draft") are option sets of one queue, not printers of their own.
        if (!dests[i].instance) out.push_back(cupsPrinter(dests[i]));
    }
    cupsFreeDests(count, dests);
    return out;
}

std::optional<PrinterInfo> PosixPlatform::currentPrinter() {
    if (printers_) {
        if (printers_->empty()) return std::nullopt;
        return printers_->front();
    }
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) return std::nullopt;
    PrinterInfo info = cupsPrinter(*dest);
    cupsFreeDests(1, dest);
    return info;
}

bool PosixPlatform::folderExists(TextView folder) {
    if (folder.empty()) return false;
    struct stat st {};
    return stat(nativePath(folder).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixPlatform::appendLine(TextView path, TextView line) {
    std::ofstream out(nativePath(path), std::ios::binary | std::ios::app);
    if (!out) return false;
    out << automation::toUtf8(line) << "\r\n";
    out.flush();
    return static_cast<bool>(out);
}

interfaces::FileProbe PosixPlatform::probeFile(TextView path, std::size_t limit) {
    interfaces::FileProbe p;
    std::string native = nativePath(path);
    struct stat st {};
    if (path.empty() || stat(native.c_str(), &st) != 0) return p;
    p.exists = true;
    if (!S_ISREG(st.st_mode)) return p;
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return p;
    p.bytes.resize(limit);
    std::size_t got = 0;
    bool failed = false;
    while (got < limit) {
        ssize_t n = ::read(fd, p.bytes.data() + got, limit - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    p.bytes.resize(got);
    p.readable = !failed;
    return p;
}

bool PosixPlatform::folderWritable(TextView folder) {
    // Search and write permission are what creating a file in it takes.
    return folderExists(folder) && ::access(nativePath(folder).c_str(), W_OK | X_OK) == 0;
}

}  // namespace vantrel::platform::posix
