#include "reports/engine/frm_doc_crystal.h"

#include <array>
#include <utility>

#include "automation/runtime_error.h"
#include "interfaces/crystal_runtime.h"

namespace vantrel::reports::engine {

using automation::Argument;
using automation::CallKind;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;
namespace crystal = interfaces::crystal;
namespace win = interfaces::windows;

namespace {

// The viewer's display options, by dispatch identifier, in the order they are set.
constexpr std::array<std::pair<std::int32_t, bool>, 18> kDisplayOptions = {{
    {343, true},
    {341, true},
    {251, false},
    {342, false},
    {252, true},
    {258, true},
    {262, true},
    {365, true},
    {254, true},
    {364, false},
    {256, true},
    {259, true},
    {261, false},
    {260, true},
    {264, false},
    {255, false},
    {340, true},
    {257, true},
}};

// The version-10 viewer's own print method.
constexpr std::int32_t kPrintReport = 352;

constexpr std::int32_t kPrinterError = 482;

}  // namespace

frmDocCrystal::frmDocCrystal(interfaces::Platform& platform,
                             std::unique_ptr<win::ViewerWindowPort> port)
    : platform_(platform), port_(std::move(port)) {
    Load();
}

void frmDocCrystal::Load() {
    // The handlers reach this window for as long as it lives; the controls live inside it.
    visu10_ = port_->createControl(
        kProgIdVisu10, [this](bool& useDefault) { Visu_10_PrintButtonClicked(useDefault); });
    visu85_ = port_->createControl(
        kProgIdVisu85, [this](bool& useDefault) { Visu_85_PrintButtonClicked(useDefault); });
    loaded_ = true;
    Form_Load();
}

void frmDocCrystal::Form_Load() {
    for (const ObjectRef& control : {visu10_, visu85_}) {
        const crystal::ViewerControl v(control);
        for (const auto& [id, value] : kDisplayOptions) v.setById(id, Variant(value));
        v.Visible(false);
    }
}

void frmDocCrystal::Form_Resize() {
    if (!loaded_) return;
    const auto [width, height] = port_->clientSize();
    for (const ObjectRef& control : {visu10_, visu85_})
        crystal::ViewerControl(control).Move(0, 0, width, height);
}

void frmDocCrystal::Visu_10_PrintButtonClicked(bool& UseDefault) {
    const crystal::Report report(Eu.object(u"m_Mapa"));
    if (automation::trim(report.DriverName()) == u"DISPLAY") {
        // The report has no printer of its own: the application's current printer.
        const auto printer = platform_.currentPrinter();
        if (!printer) throw RuntimeError(kPrinterError, u"frmDocCrystal", u"Printer error");
        report.SelectPrinter(printer->driverName, printer->deviceName, printer->port);
        crystal::ViewerControl(visu10_).callById(kPrintReport);
        UseDefault = false;
    } else if (Eu.get(u"PodeMudarImpressora").toBool()) {
        report.PrinterSetup(0);
        report.PrintOut(false);
        UseDefault = false;
    } else {
        UseDefault = true;
    }
}

void frmDocCrystal::Visu_85_PrintButtonClicked(bool& UseDefault) {
    UseDefault = true;
}

void frmDocCrystal::Show(std::int16_t mode) {
    visible_ = true;
    Form_Resize();
    const bool modal = mode == win::kModal;
    port_->show(caption_, modal);
    if (modal) visible_ = false;
}

void frmDocCrystal::Unload() {
    // The report object holds this window and this window the report object: let go.
    Eu.reset();
    if (!loaded_) return;
    port_->close();
    loaded_ = false;
    visu10_.reset();
    visu85_.reset();
    // Loaded again, the window starts from its design.
    caption_ = kDesignCaption;
    icon_ = Variant();
    borderStyle_ = kSizable;
    visible_ = false;
}

const automation::Members<frmDocCrystal>& frmDocCrystal::members() {
    using automation::Access;
    using automation::Call;
    using W = frmDocCrystal;
    // Any member but Eu and Unload loads an unloaded window again first.
    static const automation::Members<W> table{
        {u"Eu", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             if (!c.isPut()) return Variant(w.Eu);
             w.Eu = c.value().toObject();
             return Variant();
         }},
        {u"Unload", Access::Read, 0, 0,
         [](W& w, Call&) {
             w.Unload();
             return Variant();
         }},
        {u"Caption", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             w.loadIfUnloaded();
             if (!c.isPut()) return Variant(w.caption_);
             w.caption_ = c.value().toText();
             return Variant();
         }},
        {u"Icon", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             w.loadIfUnloaded();
             if (!c.isPut()) return w.icon_;
             w.icon_ = c.value();
             return Variant();
         }},
        {u"BorderStyle", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             w.loadIfUnloaded();
             if (!c.isPut()) return Variant(w.borderStyle_);
             w.borderStyle_ = c.value().toInteger();
             return Variant();
         }},
        {u"Visible", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             w.loadIfUnloaded();
             if (!c.isPut()) return Variant(w.visible_);
             if (c.value().toBool())
                 w.Show(win::kModeless);
             else
                 w.Hide();
             return Variant();
         }},
        {u"Visu_10", Access::Read, 0, 0,
         [](W& w, Call&) {
             w.loadIfUnloaded();
             return Variant(w.visu10_);
         }},
        {u"Visu_85", Access::Read, 0, 0,
         [](W& w, Call&) {
             w.loadIfUnloaded();
             return Variant(w.visu85_);
         }},
        {u"ScaleWidth", Access::Read, 0, 0,
         [](W& w, Call&) {
             w.loadIfUnloaded();
             return Variant(w.port_->clientSize().first);
         }},
        {u"ScaleHeight", Access::Read, 0, 0,
         [](W& w, Call&) {
             w.loadIfUnloaded();
             return Variant(w.port_->clientSize().second);
         }},
        // Show(Modal, OwnerForm), as on any form; the window has no use for an owner form.
        {u"Show", Access::Read, 0, 2,
         [](W& w, Call& c) {
             w.loadIfUnloaded();
             const bool given = c.has(0) && !c.arg(0).isMissing();
             w.Show(given ? c.arg(0).toInteger() : win::kModeless);
             return Variant();
         }},
        {u"Hide", Access::Read, 0, 0,
         [](W& w, Call&) {
             w.loadIfUnloaded();
             w.Hide();
             return Variant();
         }},
        {u"MostraMapa", Access::Read, 0, 0,
         [](W& w, Call&) {
             w.loadIfUnloaded();
             w.MostraMapa();
             return Variant();
         }},
        {u"NaoPodeImprimir", Access::Read, 1, 1,
         [](W& w, Call& c) {
             w.loadIfUnloaded();
             w.NaoPodeImprimir(c.arg(0).toBool());
             return Variant();
         }},
    };
    return table;
}

Variant frmDocCrystal::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const automation::ScopedLocale locale(platform_.locale());
    return TableObject::invoke(member, kind, args);
}

Variant frmDocCrystal::invokeAt(std::size_t index, CallKind kind, std::span<Argument> args) {
    const automation::ScopedLocale locale(platform_.locale());
    return TableObject::invokeAt(index, kind, args);
}

void frmDocCrystal::loadIfUnloaded() {
    if (!loaded_) Load();
}

void frmDocCrystal::Hide() {
    visible_ = false;
    port_->hide();
}

}  // namespace vantrel::reports::engine
