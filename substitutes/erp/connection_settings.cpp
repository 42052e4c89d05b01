#include "erp/connection_settings.h"

#include <system_error>

#include "data_folder.h"
#include "erp/profile_reader.h"
#include "erp/sqlite_database.h"

namespace vantrel::substitutes::erp {

using automation::argumentAt;
using automation::isMember;
using automation::RuntimeError;
namespace msgbox = interfaces::msgbox;

Variant ConnectionSettings::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const bool put = automation::isPut(kind);
    struct Field {
        const char16_t* name;
        Text* value;
    };
    for (Field f : {Field{u"Server", &server_}, Field{u"Database", &database_},
                    Field{u"User", &user_}, Field{u"Password", &password_}}) {
        if (!isMember(member, f.name)) continue;
        if (put) {
            *f.value = argumentAt(args, args.size() - 1).toText();
            confirmed_ = false;
            return Variant();
        }
        return Variant(*f.value);
    }
    if (put) automation::unknownMember(member);
    if (isMember(member, u"Load")) {
        Text path = argumentAt(args, 0).toText();
        Text section = automation::T("Ligação");
        server_ = readProfileText(context_.profile, section, u"Servidor", path);
        database_ = readProfileText(context_.profile, section, u"Empresa", path);
        user_ = readProfileText(context_.profile, section, u"Username", path);
        password_ = readProfileText(context_.profile, section, u"PassWord", path);
        confirmed_ = false;
        return Variant(true);
    }
    if (isMember(member, u"Complete"))
        return Variant(complete(!args.empty() && args[0].value.toBool()));
    if (isMember(member, u"Confirm")) {
        confirmed_ = enough();
        return Variant(confirmed_);
    }
    if (isMember(member, u"Confirmed")) return Variant(confirmed_);
    automation::unknownMember(member);
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

Variant SharedFolders::invoke(TextView member, CallKind kind, std::span<Argument>) {
    if (!automation::isPut(kind) && isMember(member, u"Folder")) return Variant(dataFolder());
    automation::unknownMember(member);
}

Variant FolderCheck::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (!automation::isPut(kind) && isMember(member, u"FolderExists")) {
        Text path = argumentAt(args, 0).toText();
        if (path.empty()) return Variant(false);
        std::error_code ec;
        return Variant(std::filesystem::is_directory(fileSystemPath(path), ec));
    }
    automation::unknownMember(member);
}

}  // namespace vantrel::substitutes::erp
