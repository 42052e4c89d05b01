// The maker's company database object (CoreDataAccess) and the ADO recordsets it hands out,
// reached by member name.
#pragma once

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::interfaces {

// An ADO Recordset: walked with MoveFirst, EOF and MoveNext, fields read by column name.
class Recordset {
public:
    Recordset() = default;
    explicit Recordset(automation::ObjectRef recordset) : o_(std::move(recordset)) {}
    const automation::ObjectRef& ref() const { return o_; }
    bool isNothing() const { return o_.isNothing(); }

    bool Eof() const { return o_.get(u"EOF").toBool(); }
    void MoveFirst() const { o_.call(u"MoveFirst"); }
    void MoveNext() const { o_.call(u"MoveNext"); }
    // rs.Fields(name).Value; a collection that answers the value itself is taken as it is.
    automation::Variant field(automation::TextView column) const;
    // rs.Fields(name) when it is a Field object. A Field follows the current record, so a
    // loop over many rows looks each column up once and then reads only its Value.
    automation::ObjectRef fieldObject(automation::TextView column) const {
        automation::Variant f = o_.get(u"Fields", automation::Text(column));
        return f.isSetObject() ? f.toObject() : automation::ObjectRef();
    }

private:
    automation::ObjectRef o_;
};

class CoreDataAccess {
public:
    CoreDataAccess() = default;
    explicit CoreDataAccess(automation::ObjectRef dataAccess) : o_(std::move(dataAccess)) {}
    const automation::ObjectRef& ref() const { return o_; }

    // True when the connection is open.
    bool Open(const automation::Text& connectionString) const {
        return o_.call(u"Open", connectionString).toBool();
    }
    automation::Variant Close() const { return o_.call(u"Close"); }
    // Runs a query; the rows come back through the by-reference recordset argument. The
    // call's own answer is not meaningful; a failure is raised.
    Recordset OpenRecordset(const automation::Text& sql) const;

private:
    automation::ObjectRef o_;
};

// Out-of-line members.

inline automation::Variant Recordset::field(automation::TextView column) const {
    automation::Variant f = o_.get(u"Fields", automation::Text(column));
    if (f.isSetObject()) return f.toObject().get(u"Value");
    return f;
}

inline Recordset CoreDataAccess::OpenRecordset(const automation::Text& sql) const {
    automation::Variant rows;
    automation::Variant query(sql);
    o_.call(u"OpenRecordset", automation::Text(), query, automation::byRef(rows), true,
            std::int32_t{0});
    if (!rows.isSetObject()) {
        throw automation::RuntimeError(automation::errc::ObjectVariableNotSet);
    }
    return Recordset(rows.toObject());
}

}  // namespace vantrel::interfaces
