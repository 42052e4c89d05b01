// The ERP's document line: a bag of typed properties. Values given to a property are
// converted to its type (a text "1,5" becomes 1.5 under a Portuguese locale); Null or Empty
// give the property's empty value, as the ERP does for a database column without value.
//
// Members: TipoDeLinha (1 article line, 2 comment line), Artigo, Armazem, Descricao,
// Quantidade, QuantidadeOrigem, PrecoUnitario, PrecoUnitarioIntroduzido, TaxaIva (percent),
// Desconto and TaxaDesconto (percent, applied one after the other), DataMvStock, Unidade,
// Factor, Orano, Ordoc, Orserie, Ornum, LinhaOriginal, LinhaRelacionada, Ordenacao,
// LinhaAnulada (stored as LINANU = -1), and the read-only TotalLiquido.
#pragma once

#include <array>
#include <cstdint>

#include "automation/members.h"
#include "erp/counted_object.h"

namespace vantrel::substitutes::erp {

enum class LineField {
    TipoDeLinha,
    Artigo,
    Armazem,
    Descricao,
    Quantidade,
    QuantidadeOrigem,
    PrecoUnitario,
    PrecoUnitarioIntroduzido,
    TaxaIva,
    Desconto,
    TaxaDesconto,
    DataMvStock,
    Unidade,
    Factor,
    Orano,
    Ordoc,
    Orserie,
    Ornum,
    LinhaOriginal,
    LinhaRelacionada,
    Ordenacao,
    LinhaAnulada,
};
inline constexpr std::size_t kLineFieldCount =
    static_cast<std::size_t>(LineField::LinhaAnulada) + 1;

inline constexpr std::int32_t kArticleLine = 1;
inline constexpr std::int32_t kCommentLine = 2;

// The member name of a field.
automation::TextView lineFieldName(LineField field);

struct LineData {
    LineData();
    std::array<automation::Variant, kLineFieldCount> values;

    const automation::Variant& operator[](LineField f) const {
        return values[static_cast<std::size_t>(f)];
    }
    // Converts the value to the field's type (RuntimeError 13 or 6 when it cannot be).
    void set(LineField f, const automation::Variant& value);

    automation::Text text(LineField f) const { return (*this)[f].text(); }
    double number(LineField f) const { return (*this)[f].toDouble(); }
    std::int32_t lineType() const { return (*this)[LineField::TipoDeLinha].toLong(); }
    bool cancelled() const { return (*this)[LineField::LinhaAnulada].toBool(); }
    // Quantity x price less both discounts, rounded to cents.
    double netValue() const;
};

// A line's values are shared with its copies until one of them changes: a document copies
// every line when it is cloned or given a line, and most copies are never changed.
class LineObject : public automation::TableObject<LineObject, CountedObject> {
public:
    LineObject() : data_(std::make_shared<LineData>()) {}
    explicit LineObject(LineData data) : data_(std::make_shared<LineData>(std::move(data))) {}

    static const automation::Members<LineObject>& members();

    const LineData& data() const { return *data_; }
    // The values to change, copied first while another line shares them.
    LineData& edit();
    // A new line with the same values.
    std::shared_ptr<LineObject> copy() const { return std::make_shared<LineObject>(*this); }

private:
    std::shared_ptr<LineData> data_;
};

// A copy of any line object: of a line of ours directly, member by member of any other (a
// line that reaches us through another bridge); a member the other object lacks keeps its
// empty value.
std::shared_ptr<LineObject> copyLine(const automation::ObjectRef& line);

double roundCents(double value);

}  // namespace vantrel::substitutes::erp
