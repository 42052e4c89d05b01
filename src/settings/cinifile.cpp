#include "settings/cinifile.h"

#include <algorithm>
#include <string>
#include <vector>

#include "automation/runtime_error.h"

namespace vantrel::settings {

using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

// The platform's buffers: a value comes back cut to 254 characters, a list to 8191.
constexpr std::uint32_t kValueBuffer = 255;
constexpr std::uint32_t kListBuffer = 8192;

bool isBlank(char c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Texts that, written to the file, would not come back as the same key: a line break ends
// the line early and starts another key or section of the text's choosing, a key that
// begins with '[' reads back as a section header that takes over the keys below it, and a
// key holding '=' reads back as the part before it, with the rest joined to the value. They
// are checked as the bytes that go to the file, since the code page may give a character
// the best fit of one of these ('=' for U+2264, say).
bool wouldBreakTheFile(std::string_view section, std::string_view key, std::string_view value) {
    std::size_t first = 0;
    while (first < key.size() && isBlank(key[first])) ++first;
    return hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) ||
           (first < key.size() && key[first] == '[') || key.find('=') != std::string_view::npos;
}

Text upToNul(TextView text) {
    return Text(text.substr(0, text.find(u'\0')));
}

void split(const Text& list, bool skipEmpty, automation::Array& names, std::int32_t& count) {
    std::vector<Text> found;
    std::size_t pos = 0;
    // Characters after the last NUL are not a name.
    for (auto next = list.find(u'\0'); next != Text::npos; next = list.find(u'\0', pos)) {
        Text name = list.substr(pos, next - pos);
        if (!(skipEmpty && name.empty())) found.push_back(std::move(name));
        pos = next + 1;
    }
    count = static_cast<std::int32_t>(found.size());
    names = automation::Array::ofTexts(found, found.empty() ? 0 : 1);
}

}  // namespace

cInifile::cInifile(interfaces::ProfileFunctions& profile, interfaces::Platform* platform)
    : profile_(profile), platform_(platform) {}

bool cInifile::ansi(TextView text, std::string& out) const {
    if (text.find(u'\0') != TextView::npos) return false;
    out = profile_.toAnsi(text);
    return true;
}

Text cInifile::Value() const {
    std::string section, key, path, def = profile_.toAnsi(upToNul(default_));
    // A name with a NUL in it cannot be in the file.
    if (!ansi(section_, section) || !ansi(key_, key) || !ansi(path_, path))
        return upToNul(default_);
    std::string buffer(kValueBuffer, ' ');
    std::uint32_t n = profile_.getString(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                         kValueBuffer, path.c_str());
    return profile_.fromAnsi(std::string_view(buffer).substr(0, std::min(n, kValueBuffer)));
}

void cInifile::setValue(TextView sValue) {
    Text value(sValue);
    std::erase(value, u'\0');
    std::string section, key, path, text = profile_.toAnsi(value);
    if (!ansi(section_, section) || !ansi(key_, key) || !ansi(path_, path) ||
        wouldBreakTheFile(section, key, text)) {
        lastReturnCode_ = 0;
        return;
    }
    lastReturnCode_ =
        profile_.writeString(section.c_str(), key.c_str(), text.c_str(), path.c_str());
}

void cInifile::DeleteKey() {
    std::string section, key, path;
    if (!ansi(section_, section) || !ansi(key_, key) || !ansi(path_, path)) {
        lastReturnCode_ = 0;
        return;
    }
    lastReturnCode_ = profile_.writeString(section.c_str(), key.c_str(), nullptr, path.c_str());
}

void cInifile::DeleteSection() {
    std::string section, path;
    if (!ansi(section_, section) || !ansi(path_, path)) {
        lastReturnCode_ = 0;
        return;
    }
    lastReturnCode_ = profile_.writeString(section.c_str(), nullptr, nullptr, path.c_str());
}

void cInifile::setINISection(TextView sSection) {
    std::string section, path, text = profile_.toAnsi(upToNul(sSection));
    if (!ansi(section_, section) || !ansi(path_, path)) {
        lastReturnCode_ = 0;
        return;
    }
    lastReturnCode_ = profile_.writeString(section.c_str(), nullptr, text.c_str(), path.c_str());
}

Text cInifile::readList(const char* section) const {
    std::string path, def = profile_.toAnsi(upToNul(default_));
    if (!ansi(path_, path)) return upToNul(default_);
    std::string buffer(kListBuffer, ' ');
    std::uint32_t n =
        profile_.getString(section, nullptr, def.c_str(), buffer.data(), kListBuffer, path.c_str());
    return profile_.fromAnsi(std::string_view(buffer).substr(0, std::min(n, kListBuffer)));
}

Text cInifile::INISection() const {
    std::string section;
    if (!ansi(section_, section)) return upToNul(default_);
    return readList(section.c_str());
}

Text cInifile::Sections() const {
    return readList(nullptr);
}

void cInifile::EnumerateCurrentSection(automation::Array& sKey, std::int32_t& iCount) const {
    split(INISection(), false, sKey, iCount);
}

void cInifile::EnumerateAllSections(automation::Array& sSections, std::int32_t& iCount) const {
    split(Sections(), true, sSections, iCount);
}

std::int32_t cInifile::CLngDefault(TextView sString, std::int32_t lDefault) {
    try {
        return Variant(sString).toLong();
    } catch (const automation::RuntimeError&) {
        return lDefault;
    }
}

}  // namespace vantrel::settings
