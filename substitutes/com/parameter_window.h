// QuorilVantrel.StandIns.ParameterWindow: the caller's parameter window as a real Win32
// window. It answers the report windows' members (interfaces/report_windows.h) as the window
// held in memory does (substitutes/windows/window_model.h), member for member, over real
// controls: element 0 of each control array is designed and hidden, Load creates the next
// one; positions and sizes are twips, turned into pixels with the screen's twips per pixel.
//
// Beyond the contract each control and the window answer hWnd, so a test (or a person with
// a spy tool) reaches the real control. The buttons' code calls the report object set in
// Mapa with PedidosEcran True: botao_ecran the screen, Botao_Impressora the printer,
// Botao_pdf the PDF, botao_conf the destination chooser and then the chosen output,
// Botao_Sair leaves. The destination frame's option buttons set Destino (1 to 5).
#pragma once

#include "automation/object.h"

namespace vantrel::substitutes::com {

inline constexpr char16_t kParameterWindowProgId[] = u"QuorilVantrel.StandIns.ParameterWindow";

automation::ObjectRef makeParameterWindow();

}  // namespace vantrel::substitutes::com
