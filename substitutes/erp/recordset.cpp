#include "erp/recordset.h"

namespace vantrel::substitutes::erp {

using automation::Access;
using automation::Call;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

constexpr char16_t kSource[] = u"ADODB.Recordset";

[[noreturn]] void noCurrentRecord() {
    throw RuntimeError(
        adoerr::NoCurrentRecord, kSource,
        u"Either BOF or EOF is True, or the current record has been deleted. Requested operation "
        u"requires a current record.");
}

ObjectRef fieldObject(const std::shared_ptr<RecordsetData>& data, const Variant& nameOrOrdinal) {
    return ObjectRef(std::make_shared<RecordsetField>(data, data->column(nameOrOrdinal)));
}

}  // namespace

void refuseUpdate(TextView member) {
    throw RuntimeError(automation::errc::NotSupported, kSource,
                       u"The recordset cannot be updated (" + Text(member) + u").");
}

void RecordsetData::requireOpen() const {
    if (!open)
        throw RuntimeError(adoerr::ObjectClosed, kSource,
                           u"Operation is not allowed when the object is closed.");
}

std::size_t RecordsetData::column(const Variant& key) const {
    requireOpen();
    if (key.isNumeric()) {
        std::int32_t ordinal = key.toLong();
        if (ordinal >= 0 && static_cast<std::size_t>(ordinal) < names.size())
            return static_cast<std::size_t>(ordinal);
    } else if (!key.isObject() && !key.isNull()) {
        // Columns are mostly asked for as the query spelled them; a row reads every one.
        if (key.isString()) {
            const Text& name = key.text();
            for (std::size_t c = 0; c < names.size(); ++c) {
                if (names[c] == name) return c;
            }
        }
        auto it = byName.find(automation::ucase(key.toText()));
        if (it != byName.end()) return it->second;
    }
    throw RuntimeError(
        adoerr::ItemNotFound, kSource,
        u"Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

const Variant& RecordsetData::value(std::size_t column) const {
    requireOpen();
    if (bof() || eof()) noCurrentRecord();
    return rows[static_cast<std::size_t>(position)][column];
}

std::shared_ptr<RecordsetData> readRecordset(Statement& statement) {
    auto data = std::make_shared<RecordsetData>();
    int columns = statement.columnCount();
    for (int c = 0; c < columns; ++c) {
        data->names.push_back(statement.columnName(c));
        data->byName.emplace(automation::ucase(data->names.back()), static_cast<std::size_t>(c));
    }
    while (statement.step()) {
        std::vector<Variant> row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c) row.push_back(statement.value(c));
        data->rows.push_back(std::move(row));
    }
    return data;
}

RecordsetData& Recordset::open() const {
    data_->requireOpen();
    return *data_;
}

// State and Close answer on a closed recordset too; the other members need it open.
const automation::Members<Recordset>& Recordset::members() {
    using M = automation::Members<Recordset>;
    static const M table{
        {
            {u"State", Access::Read, 0, 0,
             [](Recordset& r, Call&) { return Variant(std::int32_t{r.data_->open ? 1 : 0}); }},
            {u"Close", Access::Read, 0, 0,
             [](Recordset& r, Call&) {
                 r.open().open = false;
                 return Variant();
             }},
            {u"EOF", Access::Read, 0, 0,
             [](Recordset& r, Call&) { return Variant(r.open().eof()); }},
            {u"BOF", Access::Read, 0, 0,
             [](Recordset& r, Call&) { return Variant(r.open().bof()); }},
            {u"RecordCount", Access::Read, 0, 0,
             [](Recordset& r, Call&) {
                 return Variant(static_cast<std::int32_t>(r.open().rows.size()));
             }},
            {u"MoveFirst", Access::Read, 0, 0,
             [](Recordset& r, Call&) {
                 RecordsetData& d = r.open();
                 if (d.rows.empty()) noCurrentRecord();
                 d.position = 0;
                 return Variant();
             }},
            {u"MoveLast", Access::Read, 0, 0,
             [](Recordset& r, Call&) {
                 RecordsetData& d = r.open();
                 if (d.rows.empty()) noCurrentRecord();
                 d.position = static_cast<std::ptrdiff_t>(d.rows.size()) - 1;
                 return Variant();
             }},
            {u"MoveNext", Access::Read, 0, 0,
             [](Recordset& r, Call&) {
                 RecordsetData& d = r.open();
                 if (d.eof()) noCurrentRecord();
                 ++d.position;
                 return Variant();
             }},
            {u"MovePrevious", Access::Read, 0, 0,
             [](Recordset& r, Call&) {
                 RecordsetData& d = r.open();
                 if (d.bof()) noCurrentRecord();
                 --d.position;
                 return Variant();
             }},
            // Fields is the collection; Fields(name) and the default member (name) the field.
            {u"Fields", Access::Read, 0, 1,
             [](Recordset& r, Call& c) {
                 r.open();
                 if (!c.has(0))
                     return Variant(ObjectRef(std::make_shared<RecordsetFields>(r.data_)));
                 return Variant(fieldObject(r.data_, c.arg(0)));
             }},
            {u"Collect", Access::Read, 1, 1,
             [](Recordset& r, Call& c) {
                 RecordsetData& d = r.open();
                 return d.value(d.column(c.arg(0)));
             }},
        },
        u"Fields"};
    return table;
}

const automation::Members<RecordsetFields>& RecordsetFields::members() {
    using M = automation::Members<RecordsetFields>;
    static const M table{
        {
            {u"Count", Access::Read, 0, 0,
             [](RecordsetFields& f, Call&) {
                 f.data_->requireOpen();
                 return Variant(static_cast<std::int32_t>(f.data_->names.size()));
             }},
            {u"Item", Access::Read, 1, 1,
             [](RecordsetFields& f, Call& c) { return Variant(fieldObject(f.data_, c.arg(0))); }},
        },
        u"Item"};
    return table;
}

// A field follows the current row of its recordset.
const automation::Members<RecordsetField>& RecordsetField::members() {
    using M = automation::Members<RecordsetField>;
    static const M table{{
                             {u"Value", Access::Read, 0, 0,
                              [](RecordsetField& f, Call&) { return f.data_->value(f.column_); }},
                             {u"Name", Access::Read, 0, 0,
                              [](RecordsetField& f, Call&) {
                                  f.data_->requireOpen();
                                  return Variant(f.data_->names[f.column_]);
                              }},
                         },
                         u"Value"};
    return table;
}

}  // namespace vantrel::substitutes::erp
