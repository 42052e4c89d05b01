// The ERP automation API login, its check before a document is touched and the two toggles
// with which the user switches it off and on.
#include "interfaces/next_api_connection.h"
#include "solution/company_connection.h"
#include "solution/solucao.h"

namespace vantrel::solution {

using automation::T;
using automation::Text;
namespace msgbox = interfaces::msgbox;

bool Solucao::pNextApiConnect(const Text& ficheiro) {
    // A login still open is closed before its object is replaced: nothing else could close it.
    if (mApiLigada) {
        mApiLigada = false;
        try {
            interfaces::NextApiConnection(mApiNext).Disconnect();
        } catch (...) {
            // The old login is being abandoned either way.
        }
    }
    mApiNext = services_.createComponent(interfaces::component::NextApiConnection);
    interfaces::NextApiConnection api(mApiNext);
    api.SetProduct(kApiProduct);
    if (api.Connect(ficheiro)) {
        api.SetDatabase(mDados);
        mApiLigada = true;
        return true;
    }
    services_.dialogs->messageBox(T("Erro. Não foi possivel ligar ao Sage Next"),
                                  msgbox::OkOnly + msgbox::Exclamation,
                                  T("Ligação ao Servidor/Sage Next"));
    return false;
}

bool Solucao::pNextApiDisconnect() {
    interfaces::NextApiConnection(mApiNext).Disconnect();
    mApiLigada = false;
    return true;
}

bool Solucao::pVerificarApi() {
    if (!mApiLigada) {
        services_.dialogs->messageBox(
            T("A API Sage100C encontra-se desligada. A operação não vai actualizar dados no "
              "Sage Next."),
            msgbox::OkOnly + msgbox::Information, T("Ligação Sage100C API"));
    }
    return mApiLigada;
}

void Solucao::toggleApi(const Text& apiName, const Text& resultTitle) {
    const automation::ScopedLocale locale(services_.locale());
    Text pergunta = T("A API ") + apiName + T(" encontra-se ") +
                    (mApiLigada ? T("ligada.") : T("desligada.")) + T(" Pretende ") +
                    (mApiLigada ? T("desligar?") : T("ligar?"));
    int answer = services_.dialogs->messageBox(pergunta, msgbox::YesNo + msgbox::Question,
                                               T("Ligação SageNext API"));
    if (answer != msgbox::AnswerYes) return;
    if (mApiLigada) {
        interfaces::NextApiConnection(mApiNext).Disconnect();
        mApiNext.reset();
        mApiLigada = false;
        services_.dialogs->messageBox(T("A API ") + apiName + T(" encontra-se agora, desligada."),
                                      msgbox::OkOnly + msgbox::Information, resultTitle);
    } else if (pNextApiConnect(mFicheiroConfig)) {
        services_.dialogs->messageBox(T("A API ") + apiName + T(" encontra-se agora, ligada."),
                                      msgbox::OkOnly + msgbox::Information, resultTitle);
    }
}

// The toggles have no frame: whatever fails goes back to the caller as a RuntimeError.
void Solucao::pNextApiConnectDisconnect() {
    try {
        toggleApi(u"SageNext", T("Ligação SageNext API"));
    } catch (...) {
        throw automation::currentError();
    }
}

void Solucao::Esp_ConnectDisconnectApiNext() {
    try {
        toggleApi(u"Sage100C", T("Ligação Sage100C API"));
    } catch (...) {
        throw automation::currentError();
    }
}

}  // namespace vantrel::solution
