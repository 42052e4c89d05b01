// The company's settings file: found from the base data folder, read key by key into the
// fields of the open company. Nothing here writes the file.
#include "interfaces/connection_settings.h"
#include "settings/cinifile.h"
#include "solution/company_settings.h"
#include "solution/solucao.h"

namespace vantrel::solution {

using automation::T;
using automation::Text;

namespace {

const SettingsKey kKeys[] = {
    {"Api Next", u"password", &SolucaoFields::mApiPassword},
    {"Api Next", u"Login", &SolucaoFields::mApiLogin},
    {"Api Next", u"Empresa", &SolucaoFields::mApiEmpresa},
    {"Api Next", u"perclog", &SolucaoFields::mPercursoLog},
    {"Api Next", u"PercWindows", &SolucaoFields::mPercursoWindows},
    {"Ligação", u"Servidor", &SolucaoFields::mServidor},
    {"Ligação", u"Empresa", &SolucaoFields::mBaseDados},
    {"Ligação", u"Username", &SolucaoFields::mUtilizadorBD},
    {"Ligação", u"PassWord", &SolucaoFields::mPasswordBD},
    {"Documentos com taxa", u"Documentos", &SolucaoFields::mDocumentosTaxa},
    {"Documentos com taxa", u"Taxa", &SolucaoFields::mTaxa},
    {"Documentos com taxa", u"Pergunta", &SolucaoFields::mPerguntaTaxa},
    {"Documentos com taxa", u"Artigo", &SolucaoFields::mArtigoTaxa},
};

}  // namespace

std::span<const SettingsKey> settingsKeys() {
    return kKeys;
}

SettingsLocation locateSettingsFile(const interfaces::Services& services, const Text& empresa) {
    SettingsLocation where;
    interfaces::SharedFolders pastas(
        services.createComponent(interfaces::component::SharedFolders));
    where.baseFolder = pastas.Folder();
    where.talmekFolder = where.baseFolder + u"\\talmek";
    interfaces::FolderCheck verificar(services.createComponent(interfaces::component::FolderCheck));
    where.talmekExists = verificar.FolderExists(where.talmekFolder);
    where.folder = where.talmekExists ? where.talmekFolder : services.platform->moduleFolder();
    where.path = where.folder + u"\\" + u"VANTREL" + u"." + empresa;
    return where;
}

void readSettings(interfaces::ProfileFunctions& profile, const Text& path, SolucaoFields& fields) {
    settings::cInifile ini(profile);
    ini.setPath(path);
    for (const SettingsKey& k : kKeys) {
        ini.setSection(T(k.section));
        ini.setKey(k.key);
        fields.*k.field = ini.Value();
    }
}

bool settingsBelongTo(const SolucaoFields& fields, const Text& empresa) {
    return fields.mApiEmpresa == empresa || fields.mBaseDados.empty();
}

void Solucao::pLerConfiguracao() {
    mFicheiroConfig = locateSettingsFile(services_, mEmpresa).path;
    readSettings(*services_.profile, mFicheiroConfig, *this);
}

}  // namespace vantrel::solution
