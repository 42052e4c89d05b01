// The ERP's API login (NextApiConnection).
//
// SetProduct(product): the product identifier; Connect refuses to log in without one.
// Connect(settingsPath) -> Boolean: reads the settings file through the INI port: the login
//   ("Api Next" keys "Login" and "password") and the company database ("Ligação" key
//   "Empresa", the same catalog the company connection opens). The login succeeds when the
//   database opens and holds an ERP user (table UTILIZADORES) with that login (any case)
//   and exactly that password. An earlier connection of the object is closed first.
// SetDatabase(dataAccess): from then on the documents work on the database the data-access
//   object has open (read through its DatabaseFile member, so any bridge will do).
// Disconnect -> Boolean: closes the login; documents handed out before can no longer reach
//   the database (their operations raise an error).
// NewSalesDocument, NewDocumentLine: new, empty objects (see sales_document.h).
// Our own members: Connected, Product, LastError (why the last Connect failed),
//   SimularFalha(operation[, message]) (see injectFailure in company_database.h).
#pragma once

#include "automation/members.h"
#include "erp/api_session.h"
#include "erp/counted_object.h"

namespace vantrel::substitutes::erp {

class NextApiConnection : public automation::TableObject<NextApiConnection, CountedObject> {
public:
    explicit NextApiConnection(const StandInContext& context);
    static const automation::Members<NextApiConnection>& members();

private:
    bool connect(automation::TextView settingsPath);
    void setDatabase(const automation::ObjectRef& dataAccess);
    void simulateFailure(const automation::Text& operation, const automation::Text& message);
    void disconnect();
    std::shared_ptr<ApiSession> session_;
    automation::Text lastError_;
};

}  // namespace vantrel::substitutes::erp
