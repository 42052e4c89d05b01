// The report engine's error box: OK button only, no icon, the application's default title,
// and the text "Erro <number>" CR LF "(<description>)" CR LF "Na função <procedure> do
// <module>". Every procedure with a handler names itself through one of the places below.
#pragma once

#include "automation/runtime_error.h"
#include "interfaces/dialogs.h"

namespace vantrel::reports::engine {

struct ProcedurePlace {
    const char16_t* procedure;
    const char16_t* module;
};

namespace where {
inline constexpr ProcedurePlace ExecutaMapa{u"ExecutaMapa", u"modCrystal"};
inline constexpr ProcedurePlace ExecutaMapa_Recordset{u"ExecutaMapa_Recordset", u"modCrystal"};
inline constexpr ProcedurePlace pExisteMapa{u"pExisteMapa", u"clCristal2010"};
inline constexpr ProcedurePlace pStartCrystal{u"pStartCrystal", u"modCrystal"};
inline constexpr ProcedurePlace pStopCrystal{u"pStopCrystal", u"modCrystal"};
inline constexpr ProcedurePlace pAbrirFicheiroMapa{u"pAbrirFicheiroMapa", u"modCrystal"};
inline constexpr ProcedurePlace pLigaMapaBD{u"pLigaMapaBD", u"modCrystal"};
inline constexpr ProcedurePlace pIndicarBD{u"pIndicarBD", u"modCrystal"};
inline constexpr ProcedurePlace pIndicarBDRecordset{u"pIndicarBDRecordset", u"modCrystal"};
// The printer output names itself by its short name.
inline constexpr ProcedurePlace VisualizarImpressora{u"Impressora", u"modCrystal"};
inline constexpr ProcedurePlace VisualizarPDF{u"VisualizarPDF", u"modCrystal"};
inline constexpr ProcedurePlace VisualizarEmail{u"VisualizarEmail", u"modCrystal"};
inline constexpr ProcedurePlace VisualizarExcel{u"VisualizarExcel", u"modCrystal"};
inline constexpr ProcedurePlace CriarFicheioTTX{u"CriarFicheioTTX", u"CrystalTools"};
inline constexpr ProcedurePlace VisualizarEcran{u"VisualizarEcran", u"modCrystal"};
// Parameter procedures.
inline constexpr ProcedurePlace pCriaCamposEcran{u"pCriaCamposEcran", u"fPedidos"};
inline constexpr ProcedurePlace pAtribuirParametros{u"pAtribuirParametros", u"clCristal2011"};
inline constexpr ProcedurePlace pAtribuirParametrosSemSerDoEcran{
    u"pAtribuirParametrosSemSerDoEcran", u"modCrystal"};
}  // namespace where

// The text of the box for `error` raised inside `place`.
automation::Text reportErrorText(const automation::RuntimeError& error,
                                 const ProcedurePlace& place);

// Shows the box; the answer (always OK) is not needed.
void showReportError(interfaces::Dialogs& dialogs, const automation::RuntimeError& error,
                     const ProcedurePlace& place);

}  // namespace vantrel::reports::engine
