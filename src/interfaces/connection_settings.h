// The maker's components around the settings file: ConnectionSettings (the database logon),
// SharedFolders (the base data folder) and FolderCheck (does a folder exist).
#pragma once

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::interfaces {

class ConnectionSettings {
public:
    explicit ConnectionSettings(automation::ObjectRef settings) : o_(std::move(settings)) {}
    const automation::ObjectRef& ref() const { return o_; }

    void Load(const automation::Text& settingsPath) const { o_.call(u"Load", settingsPath); }
    automation::Text Server() const { return o_.get(u"Server").toText(); }
    automation::Text Database() const { return o_.get(u"Database").toText(); }
    automation::Text User() const { return o_.get(u"User").toText(); }
    automation::Text Password() const { return o_.get(u"Password").toText(); }
    // Lets the component fill in what is missing; the values may be read again afterwards.
    void Complete(bool interactive) const { o_.call(u"Complete", interactive); }
    void Confirm() const { o_.call(u"Confirm"); }

private:
    automation::ObjectRef o_;
};

class SharedFolders {
public:
    explicit SharedFolders(automation::ObjectRef folders) : o_(std::move(folders)) {}
    // The base data folder, without a final backslash.
    automation::Text Folder() const { return o_.get(u"Folder").toText(); }

private:
    automation::ObjectRef o_;
};

class FolderCheck {
public:
    explicit FolderCheck(automation::ObjectRef check) : o_(std::move(check)) {}
    bool FolderExists(const automation::Text& folder) const {
        automation::Variant f(folder);
        return o_.call(u"FolderExists", automation::byRef(f)).toBool();
    }

private:
    automation::ObjectRef o_;
};

}  // namespace vantrel::interfaces
