// Report files of the stand-in report runtime: a small UTF-8 text format of our own that
// describes what the report engine needs to see of a report (title, printer, page settings,
// tables, areas and sections with their subreports, parameters).
//
//   vantrel-report 1                      first line: the format and its version
//   # a comment                           blank lines and "#" lines are skipped
//   title: Vendas por artigo              ReportTitle
//   driver: winspool                      DriverName ("DISPLAY": no printer chosen)
//   printer: Escritorio                   the printer's device name
//   port: LPT1:
//   orientation: 1                        PaperOrientation (1 portrait, 2 landscape)
//   paper-size: 9                         PaperSize (9 = A4)
//   paper-source: 7                       PaperSource
//   margin-top: 360                       margin-bottom, margin-left, margin-right (twips)
//   table: ARTIGO                         a table of the report's database, in order
//   area: Detalhe                         an area of the report
//   section: D1                           a section of the last area
//   object: field Descricao               a report object of the last section: field, text,
//                                         line, box, crosstab, picture, chart or a number
//   subreport: Resumo                     a subreport object of the last section; the lines
//     table: DOCGCLIN                     up to its "end" describe the subreport (its own
//   end                                   title, tables, areas, subreports, parameters)
//   parameter: DataInicial                a parameter field; the lines below belong to it
//   prompt: 01Data inicial                Prompt
//   type: date                            ValueType: number (7), currency (8), boolean (9),
//                                         date (10), time (11), text (12), datetime (16)
//                                         or the code itself
//   multiple: no                          EnableMultipleValues (yes / no)
//   offer: 2026-01-01                     an offered value (GetNthDefaultValue), repeated
//                                         for each: numbers with "." as decimal point,
//                                         dates yyyy-mm-dd [hh:mm[:ss]], booleans true/false
//   query: SELECT ... WHERE Serie IN ({?Serie})
//                                         the report's data (report_data.h): SQL over the
//                                         database of its first table; several query lines
//                                         make one statement, one line each
//
// Keys are case-insensitive and indentation is free. Anything wrong ends the opening with a
// RuntimeError naming the file and the line.
//
// A report file is read whole into a tree, and the runtime builds its objects from that tree
// at once, so the reader bounds what one file may ask for (see the limits below): a file
// beyond them is refused with one error instead of exhausting the memory, the stack (which
// is 1 MB on Windows) or the user's patience with one message box per table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "automation/runtime_error.h"
#include "automation/variant.h"

namespace vantrel::substitutes::reports {

// Error number of a report file that cannot be read or understood.
inline constexpr std::int32_t kBadReportFile = automation::errc::ApplicationDefined;

// Report object kinds; 5 is the one the report engine looks for.
namespace kind {
inline constexpr std::int32_t Field = 1;
inline constexpr std::int32_t Text = 2;
inline constexpr std::int32_t Line = 3;
inline constexpr std::int32_t Box = 4;
inline constexpr std::int32_t Subreport = 5;
inline constexpr std::int32_t CrossTab = 7;
inline constexpr std::int32_t Picture = 8;
inline constexpr std::int32_t Chart = 9;
}  // namespace kind

struct ReportDefinition;

struct ParameterDefinition {
    automation::Text name;
    automation::Text prompt;
    std::int16_t valueType = 12;
    bool multipleValues = false;
    std::vector<automation::Variant> offeredValues;
};

struct ReportObjectDefinition {
    std::int32_t kind = kind::Field;
    automation::Text name;
    std::shared_ptr<ReportDefinition> subreport;  // set for kind 5 only
};

struct SectionDefinition {
    automation::Text name;
    std::vector<ReportObjectDefinition> objects;
};

struct AreaDefinition {
    automation::Text name;
    std::vector<SectionDefinition> sections;
};

struct ReportDefinition {
    automation::Text name;  // the file name of a report, the object name of a subreport
    automation::Text title;
    automation::Text driverName;
    automation::Text printerName;
    automation::Text portName;
    std::int16_t paperOrientation = 1;
    std::int16_t paperSize = 9;
    std::int16_t paperSource = 7;
    std::int32_t topMargin = 0;
    std::int32_t bottomMargin = 0;
    std::int32_t leftMargin = 0;
    std::int32_t rightMargin = 0;
    std::vector<automation::Text> tables;
    std::vector<AreaDefinition> areas;
    std::vector<ParameterDefinition> parameters;
    automation::Text query;  // empty: the report shows no rows
};

// What one report file may hold, its subreports included. Crystal Reports itself nests no
// subreport inside another, and a report binds a few dozen tables at most.
namespace limit {
inline constexpr std::size_t FileBytes = 1u << 20;
inline constexpr std::size_t Tables = 100;
inline constexpr std::size_t Subreports = 50;
inline constexpr std::size_t SubreportDepth = 16;  // subreports within subreports
}  // namespace limit

// Reads the text of a report file; `fileName` names it in error messages.
ReportDefinition parseReportText(std::string_view utf8, automation::TextView fileName);

// Opens a report file by its Windows-style path (error 53 when there is no such file).
ReportDefinition loadReportFile(automation::TextView path);

}  // namespace vantrel::substitutes::reports
