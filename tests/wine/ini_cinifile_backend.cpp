#include "ini_cinifile_backend.h"

#include <algorithm>
#include <cstring>

#include "settings/cinifile.h"

namespace vantrel::tests::inicases {

namespace {

using automation::fromCp1252;
using automation::toCp1252;

automation::Text text(const char* bytes) {
    return bytes ? fromCp1252(bytes) : automation::Text();
}

}  // namespace

std::uint32_t CinifileBackend::getString(const char* section, const char* key, const char* def,
                                         char* buffer, std::uint32_t size, const char* file) {
    settings::cInifile ini(profile_);
    ini.setPath(text(file));
    ini.setDefault(text(def));
    std::string got;
    if (!section) {
        got = toCp1252(ini.Sections());
    } else {
        ini.setSection(text(section));
        if (!key) {
            got = toCp1252(ini.INISection());
        } else {
            ini.setKey(text(key));
            got = toCp1252(ini.Value());
        }
    }
    std::memcpy(buffer, got.data(), std::min<std::size_t>(got.size(), size));
    return static_cast<std::uint32_t>(got.size());
}

std::int32_t CinifileBackend::writeString(const char* section, const char* key, const char* value,
                                          const char* file) {
    if (!section) return kNotExpressible;
    settings::cInifile ini(profile_);
    ini.setPath(text(file));
    ini.setSection(text(section));
    if (!key) {
        if (value) {
            ini.setINISection(text(value));
        } else {
            ini.DeleteSection();
        }
    } else {
        ini.setKey(text(key));
        if (value) {
            ini.setValue(text(value));
        } else {
            ini.DeleteKey();
        }
    }
    return ini.LastReturnCode();
}

void CinifileBackend::forget(const char* file) {
    // Three null arguments flush whatever the profile functions keep of the file.
    profile_.writeString(nullptr, nullptr, nullptr, file);
}

}  // namespace vantrel::tests::inicases
