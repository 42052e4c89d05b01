// Named data-access commands over the company database object. One DalComandos belongs to a
// Solucao and holds a counted reference to its database object from the first successful
// entry on; it never opens, closes or clears that connection.
#pragma once

#include <cstdint>

#include "automation/object.h"
#include "interfaces/core_data_access.h"

namespace vantrel::documents {

class DalComandos {
public:
    // Keeps its own reference to the database object; a later call replaces it.
    void SetDataAccess(automation::ObjectRef& dataAccess) { dados_ = dataAccess; }
    const automation::ObjectRef& dataAccess() const { return dados_; }

    // The stored lines (table DOCGCLIN) of one document, in line order. The arguments are
    // not changed. Errors come back with the source "Comandos::HlpDb_DocGcLin".
    interfaces::Recordset HlpDb_DocGcLin(const automation::Text& tipo, const std::int32_t& numero,
                                         const automation::Text& serie,
                                         const std::int16_t& ano) const;

    // The statement HlpDb_DocGcLin runs.
    static automation::Text docGcLinStatement(const automation::Text& tipo, std::int32_t numero,
                                              const automation::Text& serie, std::int16_t ano);

private:
    automation::ObjectRef dados_;
};

// A text value between apostrophes, every apostrophe inside doubled.
automation::Text sqlText(const automation::Text& value);

}  // namespace vantrel::documents
