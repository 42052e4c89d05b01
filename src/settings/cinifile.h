// cInifile: one object per INI file. The caller sets Path, Section and Key and then reads or
// writes Value; every operation is one call of the platform's profile functions with the
// properties as they stand, so nothing is held open. Texts cross to the platform in the
// system's ANSI code page, as the profile functions convert them.
#pragma once

#include <cstdint>
#include <string>

#include "automation/object.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "interfaces/platform.h"
#include "interfaces/profile_functions.h"

namespace vantrel::settings {

class cInifile {
public:
    // `platform` gives the screen for LoadFormPosition; without it that operation fails.
    explicit cInifile(interfaces::ProfileFunctions& profile,
                      interfaces::Platform* platform = nullptr);

    // Result of the last write or delete as the platform gave it (non-zero: success).
    std::int32_t LastReturnCode() const { return lastReturnCode_; }
    bool Success() const { return lastReturnCode_ != 0; }

    const automation::Text& Default() const { return default_; }
    void setDefault(automation::TextView sDefault) { default_ = automation::Text(sDefault); }
    const automation::Text& Path() const { return path_; }
    void setPath(automation::TextView sPath) { path_ = automation::Text(sPath); }
    const automation::Text& Key() const { return key_; }
    void setKey(automation::TextView sKey) { key_ = automation::Text(sKey); }
    const automation::Text& Section() const { return section_; }
    void setSection(automation::TextView sSection) { section_ = automation::Text(sSection); }

    // The current key, cut to 254 characters; Default when the key or section is missing.
    automation::Text Value() const;
    // Writes the current key, NUL characters removed. Refused (LastReturnCode 0, the file
    // untouched) when it would not read back as written: a line break anywhere, a key that
    // begins with '[' or holds '='.
    void setValue(automation::TextView sValue);
    void DeleteKey();
    void DeleteSection();

    // The key names of the current section, each followed by a NUL (Default when none).
    automation::Text INISection() const;
    // Removes the current section, as the platform does for a null key; the text is unused.
    void setINISection(automation::TextView sSection);
    // The names of all sections, each followed by a NUL.
    automation::Text Sections() const;

    // The names of INISection / Sections in a 1-based array; iCount is how many.
    // EnumerateAllSections skips empty names.
    void EnumerateCurrentSection(automation::Array& sKey, std::int32_t& iCount) const;
    void EnumerateAllSections(automation::Array& sSections, std::int32_t& iCount) const;

    // A window's state, position and size in the current section (window_position.cpp).
    void SaveFormPosition(const automation::ObjectRef& frmThis);
    void LoadFormPosition(const automation::ObjectRef& frmThis, std::int32_t lMinWidth = 3000,
                          std::int32_t lMinHeight = 3000);

    // The text as a 32-bit integer by the locale's number rules (halves to even);
    // lDefault when it is empty, not a number or out of range.
    static std::int32_t CLngDefault(automation::TextView sString, std::int32_t lDefault = 0);

private:
    // Texts as they cross to the platform; false when one holds a NUL, which the narrow
    // functions would silently take as its end.
    [[nodiscard]] bool ansi(automation::TextView text, std::string& out) const;
    automation::Text readList(const char* section) const;

    interfaces::ProfileFunctions& profile_;
    interfaces::Platform* platform_;
    automation::Text path_;
    automation::Text key_;
    automation::Text section_;
    automation::Text default_;
    std::int32_t lastReturnCode_ = 0;
};

}  // namespace vantrel::settings
