// The database logon of a company (ConnectionSettings).
//
// Load(settingsPath) -> True: reads the "Ligação" section of the settings file through the
//   INI port: Servidor, Empresa, Username, PassWord. A missing file or key reads as empty.
// Server, Database, User, Password: the four values (also writable).
// Complete(ask) -> Boolean: whether the values are enough to connect (a server and a
//   database; an empty user and password mean the Windows login). Without `ask` it shows
//   nothing and changes nothing: the settings file is the only source of the logon here.
//   With `ask` it tells the user what is missing (exclamation box) and, for a Windows login,
//   asks whether to go on with it (Yes/No); No answers False. The message boxes cannot take
//   typed values, so nothing is ever filled in from them.
// Confirm -> Boolean: the same test as Complete without asking; Confirmed reads it back.
#pragma once

#include "automation/members.h"
#include "erp/counted_object.h"
#include "registry.h"

namespace vantrel::substitutes::erp {

class ConnectionSettings : public automation::TableObject<ConnectionSettings, CountedObject> {
public:
    explicit ConnectionSettings(const StandInContext& context) : context_(context) {}
    static const automation::Members<ConnectionSettings>& members();

    // The title of the boxes Complete shows.
    static constexpr char16_t kTitle[] = u"Ligação à base de dados";

private:
    void load(const automation::Text& settingsPath);
    bool complete(bool ask);
    bool enough() const { return !server_.empty() && !database_.empty(); }

    StandInContext context_;
    automation::Text server_, database_, user_, password_;
    bool confirmed_ = false;
};

class SharedFolders : public automation::TableObject<SharedFolders, CountedObject> {
public:
    // Folder: substitutes::dataFolder(), without a final backslash.
    static const automation::Members<SharedFolders>& members();
};

class FolderCheck : public automation::TableObject<FolderCheck, CountedObject> {
public:
    // FolderExists(path) -> Boolean: True for an existing folder (not a file).
    static const automation::Members<FolderCheck>& members();
};

}  // namespace vantrel::substitutes::erp
