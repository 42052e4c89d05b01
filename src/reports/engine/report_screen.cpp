// The screen destination: the viewer window.
//
// NOT BUILT YET: the viewer window (frmDocCrystal) comes with the report windows. Until then
// the screen output only raises its start text and shows nothing.
#include "automation/runtime_error.h"
#include "reports/engine/crystal_report_main.h"

namespace vantrel::reports::engine {

using automation::T;

bool CrystalReportMain::VisualizarEcran(bool) {
    Executar(T("Inicio da visualização no ecran"));
    // Nothing is shown yet, so there is no window to report as shown.
    return false;
}

}  // namespace vantrel::reports::engine
