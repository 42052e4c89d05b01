// Start values of the prompt rows: date keywords, placeholders and "@" references, with the
// prompt window and the caller's data-access object as their sources.
#include "automation/runtime_error.h"
#include "interfaces/report_windows.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/parameters/date_keywords.h"
#include "reports/parameters/placeholders.h"

namespace vantrel::reports::engine {

using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::Variant;
namespace errc = automation::errc;

namespace {
// ADO's error for reading a field with no current record.
constexpr std::int32_t kNoCurrentRecord = 3021;
}  // namespace

Text CrystalReportMain::pSubstituiDatas(const Text& line) {
    return parameters::expandDateKeyword(line, now());
}

Text CrystalReportMain::pTextoFuncao(const Text& line) {
    try {
        return parameters::functionText(line);
    } catch (...) {
        return Text();
    }
}

Text CrystalReportMain::pTextoLista(const Text& line) {
    try {
        return parameters::listText(line);
    } catch (...) {
        return Text();
    }
}

Text CrystalReportMain::pValorPorDefeito(const Text& line) {
    parameters::DefaultValueSources sources;
    sources.substitute = [this](const Text& x, std::size_t longest) {
        return substituteUpTo(x, longest);
    };
    sources.query = [this](const Text& sql) { return firstValueOfQuery(sql); };
    sources.now = now();
    return parameters::defaultValue(line, sources);
}

Text CrystalReportMain::Substitui(const Text& expressao) {
    const automation::ScopedLocale locale(services_.locale());
    return substituteUpTo(expressao, Text::npos);
}

Text CrystalReportMain::substituteUpTo(const Text& expressao, std::size_t longest) {
    if (automation::instr(expressao, u"@") == 0) return expressao;
    return parameters::substituteReferences(
        expressao, [this](std::int16_t row) { return rowValue(row); }, longest);
}

Text CrystalReportMain::rowValue(std::int16_t row) {
    const Text kind = m_TiposCampo.at(row).toText();
    const interfaces::windows::ParameterWindow window(janelaParametros_);
    if (kind == u"C") return window.Combo(row).Text();
    // A date control's Value converts by the locale's date format.
    if (kind == u"D") return window.dtCampo(row).Value().toText();
    return window.txtCampo(row).Text();
}

Text CrystalReportMain::firstValueOfQuery(const Text& sql) {
    Variant cell;  // the data-access object leaves the open recordset here
    Variant returned =
        bd_.call(u"OpenRecordset", Text(), sql, automation::byRef(cell), true, std::int16_t{0});
    ObjectRef rs = cell.isSetObject() ? cell.toObject() : returned.toObject();
    if (!rs) throw RuntimeError(errc::ObjectVariableNotSet);
    if (rs.get(u"EOF").toBool()) {
        throw RuntimeError(kNoCurrentRecord, u"ADODB.Recordset",
                           u"Either BOF or EOF is True, or the current record has been deleted. "
                           u"Requested operation requires a current record.");
    }
    const Variant value = rs.object(u"Fields").object(u"Item", std::int32_t{0}).get(u"Value");
    const Text text = value.isNull() ? Text() : value.toText();
    rs.call(u"Close");
    return text;
}

}  // namespace vantrel::reports::engine
