// The maker's components around the settings file: ConnectionSettings (the database logon),
// SharedFolders (the base data folder) and FolderCheck (does a folder exist).
#pragma once

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::interfaces {

using automation::ObjectRef;
using automation::Text;
using automation::Variant;

class ConnectionSettings {
public:
    explicit ConnectionSettings(ObjectRef settings) : o_(std::move(settings)) {}
    const ObjectRef& ref() const { return o_; }

    void Load(const Text& settingsPath) const { o_.call(u"Load", settingsPath); }
    Text Server() const { return o_.get(u"Server").toText(); }
    Text Database() const { return o_.get(u"Database").toText(); }
    Text User() const { return o_.get(u"User").toText(); }
    Text Password() const { return o_.get(u"Password").toText(); }
    // Lets the component fill in what is missing; the values may be read again afterwards.
    void Complete(bool interactive) const { o_.call(u"Complete", interactive); }
    void Confirm() const { o_.call(u"Confirm"); }

private:
    ObjectRef o_;
};

class SharedFolders {
public:
    explicit SharedFolders(ObjectRef folders) : o_(std::move(folders)) {}
    // The base data folder, without a final backslash.
    Text Folder() const { return o_.get(u"Folder").toText(); }

private:
    ObjectRef o_;
};

class FolderCheck {
public:
    explicit FolderCheck(ObjectRef check) : o_(std::move(check)) {}
    bool FolderExists(const Text& folder) const {
        Variant f(folder);
        return o_.call(u"FolderExists", automation::byRef(f)).toBool();
    }

private:
    ObjectRef o_;
};

}  // namespace vantrel::interfaces
