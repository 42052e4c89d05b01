// The ERP automation API login of the maker's core library (NextApiConnection): it logs in
// with the login of a settings file and hands out new document and line objects.
#pragma once

#include "automation/object.h"
#include "interfaces/host_document.h"

namespace vantrel::interfaces {

class NextApiConnection {
public:
    NextApiConnection() = default;
    explicit NextApiConnection(automation::ObjectRef connection) : o_(std::move(connection)) {}
    const automation::ObjectRef& ref() const { return o_; }
    bool isNothing() const { return o_.isNothing(); }

    void SetProduct(const automation::Text& product) const;
    // True when the login succeeded; the component reads the login from the file itself.
    bool Connect(const automation::Text& settingsPath) const {
        return o_.call(u"Connect", settingsPath).toBool();
    }
    void SetDatabase(automation::ObjectRef& dataAccess) const;
    automation::Variant Disconnect() const { return o_.call(u"Disconnect"); }
    HostDocument NewSalesDocument() const { return HostDocument(o_.object(u"NewSalesDocument")); }
    DocumentLine NewDocumentLine() const { return DocumentLine(o_.object(u"NewDocumentLine")); }

private:
    automation::ObjectRef o_;
};

// Out-of-line members.

inline void NextApiConnection::SetProduct(const automation::Text& product) const {
    automation::Variant p(product);
    o_.call(u"SetProduct", automation::byRef(p));
}

inline void NextApiConnection::SetDatabase(automation::ObjectRef& dataAccess) const {
    automation::Variant d(dataAccess);
    o_.call(u"SetDatabase", automation::byRef(d));
    if (d.isObject()) dataAccess = d.toObject();
}

}  // namespace vantrel::interfaces
