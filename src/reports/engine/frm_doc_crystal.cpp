#include "reports/engine/frm_doc_crystal.h"

#include <array>
#include <utility>

#include "automation/runtime_error.h"
#include "interfaces/crystal_runtime.h"

namespace vantrel::reports::engine {

using automation::Argument;
using automation::CallKind;
using automation::isMember;
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

Variant frmDocCrystal::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const automation::ScopedLocale locale(platform_.locale());
    const bool put = automation::isPut(kind);
    auto value = [&]() -> Variant& { return args.back().value; };
    if (put && args.empty()) throw RuntimeError(automation::errc::ArgumentNotOptional);
    if (isMember(member, u"Eu")) {
        if (!put) return Variant(Eu);
        Eu = value().toObject();
        return Variant();
    }
    if (isMember(member, u"Unload")) {
        Unload();
        return Variant();
    }
    // Any other member of an unloaded window loads it again.
    if (!loaded_) Load();
    if (isMember(member, u"Caption")) {
        if (!put) return Variant(caption_);
        caption_ = value().toText();
        return Variant();
    }
    if (isMember(member, u"Icon")) {
        if (!put) return icon_;
        icon_ = value();
        return Variant();
    }
    if (isMember(member, u"BorderStyle")) {
        if (!put) return Variant(borderStyle_);
        borderStyle_ = value().toInteger();
        return Variant();
    }
    if (isMember(member, u"Visible")) {
        if (!put) return Variant(visible_);
        if (value().toBool())
            Show(win::kModeless);
        else {
            visible_ = false;
            port_->hide();
        }
        return Variant();
    }
    if (put) automation::unknownMember(member);
    if (isMember(member, u"Visu_10")) return Variant(visu10_);
    if (isMember(member, u"Visu_85")) return Variant(visu85_);
    if (isMember(member, u"ScaleWidth")) return Variant(port_->clientSize().first);
    if (isMember(member, u"ScaleHeight")) return Variant(port_->clientSize().second);
    if (isMember(member, u"Show")) {
        const bool given = !args.empty() && !args[0].value.isMissing();
        Show(given ? args[0].value.toInteger() : win::kModeless);
        return Variant();
    }
    if (isMember(member, u"Hide")) {
        visible_ = false;
        port_->hide();
        return Variant();
    }
    if (isMember(member, u"MostraMapa")) {
        MostraMapa();
        return Variant();
    }
    if (isMember(member, u"NaoPodeImprimir")) {
        NaoPodeImprimir(automation::argumentAt(args, 0).toBool());
        return Variant();
    }
    automation::unknownMember(member);
}

}  // namespace vantrel::reports::engine
