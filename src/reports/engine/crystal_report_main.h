// CrystalReportMain: one object drives one report of the Crystal Reports runtime, from the
// report file to one output. The caller sets the properties and then runs ExecutaMapa,
// ExecutaMapa_Recordset or AbrirMapa. Progress goes out through the event Executar, failures
// through the report engine's error box; only the operations without a handler (AbrirMapa,
// Add_ParametrosRecordset, QueroSair and the property procedures) let errors through.
//
// The object is also an automation Object (members by name), so the caller's windows can hold
// it (AbrirMapa sets the window's member Mapa to it) and the Windows layer can expose it.
// Create it with std::make_shared (or create()) when AbrirMapa is to be used.
//
// Each public operation and each call by name runs under the locale of the platform the
// object was given, whoever calls it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "automation/members.h"
#include "automation/object.h"
#include "automation/runtime_error.h"
#include "automation/variant.h"
#include "interfaces/services.h"

namespace vantrel::reports::engine {

// Destination codes of in_Destino.
namespace destino {
inline constexpr std::int32_t Ecran = 1;
inline constexpr std::int32_t Impressora = 2;
inline constexpr std::int32_t PDF = 3;
inline constexpr std::int32_t Email = 4;
inline constexpr std::int32_t Excel = 5;
}  // namespace destino

// VersaoCRYSTAL: 0 is version 10; every other value is treated as version 8.5.
namespace versao {
inline constexpr std::int32_t Crystal10 = 0;
inline constexpr std::int32_t Crystal85 = 1;
}  // namespace versao

inline constexpr char16_t kProgIdCrystal10[] = u"CrystalRuntime.Application.10";
inline constexpr char16_t kProgIdCrystal85[] = u"CrystalRuntime.Application.8.5";

struct ProcedurePlace;

class CrystalReportMain : public automation::TableObject<CrystalReportMain>,
                          public std::enable_shared_from_this<CrystalReportMain> {
public:
    // Event Executar(DataHora, Descricao): the current date and time and a progress text.
    using ExecutarHandler = std::function<void(double DataHora, const automation::Text& Descricao)>;

    explicit CrystalReportMain(const interfaces::Services& services);
    ~CrystalReportMain() override;
    CrystalReportMain(const CrystalReportMain&) = delete;
    CrystalReportMain& operator=(const CrystalReportMain&) = delete;

    static std::shared_ptr<CrystalReportMain> create(const interfaces::Services& services);

    // Adds an observer of Executar. Observers run in the order they were added.
    void onExecutar(ExecutarHandler handler);

    // The open report (a public field, written when the report is opened).
    automation::ObjectRef m_Mapa;

    // ---- properties ----
    bool JanelaModal() const { return janelaModal_; }
    void JanelaModal(bool v) { janelaModal_ = v; }
    void HandleFormPai(std::int32_t v) { handleFormPai_ = v; }  // write-only, never read
    automation::ObjectRef FormPai() const { return formPai_; }
    void FormPai(const automation::ObjectRef& v) { formPai_ = v; }
    automation::Text in_NomeBaseDados_Next() const { return nomeBaseDadosNext_; }
    void in_NomeBaseDados_Next(automation::Text v) { nomeBaseDadosNext_ = std::move(v); }
    std::int32_t in_Destino() const { return destino_; }
    void in_Destino(std::int32_t v) { destino_ = v; }
    std::int32_t in_OrientacaoPagina() const { return orientacaoPagina_; }
    void in_OrientacaoPagina(std::int32_t v) { orientacaoPagina_ = v; }
    std::int32_t in_FormatoDoPapel() const { return formatoDoPapel_; }
    void in_FormatoDoPapel(std::int32_t v) { formatoDoPapel_ = v; }
    automation::ObjectRef JanelaVisualizador() const { return janelaVisualizador_; }
    void JanelaVisualizador(const automation::ObjectRef& v) { janelaVisualizador_ = v; }
    bool PodeMudarImpressora() const { return podeMudarImpressora_; }
    void PodeMudarImpressora(bool v) { podeMudarImpressora_ = v; }
    std::int16_t NumeroDeVias() const { return numeroDeVias_; }
    void NumeroDeVias(std::int16_t v);  // 0 stores 1
    bool NaoPermiteImprimir() const { return naoPermiteImprimir_; }
    void NaoPermiteImprimir(bool v) { naoPermiteImprimir_ = v; }
    automation::Text in_Pedidos() const { return pedidos_; }
    void in_Pedidos(automation::Text v);  // a text that is not blank also replaces m_Valores
    automation::Text in_NomeDaImpressora() const { return nomeDaImpressora_; }
    void in_NomeDaImpressora(automation::Text v) { nomeDaImpressora_ = std::move(v); }
    automation::Text in_Mapa() const { return mapa_; }
    void in_Mapa(automation::Text v) { mapa_ = std::move(v); }
    automation::Text FicheiroPDF() const { return ficheiroPDF_; }
    void FicheiroPDF(automation::Text v) { ficheiroPDF_ = std::move(v); }
    automation::Text emailCC() const { return emailCC_; }
    void emailCC(automation::Text v) { emailCC_ = std::move(v); }
    automation::Text emailTo() const { return emailTo_; }
    void emailTo(automation::Text v) { emailTo_ = std::move(v); }
    automation::Text emailSubject() const { return emailSubject_; }
    void emailSubject(automation::Text v) { emailSubject_ = std::move(v); }
    automation::Text emailMessage() const { return emailMessage_; }
    void emailMessage(automation::Text v) { emailMessage_ = std::move(v); }
    automation::ObjectRef in_bd() const { return bd_; }
    void in_bd(const automation::ObjectRef& v) { bd_ = v; }
    automation::Text in_Password() const { return password_; }
    void in_Password(automation::Text v) { password_ = std::move(v); }
    automation::Text in_UserId() const { return userId_; }
    void in_UserId(automation::Text v) { userId_ = std::move(v); }
    automation::Text In_NomeBaseDados() const { return nomeBaseDados_; }
    void In_NomeBaseDados(automation::Text v) { nomeBaseDados_ = std::move(v); }
    automation::Text in_Servidor() const { return servidor_; }
    void in_Servidor(automation::Text v) { servidor_ = std::move(v); }
    std::int32_t VersaoCRYSTAL() const { return versao_; }
    void VersaoCRYSTAL(std::int32_t v) { versao_ = v; }
    automation::Text NomeDoMapa() const { return nomeDoMapa_; }
    void NomeDoMapa(automation::Text v) { nomeDoMapa_ = std::move(v); }
    automation::ObjectRef JanelaParametros() const { return janelaParametros_; }
    void JanelaParametros(const automation::ObjectRef& v) { janelaParametros_ = v; }

    // ---- operations ----
    // Appends a value for ExecutaMapa_Recordset; always false. Past 32,767 values the
    // overflow error (6) goes to the caller.
    bool Add_ParametrosRecordset(const automation::Text& Valor);
    // Replaces the report's data by `rs` and outputs it; always false.
    bool ExecutaMapa_Recordset(automation::ObjectRef& rs, bool MostraMenuImpressora);
    // Runs the report with the values Parametro(1..n); true when the run failed.
    bool ExecutaMapa(automation::Array& Parametro, bool MostraMenuImpressora);
    void QueroSair();
    void VisualizarEmail(bool PedidosEcran);
    void VisualizarExcel(bool PedidosEcran);
    void VisualizarImpressora(bool MostraMenuImpressora, bool pPedidosEcran);
    bool VisualizarEcran(bool PedidosEcran);
    automation::Text MostraLista(const automation::Text& QuestaoSQL);
    // Replaces the "@RRFAABB" references by (parts of) the prompt window's row values.
    automation::Text Substitui(const automation::Text& expressao);
    // Opens the report for the caller's parameter window, builds its rows and shows it
    // modelessly; always false.
    bool AbrirMapa();
    // Shows the parameter window's destination frame and waits for the user's destination and
    // number of copies. A window closed without a choice gives the destination 0 (no output)
    // and the copies proposed.
    void EscolheDestino(std::int16_t inNumeroVias, std::int16_t& outDestino,
                        std::int16_t& outNumeroVias, const automation::Text& TituloMapa);
    void VisualizarPDF(bool PedidosEcran);
    // Writes the field definition file of `rs` through the runtime's field-definition
    // library; true when the library reports success.
    bool CriarFicheioTTX(automation::ObjectRef& rs, automation::Text& NomeFicheiro);

    // The public members by name, for late-bound callers.
    static const automation::Members<CrystalReportMain>& members();
    // Calls by name run under the locale of the object's platform, as its operations do.
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;
    automation::Variant invokeAt(std::size_t index, automation::CallKind kind,
                                 std::span<automation::Argument> args) override;

private:
    friend struct CrystalReportMainTestAccess;

    void Executar(automation::TextView Descricao);
    void showError(const automation::RuntimeError& error, const ProcedurePlace& place);

    // Runs `body` as a procedure with an error handler: an error shows the error box naming
    // `place` and gives the procedure's failure value (false, an empty text, nothing). With
    // `failsTheRun` the error also marks the current run as failed.
    template <class Body>
    auto guarded(const ProcedurePlace& place, Body&& body, bool failsTheRun = false)
        -> decltype(body()) {
        try {
            return body();
        } catch (...) {
            showError(automation::currentError(), place);
            if (failsTheRun) m_FalhouSaida = true;
            if constexpr (!std::is_void_v<decltype(body())>) return {};
        }
    }

    // parameter values
    bool pAtribuirParametros();
    bool pAtribuirParametrosSemSerDoEcran();
    void parameterStep(bool fromWindow);

    // outputs
    automation::Text pEscolheFicheiroPDF();
    automation::Text pEscolheFicheiroExcel();
    automation::Text askFileName(const automation::Text& filter);
    void selectPrinterByName();

    // run sequence steps
    bool pExisteMapa();
    bool pStartCrystal();
    bool pStopCrystal();
    bool pAbrirFicheiroMapa();
    void runOutput(bool MostraMenuImpressora);

    // database binding
    bool pLigaMapaBD();
    bool pIndicarBD(automation::ObjectRef& db);
    bool pIndicarBDRecordset(automation::ObjectRef& rs);
    automation::Text databaseFor(automation::TextView tableName) const;

    // the prompt window
    class PromptRows;  // one build of its rows, step by step
    void pCriaCamposEcran();
    automation::Text startValue(const automation::Text& line, std::int16_t r);
    automation::ObjectRef selfRef();

    // start values of the prompt rows
    automation::Text pSubstituiDatas(const automation::Text& line);
    automation::Text pTextoFuncao(const automation::Text& line);
    automation::Text pTextoLista(const automation::Text& line);
    automation::Text pValorPorDefeito(const automation::Text& line);
    // Substitui, refusing with error 14 a text that would grow past `longest`.
    automation::Text substituteUpTo(const automation::Text& expressao, std::size_t longest);
    automation::Text rowValue(std::int16_t row);
    automation::Text firstValueOfQuery(const automation::Text& sql);
    double now();

    interfaces::Services services_;
    std::vector<ExecutarHandler> executar_;

    // public properties
    bool janelaModal_ = false;
    std::int32_t handleFormPai_ = 0;
    automation::ObjectRef formPai_;
    automation::Text nomeBaseDadosNext_;
    std::int32_t destino_ = 0;
    std::int32_t orientacaoPagina_ = 0;
    std::int32_t formatoDoPapel_ = 0;
    automation::ObjectRef janelaVisualizador_;
    bool podeMudarImpressora_ = false;
    std::int16_t numeroDeVias_ = 0;
    bool naoPermiteImprimir_ = false;
    automation::Text pedidos_;
    automation::Text nomeDaImpressora_;
    automation::Text mapa_;
    automation::Text ficheiroPDF_;
    automation::Text emailCC_;
    automation::Text emailTo_;
    automation::Text emailSubject_;
    automation::Text emailMessage_;
    automation::ObjectRef bd_;
    automation::Text password_;
    automation::Text userId_;
    automation::Text nomeBaseDados_;
    automation::Text servidor_;
    std::int32_t versao_ = 0;
    automation::Text nomeDoMapa_;
    automation::ObjectRef janelaParametros_;

    // internal fields
    automation::ObjectRef m_Aplicacao;
    automation::ObjectRef m_Janela;
    automation::ObjectRef m_Visualizador;
    automation::Array m_Valores{automation::VarType::String, 0, -1};
    automation::Array m_Indices{automation::VarType::Long, 0, -1};
    automation::Array m_TiposCampo{automation::VarType::String, 0, -1};
    automation::Array m_ParametrosRecordset{automation::VarType::String, 0, 0};
    automation::Text m_FicheiroParametros;
    // Set when a parameter step or an output of the current run failed (or a save dialog was
    // cancelled), so the run does not report success for a report that did not come out.
    bool m_FalhouSaida = false;
};

}  // namespace vantrel::reports::engine
