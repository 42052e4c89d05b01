// The commands of vantrel host as they are written: the usage text, and each command's words
// read into what the session passes to the add-in and the stand-in ERP. Nothing here talks
// to either; a word that cannot be read gives no value, and the session says why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/text.h"
#include "automation/variant.h"
#include "erp/company_database.h"

namespace vantrel::app::host {

using Words = std::vector<std::string>;

std::string hostUsage();

// The document operations that `fail` can make fail, as a list for a person to read, the
// last two joined by `lastSeparator`.
std::string failableOperations(const char* lastSeparator);

// A command line's words, split at blanks.
Words splitWords(const std::string& line);
// Words `from` to the end, joined by single spaces (the text of echo, the message of fail).
std::string joinWords(const Words& words, std::size_t from);

// The stand-in's own name of the failable operation `word` names in any spelling; nullptr
// when it names none.
const char16_t* failableOperation(const std::string& word);

// The code App_OnOperacao gets: a whole number as the 32-bit number the ERP passes, any other
// word as the text it is (so that the add-in's own conversion error can be tried). No value
// for a whole number that does not fit in 32 bits.
std::optional<automation::Variant> operationCode(const std::string& word);

// A stored document's key: TYPE SERIES NUMBER YEAR.
struct DocumentKey {
    automation::Text type, series;
    std::int32_t number = 0;
    std::int16_t year = 0;

    std::string text() const;  // TYPE-SERIES-NUMBER-YEAR
};

// The key in words 1 to 4; no value when the number or the year is no number.
std::optional<DocumentKey> documentKey(const Words& words);

// new-document TYPE SERIES YEAR ARTICLE:QUANTITY[:PRICE[:cancelled]]...: no value when the
// year or a line cannot be read.
std::optional<substitutes::erp::DocumentDraft> documentDraft(const Words& words);

}  // namespace vantrel::app::host
