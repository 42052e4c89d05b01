#include "erp/document_line.h"

#include <cmath>
#include <utility>

#include "automation/members.h"

namespace vantrel::substitutes::erp {

using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

enum class Kind { Text, Double, Long, Integer, Date, Boolean };

struct FieldInfo {
    TextView name;  // a view, so that its length is not counted again at every call
    Kind kind;
};

constexpr FieldInfo kFields[kLineFieldCount] = {
    {u"TipoDeLinha", Kind::Long},     {u"Artigo", Kind::Text},
    {u"Armazem", Kind::Text},         {u"Descricao", Kind::Text},
    {u"Quantidade", Kind::Double},    {u"QuantidadeOrigem", Kind::Double},
    {u"PrecoUnitario", Kind::Double}, {u"PrecoUnitarioIntroduzido", Kind::Double},
    {u"TaxaIva", Kind::Double},       {u"Desconto", Kind::Double},
    {u"TaxaDesconto", Kind::Double},  {u"DataMvStock", Kind::Date},
    {u"Unidade", Kind::Text},         {u"Factor", Kind::Double},
    {u"Orano", Kind::Integer},        {u"Ordoc", Kind::Text},
    {u"Orserie", Kind::Text},         {u"Ornum", Kind::Long},
    {u"LinhaOriginal", Kind::Long},   {u"LinhaRelacionada", Kind::Long},
    {u"Ordenacao", Kind::Long},       {u"LinhaAnulada", Kind::Boolean},
};

Variant emptyOf(Kind kind) {
    switch (kind) {
        case Kind::Text:
            return Variant(Text());
        case Kind::Double:
            return Variant(0.0);
        case Kind::Long:
            return Variant(std::int32_t{0});
        case Kind::Integer:
            return Variant(std::int16_t{0});
        case Kind::Date:
            return Variant::date(0);
        case Kind::Boolean:
            return Variant(false);
    }
    return Variant();
}

Variant convert(Kind kind, const Variant& v) {
    if (v.isEmpty() || v.isNull()) return emptyOf(kind);
    switch (kind) {
        case Kind::Text:
            return Variant(v.toText());
        case Kind::Double:
            return Variant(v.toDouble());
        case Kind::Long:
            return Variant(v.toLong());
        case Kind::Integer:
            return Variant(v.toInteger());
        case Kind::Date:
            return Variant::date(v.toDate());
        case Kind::Boolean:
            return Variant(v.toBool());
    }
    return v;
}

}  // namespace

TextView lineFieldName(LineField field) {
    return kFields[static_cast<std::size_t>(field)].name;
}

namespace {

// Every new line starts as a copy of this one: building 22 values afresh for each line of a
// long document showed in the profile.
const std::array<Variant, kLineFieldCount>& emptyLine() {
    static const std::array<Variant, kLineFieldCount> values = [] {
        std::array<Variant, kLineFieldCount> v;
        for (std::size_t i = 0; i < kLineFieldCount; ++i) v[i] = emptyOf(kFields[i].kind);
        v[static_cast<std::size_t>(LineField::TipoDeLinha)] = Variant(kArticleLine);
        v[static_cast<std::size_t>(LineField::Factor)] = Variant(1.0);
        return v;
    }();
    return values;
}

}  // namespace

LineData::LineData() : values(emptyLine()) {}

void LineData::set(LineField f, const Variant& value) {
    auto i = static_cast<std::size_t>(f);
    values[i] = convert(kFields[i].kind, value);
}

double roundCents(double value) {
    double r = std::round(value * 100.0) / 100.0;
    return r == 0 ? 0.0 : r;  // no "-0"
}

double LineData::netValue() const {
    double gross = number(LineField::Quantidade) * number(LineField::PrecoUnitario);
    double net = gross * (1 - number(LineField::Desconto) / 100) *
                 (1 - number(LineField::TaxaDesconto) / 100);
    return roundCents(net);
}

namespace {

using automation::Access;
using automation::Call;
using LineMembers = automation::Members<LineObject>;

template <std::size_t I>
Variant serveField(LineObject& line, Call& call) {
    constexpr auto field = static_cast<LineField>(I);
    if (!call.isPut()) return line.data()[field];
    line.edit().set(field, call.value());
    return Variant();
}

template <std::size_t... I>
LineMembers makeMembers(std::index_sequence<I...>) {
    return LineMembers{
        {kFields[I].name.data(), Access::ReadWrite, 0, 0, &serveField<I>}...,
        {u"TotalLiquido", Access::Read, 0, 0,
         [](LineObject& line, Call&) { return Variant(line.data().netValue()); }},
    };
}

}  // namespace

// The fields in their order, then the computed total.
const LineMembers& LineObject::members() {
    static const LineMembers table = makeMembers(std::make_index_sequence<kLineFieldCount>());
    return table;
}

LineData& LineObject::edit() {
    if (data_.use_count() > 1) data_ = std::make_shared<LineData>(*data_);
    return *data_;
}

std::shared_ptr<LineObject> copyLine(const ObjectRef& line) {
    if (line.isNothing()) throw RuntimeError(automation::errc::ObjectVariableNotSet);
    if (auto* ours = dynamic_cast<LineObject*>(line.get())) return ours->copy();
    LineData data;
    for (std::size_t i = 0; i < kLineFieldCount; ++i) {
        try {
            data.set(static_cast<LineField>(i), line.get(kFields[i].name));
        } catch (const RuntimeError& e) {
            if (e.number() != automation::errc::NotSupported) throw;
        }
    }
    return std::make_shared<LineObject>(std::move(data));
}

}  // namespace vantrel::substitutes::erp
