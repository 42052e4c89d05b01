// The Excel export: an Office Open XML workbook written by libxlsxwriter under exactly the
// file name the caller gave, whatever its extension. Linux only.
#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "automation/locale.h"
#include "automation/runtime_error.h"
#include "file_paths.h"
#include "report_output.h"

namespace vantrel::substitutes::reports {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::toUtf8;

namespace {

// "#,##0.00" and the like, one format a number of decimals.
class AmountFormats {
public:
    explicit AmountFormats(lxw_workbook* book) : book_(book) {}
    lxw_format* get(int decimals) {
        lxw_format*& format = formats_[decimals];
        if (!format) {
            format = workbook_add_format(book_);
            const std::string code =
                "#,##0." + std::string(static_cast<std::size_t>(decimals), '0');
            format_set_num_format(format, code.c_str());
        }
        return format;
    }

private:
    lxw_workbook* book_;
    std::map<int, lxw_format*> formats_;
};

// The locale's short date as a number format: dd-mm-yyyy in Portugal, m/d/yyyy in the
// United States.
std::string dateFormatCode(const automation::Locale& locale) {
    const std::string day = locale.dayLeadingZero ? "dd" : "d";
    const std::string month = locale.monthLeadingZero ? "mm" : "m";
    const std::string sep = automation::toUtf8(Text(1, locale.dateSeparator));
    switch (locale.dateOrder) {
        case automation::DateOrder::MonthDayYear:
            return month + sep + day + sep + "yyyy";
        case automation::DateOrder::YearMonthDay:
            return "yyyy" + sep + month + sep + day;
        case automation::DateOrder::DayMonthYear:
            break;
    }
    return day + sep + month + sep + "yyyy";
}

}  // namespace

OutputResult exportSpreadsheet(const ReportContent& content, TextView file) {
    const std::string path = nativeFileUtf8(file);
    lxw_workbook* book = workbook_new(path.c_str());
    if (!book) {
        throw RuntimeError(automation::errc::PathFileAccessError, u"CrystalRuntime",
                           u"Export: cannot write " + Text(file));
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Dados");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);

    // Formats in the workbook's own notation; the spreadsheet shows them by its user's locale
    // and keeps the cells numbers and dates it can sort and sum.
    AmountFormats amounts{book};
    const std::string dateCode = dateFormatCode(automation::Locale::current());
    lxw_format* dates = workbook_add_format(book);
    format_set_num_format(dates, dateCode.c_str());
    lxw_format* dateTimes = workbook_add_format(book);
    format_set_num_format(dateTimes, (dateCode + " hh:mm:ss").c_str());

    const ReportRows& data = content.data;
    std::vector<std::size_t> widths(data.columns.size(), 8);
    for (std::size_t c = 0; c < data.columns.size(); ++c) {
        const std::string text = toUtf8(data.columns[c]);
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), text.c_str(), bold);
        widths[c] = std::max(widths[c], data.columns[c].size());
    }
    for (std::size_t r = 0; r < data.rows.size(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (std::size_t c = 0; c < data.rows[r].size(); ++c) {
            const ReportCell& cell = data.rows[r][c];
            const auto col = static_cast<lxw_col_t>(c);
            if (cell.number) {
                worksheet_write_number(sheet, row, col, *cell.number,
                                       cell.decimals > 0 ? amounts.get(cell.decimals) : nullptr);
            } else if (cell.date) {
                const bool timed = *cell.date != std::floor(*cell.date);
                worksheet_write_number(sheet, row, col, *cell.date, timed ? dateTimes : dates);
            } else if (!cell.text.empty()) {
                worksheet_write_string(sheet, row, col, toUtf8(cell.text).c_str(), nullptr);
            }
            if (c < widths.size()) widths[c] = std::max(widths[c], cell.text.size());
        }
    }
    for (std::size_t c = 0; c < widths.size(); ++c) {
        const auto col = static_cast<lxw_col_t>(c);
        worksheet_set_column(sheet, col, col,
                             static_cast<double>(std::min<std::size_t>(widths[c], 60)) + 2,
                             nullptr);
    }
    if (!data.columns.empty()) worksheet_freeze_panes(sheet, 1, 0);

    const lxw_error result = workbook_close(book);
    if (result != LXW_NO_ERROR) {
        throw RuntimeError(automation::errc::PathFileAccessError, u"CrystalRuntime",
                           u"Export: cannot write " + Text(file) + u" (" +
                               automation::fromUtf8(lxw_strerror(result)) + u")");
    }
    return {ProducedOutput{u"Excel file", Text(file)}, u"wrote " + Text(file)};
}

}  // namespace vantrel::substitutes::reports
