// Entering and leaving the company: settings, company check, database connection, ERP API
// connection and the hand-over of the database object to the data-access commands.
#include "interfaces/connection_settings.h"
#include "interfaces/core_data_access.h"
#include "solution/company_connection.h"
#include "solution/company_settings.h"
#include "solution/connection_string.h"
#include "solution/event_frame.h"
#include "solution/solucao.h"

namespace vantrel::solution {

using automation::T;
using automation::Text;
namespace msgbox = interfaces::msgbox;

bool Solucao::pLigarServidor() {
    bool ligado = false;
    runInFrame(*services_.dialogs, T("Ligação ao Servidor"), [&] {
        pLerConfiguracao();
        if (!automation::endsWith(mPercursoLog, u"\\")) mPercursoLog += u"\\";
        // A settings file of another company is refused without a word, unless it names no
        // database at all.
        if (!settingsBelongTo(*this, mEmpresa)) return;
        if (!pAbrirBaseDados(mFicheiroConfig)) return;
        if (pNextApiConnect(mFicheiroConfig)) {
            dal_.SetDataAccess(mDados);
            pCompatibilizarBaseDados();
            ligado = true;
        } else {
            pFecharBaseDados();
        }
    });
    return ligado;
}

bool Solucao::pDesligarServidor() {
    if (mApiLigada) pNextApiDisconnect();
    pFecharBaseDados();
    return true;
}

bool Solucao::pValidarLigacao(const Text& empresa) {
    if (empresa == mEmpresa) return true;
    // Not reached from the host's validation event, which passes the company it has just
    // adopted; kept for a caller that validates another company.
    bool valida = false;
    const Text titulo = T("Validação da ligação ao Servidor");
    runInFrame(*services_.dialogs, titulo, [&] {
        services_.dialogs->messageBox(T("Erro. ") + empresa +
                                          T(" Não está configurada para a solução.") + u"\r\n" +
                                          T("A Solução vao ser desactivada."),
                                      msgbox::OkOnly + msgbox::Exclamation, titulo);
        pDesligarServidor();
        if (pLigarServidor()) {
            valida = true;
            return;
        }
        services_.dialogs->messageBox(T("Erro. Não foi possivel estabelecer a ligação à empresa ") +
                                          empresa + u"." + u"\r\n" +
                                          T("A Solução vao ser desactivada."),
                                      msgbox::OkOnly + msgbox::Exclamation, titulo);
    });
    return valida;
}

DatabaseLogon readDatabaseLogon(const interfaces::ConnectionSettings& ligacao,
                                const Text& ficheiro) {
    ligacao.Load(ficheiro);
    auto lerValores = [&] {
        return DatabaseLogon{ligacao.Server(), ligacao.Database(), ligacao.User(),
                             ligacao.Password()};
    };
    DatabaseLogon logon = lerValores();
    if (logon.database.empty() || logon.server.empty() || logon.user.empty()) {
        ligacao.Complete(false);
        ligacao.Confirm();
        logon = lerValores();
    }
    return logon;
}

Text companyConnectionString(const DatabaseLogon& logon) {
    return pStringLigacao(u"MSDataShape", u"SQLOLEDB", logon.server, logon.database, logon.user,
                          logon.password);
}

bool Solucao::pAbrirBaseDados(const Text& ficheiro) {
    mDados = services_.createComponent(interfaces::component::CoreDataAccess);
    interfaces::ConnectionSettings ligacao(
        services_.createComponent(interfaces::component::ConnectionSettings));
    DatabaseLogon logon = readDatabaseLogon(ligacao, ficheiro);
    mServidor = logon.server;
    mBaseDados = logon.database;
    mUtilizadorBD = logon.user;
    mPasswordBD = logon.password;
    return interfaces::CoreDataAccess(mDados).Open(companyConnectionString(logon));
}

bool Solucao::pFecharBaseDados() {
    try {
        interfaces::CoreDataAccess(mDados).Close();
    } catch (...) {
        // Closing is best effort: a connection that is already gone is closed enough.
    }
    mDados.reset();
    return true;
}

void Solucao::pCompatibilizarBaseDados() {}

}  // namespace vantrel::solution
