// The output methods, as far as the run sequences need them today.
//
// NOT BUILT YET: none of these methods assigns the parameters or prints, exports or shows
// the report. They only raise their start and end progress texts so that a run can be
// followed from end to end; the parameter step, the print and export options and the viewer
// window come with the outputs themselves.
#include "automation/runtime_error.h"
#include "reports/engine/crystal_report_main.h"

namespace vantrel::reports::engine {

using automation::T;

bool CrystalReportMain::VisualizarEcran(bool) {
    Executar(T("Inicio da visualização no ecran"));
    // Nothing is shown yet, so there is no window to report as shown.
    return false;
}

void CrystalReportMain::VisualizarImpressora(bool, bool) {
    Executar(T("Inicio da visualização na impressora"));
    Executar(T("Fim da visualização na impressora"));
}

void CrystalReportMain::VisualizarPDF(bool) {
    Executar(T("Inicio da Visualização PDF"));
    Executar(T("FIm da Visualização PDF"));
}

void CrystalReportMain::VisualizarEmail(bool) {
    Executar(T("Inicio da visualização por email"));
    Executar(T("Fim da visualização por email"));
}

void CrystalReportMain::VisualizarExcel(bool) {
    Executar(T("Inicio da visualização por Excel"));
    Executar(T("Fim da visualização por Excel"));
}

}  // namespace vantrel::reports::engine
