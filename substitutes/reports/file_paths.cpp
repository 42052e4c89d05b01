#include "file_paths.h"

namespace vantrel::substitutes::reports {

namespace {

automation::Text translated(automation::TextView windowsPath) {
    automation::Text p(windowsPath);
#ifndef _WIN32
    if (p.size() >= 2 && p[1] == u':' &&
        ((p[0] >= u'A' && p[0] <= u'Z') || (p[0] >= u'a' && p[0] <= u'z'))) {
        p.erase(0, 2);
    }
    for (auto& c : p) {
        if (c == u'\\') c = u'/';
    }
#endif
    return p;
}

}  // namespace

std::filesystem::path nativeFile(automation::TextView windowsPath) {
#ifdef _WIN32
    const automation::Text p = translated(windowsPath);
    return std::filesystem::path(std::wstring(p.begin(), p.end()));
#else
    return std::filesystem::path(automation::toUtf8(translated(windowsPath)));
#endif
}

std::string nativeFileUtf8(automation::TextView windowsPath) {
    return automation::toUtf8(translated(windowsPath));
}

}  // namespace vantrel::substitutes::reports
