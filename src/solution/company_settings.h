// A company's settings file: where it is and which keys the add-in reads from it. The entry
// into a company and `vantrel doctor` both go through these, so they cannot disagree about
// which file is meant or what a key holds.
#pragma once

#include <span>

#include "interfaces/profile_functions.h"
#include "interfaces/services.h"
#include "solution/solucao.h"

namespace vantrel::solution {

struct SettingsLocation {
    automation::Text baseFolder;    // SharedFolders.Folder, without a final backslash
    automation::Text talmekFolder;  // baseFolder + "\talmek"
    bool talmekExists = false;      // FolderCheck's answer for talmekFolder
    automation::Text folder;        // talmekFolder, or the add-in's own folder when it is missing
    automation::Text path;          // folder + "\VANTREL." + company
};

// Asks SharedFolders and FolderCheck (each created for this call) where the file of
// `empresa` is. Errors of the components pass to the caller.
SettingsLocation locateSettingsFile(const interfaces::Services& services,
                                    const automation::Text& empresa);

struct SettingsKey {
    const char* section;  // UTF-8
    const char16_t* key;
    automation::Text SolucaoFields::*field;
};

// The keys in the order the add-in reads them, with the field each one fills.
std::span<const SettingsKey> settingsKeys();

// Reads every key of settingsKeys() from `path` into `fields`; a missing file, section or key
// gives an empty text.
void readSettings(interfaces::ProfileFunctions& profile, const automation::Text& path,
                  SolucaoFields& fields);

// Whether the file may be used for `empresa`: a file whose "Api Next" company is another is
// refused, unless it names no company database at all.
bool settingsBelongTo(const SolucaoFields& fields, const automation::Text& empresa);

}  // namespace vantrel::solution
