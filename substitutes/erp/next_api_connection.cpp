#include "erp/next_api_connection.h"

#include "data_folder.h"
#include "erp/document_line.h"
#include "erp/profile_reader.h"
#include "erp/sales_document.h"
#include "erp/schema.h"

namespace vantrel::substitutes::erp {

using automation::argumentAt;
using automation::isMember;
using automation::RuntimeError;

NextApiConnection::NextApiConnection(const StandInContext& context)
    : session_(std::make_shared<ApiSession>(context)) {}

Variant NextApiConnection::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (automation::isPut(kind)) automation::unknownMember(member);
    if (isMember(member, u"SetProduct")) {
        session_->product = argumentAt(args, 0).toText();
        return Variant();
    }
    if (isMember(member, u"Connect")) return Variant(connect(argumentAt(args, 0).toText()));
    if (isMember(member, u"SetDatabase")) {
        ObjectRef dataAccess = argumentAt(args, 0).toObject();
        if (dataAccess.isNothing()) throw RuntimeError(automation::errc::ObjectVariableNotSet);
        session_->database();  // only a connected login takes a database
        Text file = dataAccess.get(u"DatabaseFile").toText();
        if (file.empty()) {
            throw RuntimeError(automation::errc::AutomationError, u"NextApiConnection.SetDatabase",
                               u"O objeto de acesso a dados não tem nenhuma base de dados aberta.");
        }
        if (file != session_->db->path()) session_->db = openCompanyDatabase(file);
        return Variant();
    }
    if (isMember(member, u"Disconnect")) {
        disconnect();
        return Variant(true);
    }
    if (isMember(member, u"NewSalesDocument")) {
        session_->database();
        return Variant(
            ObjectRef(std::make_shared<SalesDocument>(std::make_shared<DocumentState>(session_))));
    }
    if (isMember(member, u"NewDocumentLine")) {
        session_->database();
        return Variant(ObjectRef(std::make_shared<LineObject>()));
    }
    if (isMember(member, u"Connected")) return Variant(session_->connected);
    if (isMember(member, u"Product")) return Variant(session_->product);
    if (isMember(member, u"LastError")) return Variant(lastError_);
    if (isMember(member, u"SimularFalha")) {
        Text operation = argumentAt(args, 0).toText();
        Text message = args.size() > 1 ? args[1].value.toText() : Text();
        Database& db = session_->database();
        auto q = db.prepare("INSERT OR REPLACE INTO FALHAS (OPERACAO, MENSAGEM) VALUES (?1, ?2)");
        q.bind(1, operation).bind(2, message);
        q.run();
        return Variant();
    }
    automation::unknownMember(member);
}

void NextApiConnection::disconnect() {
    session_->connected = false;
    session_->db.reset();
    session_->login.clear();
}

bool NextApiConnection::connect(TextView settingsPath) {
    // A new session each time: documents of an earlier login stay closed.
    Text product = session_->product;
    disconnect();
    session_ = std::make_shared<ApiSession>(session_->context);
    session_->product = product;
    lastError_.clear();

    auto refuse = [&](Text why) {
        lastError_ = std::move(why);
        return false;
    };
    if (product.empty()) return refuse(u"Nenhum produto indicado (SetProduct).");
    interfaces::ProfileFunctions* profile = session_->context.profile;
    Text login = readProfileText(profile, u"Api Next", u"Login", settingsPath);
    Text password = readProfileText(profile, u"Api Next", u"password", settingsPath);
    Text catalog = readProfileText(profile, automation::T("Ligação"), u"Empresa", settingsPath);
    if (catalog.empty())
        return refuse(u"O ficheiro de configuração não indica a base de dados da empresa.");
    if (login.empty()) return refuse(u"O ficheiro de configuração não indica o utilizador da API.");

    std::shared_ptr<Database> db;
    try {
        db = openCompanyDatabase(databaseFile(catalog));
        auto q = db->prepare("SELECT PASSWORD FROM UTILIZADORES WHERE LOGIN = ?1");
        q.bind(1, login);
        if (!q.step() || q.text(0) != password) {
            return refuse(u"O utilizador " + login + u" ou a sua palavra-passe não são válidos.");
        }
    } catch (const RuntimeError& e) {
        if (e.number() != kCommandError) throw;
        return refuse(u"Não foi possível abrir a base de dados " + catalog + u": " +
                      e.description());
    }
    session_->db = std::move(db);
    session_->login = login;
    session_->connected = true;
    return true;
}

}  // namespace vantrel::substitutes::erp
