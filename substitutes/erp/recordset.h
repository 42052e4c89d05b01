// The rows of one query as an ADO Recordset with a client-side cursor: every row is read
// when the query runs, so the recordset holds no lock on the database while it is walked.
//
// Recordset: EOF, BOF, RecordCount, MoveFirst, MoveLast, MoveNext, MovePrevious,
//   Fields [(name or ordinal from 0)], Collect(name) (the value itself), the default member
//   (name) giving the field, State (1 open, 0 closed), Close.
// Fields: Count, Item(name or ordinal), the default member.
// Field: Value, the default member (the same value), Name. A field follows the current row.
// As in ADO, reading a field without a current row, and MoveFirst or MoveLast on a recordset
// without rows, raise error 3021; an unknown field raises 3265; a closed recordset 3704.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "automation/members.h"
#include "erp/counted_object.h"
#include "erp/sqlite_database.h"

namespace vantrel::substitutes::erp {

namespace adoerr {
inline constexpr std::int32_t NoCurrentRecord = 3021;
inline constexpr std::int32_t ItemNotFound = 3265;
inline constexpr std::int32_t ObjectClosed = 3704;
}  // namespace adoerr

struct RecordsetData {
    std::vector<automation::Text> names;
    std::unordered_map<automation::Text, std::size_t>
        byName;  // upper-cased name -> first column of it
    std::vector<std::vector<automation::Variant>> rows;
    std::ptrdiff_t position = 0;  // -1 before the first row, rows.size() after the last
    bool open = true;

    bool bof() const { return rows.empty() || position < 0; }
    bool eof() const {
        return rows.empty() || position >= static_cast<std::ptrdiff_t>(rows.size());
    }
    // The column of a field name (any case) or ordinal; error 3265 when there is none.
    std::size_t column(const automation::Variant& nameOrOrdinal) const;
    // The value of a column in the current row; error 3021 without one.
    const automation::Variant& value(std::size_t column) const;
    void requireOpen() const;
};

// Runs the statement and keeps its rows.
std::shared_ptr<RecordsetData> readRecordset(Statement& statement);

// Raises ADO's error for an assignment to a recordset object (438, naming the member).
[[noreturn]] void refuseUpdate(automation::TextView member);

// The recordset objects take no assignment: every put is refused with ADO's message, whatever
// the member, before its name is looked up.
template <class T>
class ReadOnlyTable : public automation::TableObject<T, CountedObject> {
    using Table = automation::TableObject<T, CountedObject>;

public:
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override {
        if (kind == automation::CallKind::Put || kind == automation::CallKind::PutRef)
            refuseUpdate(member);
        return Table::invoke(member, kind, args);
    }
    automation::Variant invokeAt(std::size_t index, automation::CallKind kind,
                                 std::span<automation::Argument> args) override {
        if (kind == automation::CallKind::Put || kind == automation::CallKind::PutRef)
            refuseUpdate(index < T::members().size() ? T::members().nameAt(index)
                                                     : automation::TextView());
        return Table::invokeAt(index, kind, args);
    }
};

class Recordset : public ReadOnlyTable<Recordset> {
public:
    explicit Recordset(std::shared_ptr<RecordsetData> data) : data_(std::move(data)) {}
    static const automation::Members<Recordset>& members();

private:
    // The data of an open recordset; error 3704 when it is closed.
    RecordsetData& open() const;
    std::shared_ptr<RecordsetData> data_;
};

class RecordsetFields : public ReadOnlyTable<RecordsetFields> {
public:
    explicit RecordsetFields(std::shared_ptr<RecordsetData> data) : data_(std::move(data)) {}
    static const automation::Members<RecordsetFields>& members();

private:
    std::shared_ptr<RecordsetData> data_;
};

class RecordsetField : public ReadOnlyTable<RecordsetField> {
public:
    RecordsetField(std::shared_ptr<RecordsetData> data, std::size_t column)
        : data_(std::move(data)), column_(column) {}
    static const automation::Members<RecordsetField>& members();

private:
    std::shared_ptr<RecordsetData> data_;
    std::size_t column_;
};

}  // namespace vantrel::substitutes::erp
