// The parameter window as destination chooser (EscolheDestino), and the screen destination:
// the report in a viewer control of the caller's viewer window (VisualizarEcran).
//
// Both wait for the user without spinning: between passes they let the platform wait for
// window messages (or the terminal for a line), and each wait has an end. The chooser ends
// when the window is gone; the viewer's loading wait is bounded.
#include <optional>

#include "automation/runtime_error.h"
#include "interfaces/crystal_runtime.h"
#include "interfaces/report_windows.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/engine/report_error_box.h"

namespace vantrel::reports::engine {

using automation::RuntimeError;
using automation::T;
using automation::Text;
using automation::Variant;
namespace crystal = interfaces::crystal;
namespace win = interfaces::windows;

namespace {

// Where the destination frame goes and what the window adds to its height, in twips.
constexpr double kFrameLeft = 120;
constexpr double kFrameTop = 120;
constexpr double kWindowBorder = 540;

// Longest pause between two looks at the window while nothing happens.
constexpr int kWaitSliceMs = 100;
// The viewer gets this long to load a report before the wait gives up.
constexpr int kViewerLoadSeconds = 30;
constexpr int kViewerSliceMs = 50;

constexpr std::int16_t kZoomPageWidth = 1;

}  // namespace

void CrystalReportMain::EscolheDestino(std::int16_t inNumeroVias, std::int16_t& outDestino,
                                       std::int16_t& outNumeroVias, const Text& TituloMapa) {
    const automation::ScopedLocale locale(services_.locale());
    Executar(u"Inicio EscolheDestino");
    m_Janela = janelaParametros_;
    Executar(u"Criar Janela");
    const win::ParameterWindow window(m_Janela);
    window.Caption(TituloMapa);
    window.Height(0);
    window.NumeroVias().Text(Variant(inNumeroVias).toText());
    const win::Control frame = window.FrameDestino();
    frame.Move(kFrameLeft, kFrameTop);
    frame.Visible(true);
    window.Height(frame.Height() + kWindowBorder);
    Executar(u"Mostrar Janela");
    window.Show(win::kModeless);

    // The window's own code sets Destino; a window closed without a choice ends the wait.
    while (window.Destino() == win::kDestinoPorEscolher) {
        if (!window.Visible()) {
            outDestino = 0;  // no output answers it
            outNumeroVias = inNumeroVias;
            m_Janela.reset();
            Executar(u"Terminar");
            return;
        }
        Executar(T("A espera de decisão"));
        services_.platform->waitForMessages(kWaitSliceMs);
    }
    outDestino = window.Destino();
    outNumeroVias = Variant(window.NumeroVias().Text()).toInteger();
    Executar(u"Retirar Janela");
    window.Unload();
    m_Janela.reset();
    Executar(u"Terminar");
}

bool CrystalReportMain::VisualizarEcran(bool PedidosEcran) {
    const automation::ScopedLocale locale(services_.locale());
    Executar(T("Inicio da visualização no ecran"));
    return guarded(
        where::VisualizarEcran,
        [&] {
            Executar(T("Visualizar no ecran"));
            parameterStep(PedidosEcran);
            Executar(T("instanciar form de visualização"));
            m_Visualizador = janelaVisualizador_;
            const win::ViewerWindow window(m_Visualizador);
            window.Visible(false);

            std::optional<crystal::ViewerControl> shown;
            if (versao_ == versao::Crystal10) {
                window.Eu(selfRef());
                shown.emplace(window.Visu_10());
            } else if (versao_ == versao::Crystal85) {
                shown.emplace(window.Visu_85());
            }
            if (shown) {
                const crystal::ViewerControl& v = *shown;
                v.ReportSource(m_Mapa);
                v.ViewReport();
                v.Refresh();
                int waited = 0;
                while (v.IsBusy()) {
                    if (waited >= kViewerLoadSeconds * 1000) {
                        throw RuntimeError(automation::errc::ApplicationDefined, u"frmDocCrystal",
                                           T("O visualizador não carregou o mapa em ") +
                                               Variant(kViewerLoadSeconds).toText() +
                                               T(" segundos"));
                    }
                    services_.platform->waitForMessages(kViewerSliceMs);
                    waited += kViewerSliceMs;
                }
                v.Zoom(kZoomPageWidth);
                v.Visible(true);
            }

            const Text title = crystal::Report(m_Mapa).ReportTitle();
            if (!automation::trim(title).empty()) window.Caption(title);
            // The buttons follow NaoPermiteImprimir on the control that is shown, whatever
            // the version.
            if (shown) {
                shown->EnablePrintButton(!naoPermiteImprimir_);
                shown->EnableExportButton(!naoPermiteImprimir_);
            }

            if (janelaModal_) {
                window.Show(win::kModal);
                window.Unload();
                m_Visualizador.reset();
            } else {
                window.Icon(formPai_.get(u"Icon"));
                window.Caption(u"Mapa:" + formPai_.get(u"Caption").toText());
                window.BorderStyle(0);
                window.Show(win::kModeless);
                m_Visualizador.reset();  // the window stays open on its own
            }
            Executar(T("fim de preparação do ecran"));
            return true;
        },
        true);
}

}  // namespace vantrel::reports::engine
