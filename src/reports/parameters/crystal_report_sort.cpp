#include "reports/parameters/crystal_report_sort.h"

#include <utility>
#include <vector>

#include "automation/runtime_error.h"

namespace vantrel::reports::parameters {

using automation::Array;
using automation::RuntimeError;
using automation::Variant;
namespace errc = automation::errc;

namespace {

struct Record {
    Variant Indice;  // 16-bit position before sorting
    Variant Texto;
};

void exchange(Record& a, Record& b) {
    std::swap(a, b);
}

// Every pair (i, j > i) is compared once; only a strictly greater text at i moves.
void sortRecords(std::vector<Record>& records) {
    const std::size_t count = records.size();
    for (std::size_t i = 0; i + 1 < count; ++i) {
        for (std::size_t j = i + 1; j < count; ++j) {
            if (automation::compare(records[i].Texto, records[j].Texto) > 0) {
                exchange(records[i], records[j]);
            }
        }
    }
}

}  // namespace

void CrystalReportSort::OrdenaTextos(Array& Lista, Array& Indices) {
    const std::int32_t lower = Lista.lbound();
    const std::int32_t upper = Lista.ubound();
    if (upper < lower) return;
    // The working list always runs from 0 to the upper index of Lista.
    if (lower < 0) throw RuntimeError(errc::SubscriptOutOfRange);
    // Indices that cannot take every position are refused before Lista is touched: found
    // half-way, the error would leave Lista with some texts twice and others gone.
    if (Indices.lbound() > lower || Indices.ubound() < upper)
        throw RuntimeError(errc::SubscriptOutOfRange);
    std::vector<Record> records(static_cast<std::size_t>(upper) + 1);
    for (std::int32_t i = lower; i <= upper; ++i) {
        auto& r = records[static_cast<std::size_t>(i)];
        r.Texto = Variant(Lista.at(i).toText());
        r.Indice = Variant(automation::roundToInteger(i));
    }
    sortRecords(records);
    for (std::int32_t k = lower; k <= upper; ++k) {
        const auto& r = records[static_cast<std::size_t>(k)];
        Lista.at(k) = Variant(r.Texto.toText());
        Indices.at(k) = Variant(r.Indice.toLong());
    }
}

}  // namespace vantrel::reports::parameters
