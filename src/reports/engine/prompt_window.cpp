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

using automation::Array;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::T;
using automation::Text;
using automation::Variant;
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

// The controls of a row, the input control first.
std::vector<const char16_t*> controlArrays(RowKind kind, bool given) {
    switch (kind) {
        case RowKind::CheckBox:
            return {u"chkCampo"};
        case RowKind::Date:
            return {u"dtCampo", u"lblCampo"};
        case RowKind::MultiSelect:
            return {u"EscolhaMultipla", u"lblCampo"};
        case RowKind::DropDown:
            return {u"Combo", u"lblCampo"};
        case RowKind::Text:
            if (given) return {u"txtCampo", u"lblCampo"};
            return {u"txtCampo", u"lblCampo", u"Lista"};
    }
    return {};
}

// The letter the parameter assignment reads a row's value by; a check box has none.
const char16_t* fieldType(RowKind kind) {
    switch (kind) {
        case RowKind::CheckBox:
            return nullptr;
        case RowKind::Date:
            return u"D";
        case RowKind::MultiSelect:
            return u"L";
        case RowKind::DropDown:
            return u"C";
        case RowKind::Text:
            return u"T";
    }
    return nullptr;
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

// One build of the prompt window. It reads and writes the report's own fields (the sorted
// order, the rows' types, the given values), so it is a member class.
class CrystalReportMain::PromptRows {
public:
    explicit PromptRows(CrystalReportMain& main)
        : main_(main),
          report_(main.m_Mapa),
          fields_(report_.ParameterFields()),
          window_(main.m_Janela) {}

    // The rows follow the prompts in the order of their texts.
    void sortPrompts() {
        n_ = rowCount(fields_.Count());
        main_.m_Indices = Array(VarType::Long, 0, n_);
        Array prompts(VarType::String, 0, n_);
        for (std::int16_t i = 1; i <= n_; ++i) prompts.at(i) = Variant(fields_.Item(i).Prompt());
        parameters::CrystalReportSort().OrdenaTextos(prompts, main_.m_Indices);
        main_.m_TiposCampo = Array(VarType::String, 0, n_);
    }

    // The description file and the caller's value list, where the start values come from.
    void readStartValues() {
        // The reader takes the whole file at once, so nothing stays open after the build.
        file_ = parameters::ParameterDescriptionFile::open(*main_.services_.platform,
                                                           main_.m_FicheiroParametros);
        given_ = !automation::trim(main_.pedidos_).empty();
        if (given_) main_.m_Valores = Array::ofTexts(parameters::splitValues(main_.pedidos_), 0);
    }

    void addRows() {
        for (std::int16_t r = 1; r <= n_; ++r) addRow(r);
    }

    // The rows' frame, the buttons' frame below it, the buttons after the rows in tab order,
    // the window around both and the report's title on it.
    void finishWindow() {
        const win::Control buttons = placeFrames();
        orderButtons();
        window_.Height(buttons.Top() + buttons.Height() + kWindowMargin);
        window_.Refresh();
        const Text title = report_.ReportTitle();
        if (!automation::trim(title).empty()) window_.Caption(title);
    }

private:
    void addRow(std::int16_t r) {
        const crystal::ParameterField p = fields_.Item(main_.m_Indices.at(r).toLong());
        const Text line = nextLine(file_);
        const RowKind kind = rowKind(p);
        const Text caption = automation::mid(p.Prompt(), 3);
        const std::vector<win::Control> controls = loadControls(r, kind);
        placeControls(r, kind, controls, caption);
        const win::Control& input = controls.front();
        switch (kind) {
            case RowKind::CheckBox:
                y_ = startCheckBox(p, input);
                break;
            case RowKind::Date:
                y_ = startDate(p, line, input);
                break;
            case RowKind::MultiSelect:
                y_ = startMultiSelect(p, input);
                break;
            case RowKind::DropDown:
                y_ = startDropDown(p, input);
                break;
            case RowKind::Text:
                y_ = startText(r, line, input);
                break;
        }
    }

    std::vector<win::Control> loadControls(std::int16_t r, RowKind kind) {
        if (const char16_t* type = fieldType(kind)) main_.m_TiposCampo.at(r) = Variant(type);
        std::vector<win::Control> controls;
        for (const char16_t* name : controlArrays(kind, given_)) {
            const win::ControlArray a = window_.array(name);
            a.Load(r);
            controls.push_back(a(r));
        }
        return controls;
    }

    // The caption, the tab stop and the row's place below the previous row.
    void placeControls(std::int16_t r, RowKind kind, const std::vector<win::Control>& controls,
                       const Text& caption) const {
        const win::Control& input = controls.front();
        if (kind == RowKind::CheckBox)
            input.Caption(caption);
        else
            window_.lblCampo(r).Caption(caption);
        input.TabIndex(r - 1);
        for (const win::Control& c : controls) {
            c.Top(y_ + kRowStep);
            c.Visible(true);
            c.ZOrder();
        }
    }

    // Each start step gives the row's reference top, from which the next row is placed.

    double startCheckBox(const crystal::ParameterField& p, const win::Control& input) const {
        const double top = input.Top();
        if (p.NumberOfDefaultValues() > 0 && p.GetNthDefaultValue(1).toBool()) {
            input.Value(Variant(win::kChecked));
            input.Enabled(!given_);
        }
        return top;
    }

    double startDate(const crystal::ParameterField& p, const Text& line,
                     const win::Control& input) const {
        const double top = input.Top();
        if (p.NumberOfDefaultValues() > 0)
            input.Value(p.GetNthDefaultValue(1));
        else if (!automation::trim(line).empty())
            input.Value(Variant(main_.pSubstituiDatas(line)));
        input.Enabled(!given_);
        return top;
    }

    double startMultiSelect(const crystal::ParameterField& p, const win::Control& input) const {
        // Three designed heights tall; the next row starts below it.
        const double top = input.Top();
        const double designed = input.Height();
        const double next = top + std::max(2 * designed, 3 * designed + kGapBelowList - kRowStep);
        input.Height(3 * designed);
        if (p.NumberOfDefaultValues() > 0) {
            fillList(p, input);
            input.ListIndex(0);
        }
        return next;
    }

    double startDropDown(const crystal::ParameterField& p, const win::Control& input) const {
        const double top = input.Top();
        fillList(p, input);
        input.ListIndex(0);
        return top;
    }

    double startText(std::int16_t r, const Text& line, const win::Control& input) const {
        const win::Control label = window_.lblCampo(r);
        const double top = label.Top();
        if (given_) {
            input.Enabled(false);
            input.Visible(false);
            label.Visible(false);
            // Value r belongs to row r, as on the list path and in the run sequences; a short
            // list leaves the row empty.
            const std::int32_t upper = main_.m_Valores.ubound();
            input.Text(r <= upper ? main_.m_Valores.at(r).toText() : Text());
            return top;
        }
        const win::Control lista = window_.Lista(r);
        lista.Visible(false);
        if (!automation::trim(line).empty()) {
            input.Text(main_.startValue(line, r));
            input.Enabled(true);
            input.Visible(true);
            label.Visible(true);
        }
        lista.Tag(main_.pTextoLista(line));
        if (!automation::trim(lista.Tag()).empty()) lista.Visible(true);
        return top;
    }

    void fillList(const crystal::ParameterField& p, const win::Control& list) const {
        list.Clear();
        const std::int32_t offered = p.NumberOfDefaultValues();
        for (std::int32_t k = 1; k <= offered; ++k) {
            main_.services_.platform->processMessages();
            list.AddItem(p.GetNthDefaultValue(k).toText());
        }
    }

    // Gives the buttons' frame.
    win::Control placeFrames() const {
        const win::Control frame = window_.Frame();
        frame.Height(y_ + kRowStep);
        frame.Visible(true);
        const win::Control buttons = window_.FrameBotoes();
        buttons.Top(frame.Top() + frame.Height() + kFrameGap);
        buttons.Visible(true);
        return buttons;
    }

    void orderButtons() const {
        std::int32_t tab = n_;
        for (const char16_t* button :
             {u"botao_ecran", u"Botao_Impressora", u"botao_conf", u"Botao_Sair", u"Botao_pdf"}) {
            window_.control(button).TabIndex(tab++);
        }
    }

    CrystalReportMain& main_;
    const crystal::Report report_;
    const crystal::ParameterFieldList fields_;
    const win::ParameterWindow window_;
    std::int16_t n_ = 0;
    parameters::ParameterDescriptionFile file_;
    bool given_ = false;
    double y_ = 0;  // the reference top of the last row placed
};

void CrystalReportMain::pCriaCamposEcran() {
    guarded(where::pCriaCamposEcran, [&] {
        Executar(T("Inicio criação da Janela de Pedidos"));
        PromptRows rows(*this);
        rows.sortPrompts();
        rows.readStartValues();
        rows.addRows();
        rows.finishWindow();
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
