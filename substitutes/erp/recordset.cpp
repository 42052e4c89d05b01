#include "erp/recordset.h"

namespace vantrel::substitutes::erp {

using automation::argumentAt;
using automation::isMember;
using automation::isPut;
using automation::ObjectRef;
using automation::RuntimeError;

namespace {

constexpr char16_t kSource[] = u"ADODB.Recordset";

[[noreturn]] void noCurrentRecord() {
    throw RuntimeError(
        adoerr::NoCurrentRecord, kSource,
        u"Either BOF or EOF is True, or the current record has been deleted. Requested operation "
        u"requires a current record.");
}

[[noreturn]] void readOnly(TextView member) {
    throw RuntimeError(automation::errc::NotSupported, kSource,
                       u"The recordset cannot be updated (" + Text(member) + u").");
}

}  // namespace

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

Variant Recordset::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    RecordsetData& d = *data_;
    if (isPut(kind)) readOnly(member);
    if (isMember(member, u"State")) return Variant(std::int32_t{d.open ? 1 : 0});
    if (isMember(member, u"Close")) {
        d.requireOpen();
        d.open = false;
        return Variant();
    }
    d.requireOpen();
    if (isMember(member, u"EOF")) return Variant(d.eof());
    if (isMember(member, u"BOF")) return Variant(d.bof());
    if (isMember(member, u"RecordCount")) return Variant(static_cast<std::int32_t>(d.rows.size()));
    if (isMember(member, u"MoveFirst") || isMember(member, u"MoveLast")) {
        if (d.rows.empty()) noCurrentRecord();
        d.position =
            isMember(member, u"MoveFirst") ? 0 : static_cast<std::ptrdiff_t>(d.rows.size()) - 1;
        return Variant();
    }
    if (isMember(member, u"MoveNext")) {
        if (d.eof()) noCurrentRecord();
        ++d.position;
        return Variant();
    }
    if (isMember(member, u"MovePrevious")) {
        if (d.bof()) noCurrentRecord();
        --d.position;
        return Variant();
    }
    if (isMember(member, u"Fields")) {
        if (args.empty()) return Variant(ObjectRef(std::make_shared<RecordsetFields>(data_)));
        return Variant(ObjectRef(std::make_shared<RecordsetField>(data_, d.column(args[0].value))));
    }
    if (member.empty())
        return Variant(
            ObjectRef(std::make_shared<RecordsetField>(data_, d.column(argumentAt(args, 0)))));
    if (isMember(member, u"Collect")) return d.value(d.column(argumentAt(args, 0)));
    automation::unknownMember(member);
}

Variant RecordsetFields::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (isPut(kind)) readOnly(member);
    data_->requireOpen();
    if (isMember(member, u"Count")) return Variant(static_cast<std::int32_t>(data_->names.size()));
    if (member.empty() || isMember(member, u"Item")) {
        return Variant(
            ObjectRef(std::make_shared<RecordsetField>(data_, data_->column(argumentAt(args, 0)))));
    }
    automation::unknownMember(member);
}

Variant RecordsetField::invoke(TextView member, CallKind kind, std::span<Argument>) {
    if (isPut(kind)) readOnly(member);
    if (member.empty() || isMember(member, u"Value")) return data_->value(column_);
    if (isMember(member, u"Name")) {
        data_->requireOpen();
        return Variant(data_->names[column_]);
    }
    automation::unknownMember(member);
}

}  // namespace vantrel::substitutes::erp
