#include "erp/next_api_connection.h"

#include "data_folder.h"
#include "erp/document_line.h"
#include "erp/profile_reader.h"
#include "erp/sales_document.h"
#include "erp/schema.h"

namespace vantrel::substitutes::erp {

using automation::Access;
using automation::Call;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

NextApiConnection::NextApiConnection(const StandInContext& context)
    : session_(std::make_shared<ApiSession>(context)) {}

// Every member but SetProduct, Connect and the plain values needs a connected login.
const automation::Members<NextApiConnection>& NextApiConnection::members() {
    using M = automation::Members<NextApiConnection>;
    static const M table{
        {u"SetProduct", Access::Read, 1, 1,
         [](NextApiConnection& a, Call& c) {
             a.session_->product = c.arg(0).toText();
             return Variant();
         }},
        {u"Connect", Access::Read, 1, 1,
         [](NextApiConnection& a, Call& c) { return Variant(a.connect(c.arg(0).toText())); }},
        {u"SetDatabase", Access::Read, 1, 1,
         [](NextApiConnection& a, Call& c) {
             a.setDatabase(c.arg(0).toObject());
             return Variant();
         }},
        {u"Disconnect", Access::Read, 0, 0,
         [](NextApiConnection& a, Call&) {
             a.disconnect();
             return Variant(true);
         }},
        {u"NewSalesDocument", Access::Read, 0, 0,
         [](NextApiConnection& a, Call&) {
             a.session_->database();
             return Variant(ObjectRef(
                 std::make_shared<SalesDocument>(std::make_shared<DocumentState>(a.session_))));
         }},
        {u"NewDocumentLine", Access::Read, 0, 0,
         [](NextApiConnection& a, Call&) {
             a.session_->database();
             return Variant(ObjectRef(std::make_shared<LineObject>()));
         }},
        {u"Connected", Access::Read, 0, 0,
         [](NextApiConnection& a, Call&) { return Variant(a.session_->connected); }},
        {u"Product", Access::Read, 0, 0,
         [](NextApiConnection& a, Call&) { return Variant(a.session_->product); }},
        {u"LastError", Access::Read, 0, 0,
         [](NextApiConnection& a, Call&) { return Variant(a.lastError_); }},
        // SimularFalha(operation[, message]).
        {u"SimularFalha", Access::Read, 1, 2,
         [](NextApiConnection& a, Call& c) {
             Text operation = c.arg(0).toText();
             a.simulateFailure(operation, c.has(1) ? c.arg(1).toText() : Text());
             return Variant();
         }},
    };
    return table;
}

void NextApiConnection::setDatabase(const ObjectRef& dataAccess) {
    if (dataAccess.isNothing()) throw RuntimeError(automation::errc::ObjectVariableNotSet);
    session_->database();  // only a connected login takes a database
    Text file = dataAccess.get(u"DatabaseFile").toText();
    if (file.empty()) {
        throw RuntimeError(automation::errc::AutomationError, u"NextApiConnection.SetDatabase",
                           u"O objeto de acesso a dados não tem nenhuma base de dados aberta.");
    }
    if (file != session_->db->path()) session_->db = openCompanyDatabase(file);
}

void NextApiConnection::simulateFailure(const Text& operation, const Text& message) {
    Database& db = session_->database();
    auto q = db.prepare("INSERT OR REPLACE INTO FALHAS (OPERACAO, MENSAGEM) VALUES (?1, ?2)");
    q.bind(1, operation).bind(2, message);
    q.run();
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
