// The prompt window's rows: one row per report parameter on the caller's parameter window,
// in the order of the sorted prompts, with a start value from the report, from the
// parameter description file or from the caller's value list; then the frames, the buttons'
// tab order and the window's size.
#include <algorithm>
#include <string>
#include <vector>

#include "automation/runtime_error.h"
#include "interfaces/crystal_runtime.h"
#include "interfaces/report_windows.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/engine/report_error_box.h"
#include "reports/parameters/crystal_report_sort.h"
#include "reports/parameters/parameter_description_file.h"
#include "reports/parameters/placeholders.h"
#include "reports/parameters/value_list.h"

namespace vantrel::reports::engine {

using automation::RuntimeError;
using automation::T;
using automation::VarType;
namespace crystal = interfaces::crystal;
namespace tipo = interfaces::crystal::tipo;
namespace win = interfaces::windows;
namespace errc = automation::errc;

namespace {

// Layout, in twips: a row's controls sit 350 + 50 below the previous row's reference top.
constexpr double kRowStep = 400;
constexpr double kFrameGap = 240;      // row frame to button frame
constexpr double kWindowMargin = 360;  // below the button frame
constexpr double kGapBelowList = 50;   // the least room between a list and the next row

enum class RowKind { CheckBox, Date, MultiSelect, DropDown, Text };

RowKind rowKind(const crystal::ParameterField& p) {
    const std::int32_t t = p.ValueType();
    if (t == tipo::Booleano) return RowKind::CheckBox;
    if (t == tipo::Data || t == tipo::DataHora) return RowKind::Date;
    // Currency is typed as a number, and read back from the text box.
    if (t == tipo::Moeda) return RowKind::Text;
    if (p.EnableMultipleValues()) return RowKind::MultiSelect;
    if (p.NumberOfDefaultValues() > 0) return RowKind::DropDown;
    return RowKind::Text;
}

// The next line of the description file; a file with fewer lines than rows gives the rows
// past its end an empty line rather than ending the build half-way.
Text nextLine(parameters::ParameterDescriptionFile& file) {
    try {
        return file.nextLine();
    } catch (const RuntimeError& e) {
        if (e.number() != errc::InputPastEndOfFile) throw;
        return Text();
    }
}

Text number(std::size_t n) {
    return automation::fromUtf8(std::to_string(n));
}

std::int16_t rowCount(std::int32_t count) {
    if (count > 32767) throw RuntimeError(errc::Overflow);
    return static_cast<std::int16_t>(count);
}

}  // namespace

// A start value longer than a text box holds stops the build, naming its line.
Text CrystalReportMain::startValue(const Text& line, std::int16_t r) {
    try {
        return pValorPorDefeito(line);
    } catch (const parameters::StartValueTooLong& e) {
        throw RuntimeError(e.number(), e.source(),
                           T("O valor inicial da linha ") + number(r) +
                               T(" do ficheiro de parâmetros passa de ") +
                               number(parameters::kLongestStartValue) + T(" caracteres"));
    }
}

ObjectRef CrystalReportMain::selfRef() {
    auto self = weak_from_this().lock();
    if (!self) throw RuntimeError(errc::ObjectVariableNotSet);
    return ObjectRef(std::static_pointer_cast<automation::Object>(self));
}

void CrystalReportMain::pCriaCamposEcran() {
    guarded(where::pCriaCamposEcran, [&] {
        Executar(T("Inicio criação da Janela de Pedidos"));
        const crystal::Report report(m_Mapa);
        const crystal::ParameterFieldList fields = report.ParameterFields();
        const std::int16_t n = rowCount(fields.Count());
        m_Indices = Array(VarType::Long, 0, n);
        Array prompts(VarType::String, 0, n);
        for (std::int16_t i = 1; i <= n; ++i) prompts.at(i) = Variant(fields.Item(i).Prompt());
        parameters::CrystalReportSort().OrdenaTextos(prompts, m_Indices);
        m_TiposCampo = Array(VarType::String, 0, n);

        // The reader takes the whole file at once, so nothing stays open after the build.
        auto file =
            parameters::ParameterDescriptionFile::open(*services_.platform, m_FicheiroParametros);
        const bool given = !automation::trim(pedidos_).empty();
        if (given) m_Valores = Array::ofTexts(parameters::splitValues(pedidos_), 0);

        const win::ParameterWindow window(m_Janela);
        double y = 0;
        for (std::int16_t r = 1; r <= n; ++r) {
            const crystal::ParameterField p = fields.Item(m_Indices.at(r).toLong());
            const Text line = nextLine(file);
            const RowKind kind = rowKind(p);
            const Text caption = automation::mid(p.Prompt(), 3);

            // The row's controls: the input control first, then the others.
            std::vector<const char16_t*> arrays;
            switch (kind) {
                case RowKind::CheckBox:
                    arrays = {u"chkCampo"};
                    break;
                case RowKind::Date:
                    arrays = {u"dtCampo", u"lblCampo"};
                    m_TiposCampo.at(r) = Variant(u"D");
                    break;
                case RowKind::MultiSelect:
                    arrays = {u"EscolhaMultipla", u"lblCampo"};
                    m_TiposCampo.at(r) = Variant(u"L");
                    break;
                case RowKind::DropDown:
                    arrays = {u"Combo", u"lblCampo"};
                    m_TiposCampo.at(r) = Variant(u"C");
                    break;
                case RowKind::Text:
                    arrays = {u"txtCampo", u"lblCampo"};
                    if (!given) arrays.push_back(u"Lista");
                    m_TiposCampo.at(r) = Variant(u"T");
                    break;
            }
            std::vector<win::Control> controls;
            for (const char16_t* name : arrays) {
                const win::ControlArray a = window.array(name);
                a.Load(r);
                controls.push_back(a(r));
            }
            const win::Control& input = controls.front();
            if (kind == RowKind::CheckBox)
                input.Caption(caption);
            else
                window.lblCampo(r).Caption(caption);
            input.TabIndex(r - 1);
            for (const win::Control& c : controls) {
                c.Top(y + kRowStep);
                c.Visible(true);
                c.ZOrder();
            }

            auto fillList = [&](const win::Control& list) {
                list.Clear();
                const std::int32_t offered = p.NumberOfDefaultValues();
                for (std::int32_t k = 1; k <= offered; ++k) {
                    services_.platform->processMessages();
                    list.AddItem(p.GetNthDefaultValue(k).toText());
                }
            };
            switch (kind) {
                case RowKind::CheckBox:
                    y = input.Top();
                    if (p.NumberOfDefaultValues() > 0 && p.GetNthDefaultValue(1).toBool()) {
                        input.Value(Variant(win::kChecked));
                        input.Enabled(!given);
                    }
                    break;
                case RowKind::Date:
                    y = input.Top();
                    if (p.NumberOfDefaultValues() > 0)
                        input.Value(p.GetNthDefaultValue(1));
                    else if (!automation::trim(line).empty())
                        input.Value(Variant(pSubstituiDatas(line)));
                    input.Enabled(!given);
                    break;
                case RowKind::MultiSelect: {
                    // Three designed heights tall; the next row starts below it.
                    const double top = input.Top();
                    const double designed = input.Height();
                    y = top + std::max(2 * designed, 3 * designed + kGapBelowList - kRowStep);
                    input.Height(3 * designed);
                    if (p.NumberOfDefaultValues() > 0) {
                        fillList(input);
                        input.ListIndex(0);
                    }
                    break;
                }
                case RowKind::DropDown:
                    y = input.Top();
                    fillList(input);
                    input.ListIndex(0);
                    break;
                case RowKind::Text: {
                    const win::Control label = window.lblCampo(r);
                    y = label.Top();
                    if (given) {
                        input.Enabled(false);
                        input.Visible(false);
                        label.Visible(false);
                        // Value r belongs to row r, as on the list path and in the run
                        // sequences; a short list leaves the row empty.
                        const std::int32_t upper = m_Valores.ubound();
                        input.Text(r <= upper ? m_Valores.at(r).toText() : Text());
                        break;
                    }
                    const win::Control lista = window.Lista(r);
                    lista.Visible(false);
                    if (!automation::trim(line).empty()) {
                        input.Text(startValue(line, r));
                        input.Enabled(true);
                        input.Visible(true);
                        label.Visible(true);
                    }
                    lista.Tag(pTextoLista(line));
                    if (!automation::trim(lista.Tag()).empty()) lista.Visible(true);
                    break;
                }
            }
        }

        const win::Control frame = window.Frame();
        frame.Height(y + kRowStep);
        frame.Visible(true);
        const win::Control buttons = window.FrameBotoes();
        buttons.Top(frame.Top() + frame.Height() + kFrameGap);
        buttons.Visible(true);

        std::int32_t tab = n;
        for (const char16_t* button :
             {u"botao_ecran", u"Botao_Impressora", u"botao_conf", u"Botao_Sair", u"Botao_pdf"}) {
            window.control(button).TabIndex(tab++);
        }
        window.Height(buttons.Top() + buttons.Height() + kWindowMargin);
        window.Refresh();
        const Text title = report.ReportTitle();
        if (!automation::trim(title).empty()) window.Caption(title);
        Executar(T("Fim criação da Janela de Pedidos"));
    });
}

bool CrystalReportMain::AbrirMapa() {
    const automation::ScopedLocale locale(services_.locale());
    Executar(u"Inicio Abre Mapa");
    if (!pExisteMapa()) return false;
    pStartCrystal();
    pAbrirFicheiroMapa();
    pLigaMapaBD();
    m_Janela = janelaParametros_;
    const win::ParameterWindow window(m_Janela);
    window.Mapa(selfRef());
    pCriaCamposEcran();
    // The window's own code takes over: its buttons call the outputs and EscolheDestino.
    window.Show(win::kModeless);
    return false;
}

}  // namespace vantrel::reports::engine
