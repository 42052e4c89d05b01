// The company's settings file: found from the base data folder, read key by key into the
// fields of the open company. Nothing here writes the file.
#include "interfaces/connection_settings.h"
#include "settings/cinifile.h"
#include "solution/solucao.h"

namespace vantrel::solution {

using automation::T;

void Solucao::pLerConfiguracao() {
    Text pasta;
    {
        interfaces::SharedFolders pastas(
            services_.createComponent(interfaces::component::SharedFolders));
        pasta = pastas.Folder() + u"\\talmek";
        interfaces::FolderCheck verificar(
            services_.createComponent(interfaces::component::FolderCheck));
        if (!verificar.FolderExists(pasta)) pasta = services_.platform->moduleFolder();
    }
    mFicheiroConfig = pasta + u"\\" + u"VANTREL" + u"." + mEmpresa;

    settings::cInifile ini(*services_.profile);
    ini.setPath(mFicheiroConfig);
    auto ler = [&ini](const char16_t* key) {
        ini.setKey(key);
        return ini.Value();
    };

    ini.setSection(u"Api Next");
    mApiPassword = ler(u"password");
    mApiLogin = ler(u"Login");
    mApiEmpresa = ler(u"Empresa");
    mPercursoLog = ler(u"perclog");
    mPercursoWindows = ler(u"PercWindows");

    ini.setSection(T("Ligação"));
    mServidor = ler(u"Servidor");
    mBaseDados = ler(u"Empresa");
    mUtilizadorBD = ler(u"Username");
    mPasswordBD = ler(u"PassWord");

    ini.setSection(u"Documentos com taxa");
    mDocumentosTaxa = ler(u"Documentos");
    mTaxa = ler(u"Taxa");
    mPerguntaTaxa = ler(u"Pergunta");
    mArtigoTaxa = ler(u"Artigo");
}

}  // namespace vantrel::solution
