// Documents of the stand-in ERP in the company database: headers in DOCGCCAB, lines in
// DOCGCLIN (one row per line, ORDENACA = the line's position from 1).
#pragma once

#include "erp/document_state.h"

namespace vantrel::substitutes::erp {

// Loads the stored document into `doc`: the header now, the lines when they are first used
// (DocumentState::lines). False when there is none; `doc` is then left empty, with
// NossoNoDocumento 0.
bool loadDocument(Database& db, const DocumentId& id, DocumentState& doc);

bool documentExists(Database& db, const DocumentId& id);

// Stores the document, inside a write transaction the caller holds: the next number of its type,
// series and year when NossoNoDocumento is 0, else that number (which must be free). A number is
// never given twice, even after its document was removed. Fills in the number, the date (today when
// unset), the tax bases and each line's Ordenacao. Returns false, with a message in the
// document's log, when the number is taken.
bool storeDocument(Database& db, DocumentState& doc, double today);

// Removes header and lines; false when there was no such document.
bool deleteDocument(Database& db, const DocumentId& id);

enum class FinaliseOutcome { Done, Missing, AlreadyFinalised };
FinaliseOutcome finaliseDocument(Database& db, const DocumentId& id);

}  // namespace vantrel::substitutes::erp
