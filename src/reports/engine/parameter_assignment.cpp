// Gives the open report's parameters their current values, before any output: from the
// caller's parameter window (pAtribuirParametros) or from the caller's value list
// (pAtribuirParametrosSemSerDoEcran). Rows follow the prompts' sorted order (m_Indices).
//
// Every parameter is cleared before it is given its values: the runtime's AddCurrentValue
// appends, so a second output of the same open report would otherwise hand every parameter
// its values twice.
#include "automation/datetime.h"
#include "interfaces/crystal_runtime.h"
#include "interfaces/report_windows.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/engine/report_error_box.h"
#include "reports/parameters/crystal_report_sort.h"
#include "reports/parameters/value_list.h"

namespace vantrel::reports::engine {

using automation::Array;
using automation::RuntimeError;
using automation::T;
using automation::Text;
using automation::Variant;
using automation::VarType;
namespace crystal = interfaces::crystal;
namespace tipo = interfaces::crystal::tipo;
namespace errc = automation::errc;
namespace msgbox = interfaces::msgbox;

namespace {

// The loops count rows in 16 bits, as the prompt window's control arrays do.
std::int16_t rowCount(std::int32_t count) {
    if (count > 32767) throw RuntimeError(errc::Overflow);
    return static_cast<std::int16_t>(count);
}

// A blank number means 0; anything else converts by the locale's number rules.
Variant number(const Text& text) {
    if (automation::trim(text).empty()) return Variant(0.0);
    return Variant(Variant(text).toDouble());
}

Variant currency(const Text& text) {
    if (automation::trim(text).empty()) return Variant(automation::Currency{});
    return Variant(Variant(text).toCurrency());
}

// The date alone, at 00:00, for date and date-and-time parameters alike.
Variant dateOnly(int year, int month, int day) {
    return Variant::date(automation::makeDate(year, month, day));
}

}  // namespace

void CrystalReportMain::parameterStep(bool fromWindow) {
    // Each procedure reports its own failure; the output goes on either way.
    if (fromWindow)
        pAtribuirParametros();
    else
        pAtribuirParametrosSemSerDoEcran();
}

bool CrystalReportMain::pAtribuirParametros() {
    return guarded(
        where::pAtribuirParametros,
        [&] {
            Executar(T("Inicio da atribuição de parametros ao mapa"));
            const crystal::ParameterFieldList fields = crystal::Report(m_Mapa).ParameterFields();
            const interfaces::windows::ParameterWindow window(janelaParametros_);
            const std::int16_t count = rowCount(fields.Count());
            for (std::int16_t r = 1; r <= count; ++r) {
                const crystal::ParameterField p = fields.Item(m_Indices.at(r).toLong());
                const std::int32_t t = p.ValueType();
                p.ClearCurrentValueAndRange();
                switch (t) {
                    case tipo::Booleano:
                        p.AddCurrentValue(Variant(window.chkCampo(r).Value().toLong() == 1));
                        continue;
                    case tipo::Numero:
                        p.AddCurrentValue(number(window.txtCampo(r).Text()));
                        continue;
                    case tipo::Moeda:
                        // Currency is typed in a text row, like any number.
                        p.AddCurrentValue(currency(window.txtCampo(r).Text()));
                        continue;
                    case tipo::Data:
                    case tipo::DataHora: {
                        const interfaces::windows::Control date = window.dtCampo(r);
                        p.AddCurrentValue(dateOnly(date.Year(), date.Month(), date.Day()));
                        continue;
                    }
                    default:
                        break;
                }
                const Text kind = m_TiposCampo.at(r).toText();
                if (kind == u"L") {
                    const interfaces::windows::Control list = window.EscolhaMultipla(r);
                    const std::int32_t entries = list.ListCount();
                    for (std::int32_t k = 0; k < entries; ++k) {
                        if (!list.Selected(k)) continue;
                        list.ListIndex(k);
                        p.AddCurrentValue(Variant(list.Text()));
                    }
                } else if (kind == u"C") {
                    p.AddCurrentValue(Variant(window.Combo(r).Text()));
                } else {
                    p.AddCurrentValue(Variant(window.txtCampo(r).Text()));
                }
            }
            Executar(T("Fim da atribuição de parametros ao mapa"));
            return true;
        },
        true);
}

bool CrystalReportMain::pAtribuirParametrosSemSerDoEcran() {
    return guarded(
        where::pAtribuirParametrosSemSerDoEcran,
        [&] {
            Executar(T("Inicio de atribuição de parametros recebidos"));
            const crystal::ParameterFieldList fields = crystal::Report(m_Mapa).ParameterFields();
            const std::int16_t n = rowCount(fields.Count());
            m_Indices = Array(VarType::Long, 0, n);
            Array prompts(VarType::String, 0, n);
            for (std::int16_t i = 1; i <= n; ++i) prompts.at(i) = Variant(fields.Item(i).Prompt());
            parameters::CrystalReportSort().OrdenaTextos(prompts, m_Indices);

            if (n > 0 && m_Valores.ubound() < n) {
                services_.dialogs->messageBox(
                    T("O número de parametros passados é inferior ao número de parametros do "
                      "mapa"),
                    msgbox::Critical, Text(u"Erro!!"));
                m_FalhouSaida = true;
                return false;
            }
            for (std::int16_t r = 1; r <= n; ++r) {
                const crystal::ParameterField p = fields.Item(m_Indices.at(r).toLong());
                const Text s = m_Valores.at(r).toText();
                const std::int32_t t = p.ValueType();
                p.ClearCurrentValueAndRange();
                switch (t) {
                    case tipo::Booleano:
                        p.AddCurrentValue(Variant(s == u"Verdadeiro"));
                        break;
                    case tipo::Numero:
                        p.AddCurrentValue(number(s));
                        break;
                    case tipo::Moeda:
                        p.AddCurrentValue(currency(s));
                        break;
                    case tipo::Texto:
                        // One element may carry several values of a multi-value parameter.
                        for (const Text& piece : parameters::splitValues(s))
                            p.AddCurrentValue(Variant(piece));
                        break;
                    case tipo::Data:
                    case tipo::DataHora: {
                        const automation::DateParts d = automation::splitDate(Variant(s).toDate());
                        p.AddCurrentValue(dateOnly(d.year, d.month, d.day));
                        break;
                    }
                    default:
                        p.AddCurrentValue(Variant(s));
                        break;
                }
            }
            Executar(T("Fim de atribuição de parametros recebidos"));
            return true;
        },
        true);
}

}  // namespace vantrel::reports::engine
