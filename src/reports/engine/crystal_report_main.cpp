#include "reports/engine/crystal_report_main.h"

#include "automation/runtime_error.h"
#include "interfaces/crystal_runtime.h"
#include "reports/engine/report_error_box.h"
#include "reports/parameters/value_list.h"

namespace vantrel::reports::engine {

using automation::Array;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::T;
using automation::Text;
using automation::TextView;
using automation::Variant;
using automation::VarType;
namespace errc = automation::errc;
namespace msgbox = interfaces::msgbox;

CrystalReportMain::CrystalReportMain(const interfaces::Services& services) : services_(services) {}

CrystalReportMain::~CrystalReportMain() = default;

std::shared_ptr<CrystalReportMain> CrystalReportMain::create(const interfaces::Services& services) {
    return std::make_shared<CrystalReportMain>(services);
}

void CrystalReportMain::onExecutar(ExecutarHandler handler) {
    executar_.push_back(std::move(handler));
}

double CrystalReportMain::now() {
    return services_.platform->clock().now();
}

void CrystalReportMain::Executar(TextView Descricao) {
    if (executar_.empty()) return;
    const double when = now();
    const Text text(Descricao);
    for (const auto& handler : executar_) handler(when, text);
}

void CrystalReportMain::showError(const RuntimeError& error, const ProcedurePlace& place) {
    showReportError(*services_.dialogs, error, place);
}

// ---- properties -------------------------------------------------------------------------

void CrystalReportMain::NumeroDeVias(std::int16_t v) {
    numeroDeVias_ = v == 0 ? 1 : v;
}

void CrystalReportMain::in_Pedidos(Text v) {
    pedidos_ = std::move(v);
    if (automation::trim(pedidos_).empty()) return;
    m_Valores = Array::ofTexts(parameters::splitValues(pedidos_), 0);
}

// ---- runtime start and stop, report check and opening ------------------------------------

bool CrystalReportMain::pExisteMapa() {
    return guarded(where::pExisteMapa, [&] {
        Executar(T("Verificar existência do mapa ->") + nomeDoMapa_);
        const bool exists = !mapa_.empty() && services_.platform->fileExists(mapa_);
        if (exists) {
            Executar(u"Mapa Existe");
            return true;
        }
        services_.dialogs->messageBox(
            T("A configuração indicada não existe!") + u"\r\n" + nomeDoMapa_,
            msgbox::Critical | msgbox::OkOnly, Text());
        Executar(T("Mapa não existe"));
        return false;
    });
}

bool CrystalReportMain::pStartCrystal() {
    return guarded(where::pStartCrystal, [&] {
        if (versao_ == versao::Crystal10) {
            m_Aplicacao = services_.create(kProgIdCrystal10);
            Executar(T("Instancia runtime crystal reports versão 10"));
        } else {
            m_Aplicacao = services_.create(kProgIdCrystal85);
            Executar(T("Instancia runtime crystal reports versão 8.5"));
        }
        return true;
    });
}

bool CrystalReportMain::pStopCrystal() {
    // Releasing a reference cannot fail; m_Mapa stays for whoever still wants the report.
    m_Aplicacao.reset();
    return true;
}

bool CrystalReportMain::pAbrirFicheiroMapa() {
    return guarded(where::pAbrirFicheiroMapa, [&] {
        m_Mapa.reset();
        Executar(u"Abrir Mapa");
        m_Mapa = interfaces::crystal::Application(m_Aplicacao).OpenReport(mapa_).ref();
        // The description file is the report's path with "txt" in place of its last three
        // characters; a shorter path is an invalid call, as Left with a negative length.
        if (mapa_.size() < 3) throw RuntimeError(errc::InvalidProcedureCall);
        const Text description = automation::left(mapa_, mapa_.size() - 3) + u"txt";
        m_FicheiroParametros = services_.platform->fileExists(description) ? description : Text();
        Executar(u"Ficheiro de parametros ->" + m_FicheiroParametros);
        return true;
    });
}

// ---- run sequences -----------------------------------------------------------------------

void CrystalReportMain::runOutput(bool MostraMenuImpressora) {
    // false: the outputs take their values from m_Valores. They report their own errors.
    switch (destino_) {
        case destino::Ecran:
            VisualizarEcran(false);
            break;
        case destino::Impressora:
            VisualizarImpressora(MostraMenuImpressora, false);
            break;
        case destino::PDF:
            VisualizarPDF(false);
            break;
        case destino::Email:
            VisualizarEmail(false);
            break;
        case destino::Excel:
            VisualizarExcel(false);
            break;
        default:
            break;
    }
}

namespace {

// m_Valores = Array(0 To upper), elements 1 to upper copied from `values` (a 16-bit counter:
// more than 32,767 values overflow).
Array copyValues(const Array& values) {
    const std::int32_t upper = values.ubound();
    Array copy(VarType::String, 0, upper);
    if (upper > 32767) throw RuntimeError(errc::Overflow);
    for (std::int32_t i = 1; i <= upper; ++i) copy.at(i) = Variant(values.at(i).toText());
    return copy;
}

}  // namespace

bool CrystalReportMain::ExecutaMapa(Array& Parametro, bool MostraMenuImpressora) {
    const automation::ScopedLocale locale(services_.locale());
    try {
        if (!pExisteMapa()) return true;
        if (!pStartCrystal()) return true;
        if (!pAbrirFicheiroMapa()) {
            pStopCrystal();
            return true;
        }
        pLigaMapaBD();
        m_Valores = copyValues(Parametro);
        m_FalhouSaida = false;
        runOutput(MostraMenuImpressora);
        const bool stopped = pStopCrystal();
        return m_FalhouSaida || !stopped;
    } catch (...) {
        showError(automation::currentError(), where::ExecutaMapa);
        return true;
    }
}

bool CrystalReportMain::ExecutaMapa_Recordset(ObjectRef& rs, bool MostraMenuImpressora) {
    const automation::ScopedLocale locale(services_.locale());
    return guarded(where::ExecutaMapa_Recordset, [&] {
        if (!pExisteMapa()) return false;
        pStartCrystal();
        pAbrirFicheiroMapa();
        pIndicarBDRecordset(rs);
        Executar(u"Copiar Paramentros para variaveis internas");
        m_Valores = copyValues(m_ParametrosRecordset);
        runOutput(MostraMenuImpressora);
        // The runtime stays started until the next start or the object's end.
        return false;
    });
}

bool CrystalReportMain::Add_ParametrosRecordset(const Text& Valor) {
    const automation::ScopedLocale locale(services_.locale());
    const std::int32_t n = m_ParametrosRecordset.ubound() + 1;
    if (n > 32767) throw RuntimeError(errc::Overflow);
    // Grows by one, keeping the contents (appending keeps thousands of values cheap).
    m_ParametrosRecordset.items.emplace_back(Text());
    Executar(u"Adicionar Parametro ->" + Valor);
    m_ParametrosRecordset.at(n) = Variant(Valor);
    return false;
}

void CrystalReportMain::QueroSair() {
    m_Janela.reset();
}

Text CrystalReportMain::MostraLista(const Text&) {
    return Text();
}

}  // namespace vantrel::reports::engine
