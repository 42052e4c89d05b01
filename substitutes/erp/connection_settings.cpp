#include "erp/connection_settings.h"

#include <system_error>

#include "data_folder.h"
#include "erp/profile_reader.h"
#include "erp/sqlite_database.h"

namespace vantrel::substitutes::erp {

using automation::Access;
using automation::Call;
using automation::RuntimeError;
using automation::Text;
using automation::Variant;
namespace msgbox = interfaces::msgbox;

// One of the four logon values; a new value wants a new Confirm.
#define VANTREL_LOGON_VALUE(name, field)                                         \
    M::Member {                                                                  \
        u"" #name, Access::ReadWrite, 0, 0, [](ConnectionSettings& s, Call& c) { \
            if (!c.isPut()) return Variant(s.field);                             \
            s.field = c.value().toText();                                        \
            s.confirmed_ = false;                                                \
            return Variant();                                                    \
        }                                                                        \
    }

const automation::Members<ConnectionSettings>& ConnectionSettings::members() {
    using M = automation::Members<ConnectionSettings>;
    static const M table{
        VANTREL_LOGON_VALUE(Server, server_),
        VANTREL_LOGON_VALUE(Database, database_),
        VANTREL_LOGON_VALUE(User, user_),
        VANTREL_LOGON_VALUE(Password, password_),
        {u"Load", Access::Read, 1, 1,
         [](ConnectionSettings& s, Call& c) {
             s.load(c.arg(0).toText());
             return Variant(true);
         }},
        // Complete([ask]): without it, nothing is asked.
        {u"Complete", Access::Read, 0, 1,
         [](ConnectionSettings& s, Call& c) {
             return Variant(s.complete(c.has(0) && c.arg(0).toBool()));
         }},
        {u"Confirm", Access::Read, 0, 0,
         [](ConnectionSettings& s, Call&) {
             s.confirmed_ = s.enough();
             return Variant(s.confirmed_);
         }},
        {u"Confirmed", Access::Read, 0, 0,
         [](ConnectionSettings& s, Call&) { return Variant(s.confirmed_); }},
    };
    return table;
}

#undef VANTREL_LOGON_VALUE

void ConnectionSettings::load(const Text& path) {
    Text section = automation::T("Ligação");
    server_ = readProfileText(context_.profile, section, u"Servidor", path);
    database_ = readProfileText(context_.profile, section, u"Empresa", path);
    user_ = readProfileText(context_.profile, section, u"Username", path);
    password_ = readProfileText(context_.profile, section, u"PassWord", path);
    confirmed_ = false;
}

bool ConnectionSettings::complete(bool ask) {
    if (!ask) return enough();
    if (!context_.dialogs) {
        throw RuntimeError(automation::errc::AutomationError, u"ConnectionSettings",
                           u"No message boxes were given to the stand-ins.");
    }
    if (!enough()) {
        Text missing;
        if (server_.empty()) missing += u"Servidor";
        if (database_.empty()) missing += Text(missing.empty() ? u"" : u", ") + u"Empresa";
        context_.dialogs->messageBox(
            automation::T("Faltam dados da ligação à base de dados na secção Ligação do "
                          "ficheiro de configuração: ") +
                missing + u".",
            msgbox::OkOnly | msgbox::Exclamation, Text(kTitle));
        return false;
    }
    if (user_.empty() && password_.empty()) {
        int answer =
            context_.dialogs->messageBox(automation::T("A ligação à base de dados ") + database_ +
                                             automation::T(" vai usar a autenticação do "
                                                           "Windows. Continuar?"),
                                         msgbox::YesNo | msgbox::Question, Text(kTitle));
        if (answer != msgbox::AnswerYes) return false;
    }
    return true;
}

const automation::Members<SharedFolders>& SharedFolders::members() {
    static const automation::Members<SharedFolders> table{
        {u"Folder", Access::Read, 0, 0,
         [](SharedFolders&, Call&) { return Variant(dataFolder()); }},
    };
    return table;
}

const automation::Members<FolderCheck>& FolderCheck::members() {
    static const automation::Members<FolderCheck> table{
        {u"FolderExists", Access::Read, 1, 1,
         [](FolderCheck&, Call& c) {
             Text path = c.arg(0).toText();
             if (path.empty()) return Variant(false);
             std::error_code ec;
             return Variant(std::filesystem::is_directory(fileSystemPath(path), ec));
         }},
    };
    return table;
}

}  // namespace vantrel::substitutes::erp
