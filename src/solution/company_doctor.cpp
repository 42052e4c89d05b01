#include "solution/company_doctor.h"

#include <cstdio>
#include <map>
#include <optional>

#include "automation/runtime_error.h"
#include "documents/energy_surcharge.h"
#include "interfaces/connection_settings.h"
#include "interfaces/core_data_access.h"
#include "interfaces/next_api_connection.h"
#include "reports/engine/crystal_report_main.h"
#include "solution/company_connection.h"
#include "solution/company_settings.h"

namespace vantrel::solution {

using automation::Text;

namespace {

using automation::ObjectRef;
using automation::T;
using automation::Variant;
using documents::EnergySurcharge;
namespace component = interfaces::component;

// A settings file is small; more than this is not read for the encoding check.
constexpr std::size_t kProbeLimit = 1 << 20;
const Text kMasked = u"********";

// Not the ERP's own table: the stand-in company database names its articles so. A database
// without it answers the query with an error, which the check reports as not checked.
constexpr char16_t kArticlesTable[] = u"ARTIGOS";

Text q(const Text& text) {
    return u"\"" + text + u"\"";
}

Text errorText(const automation::RuntimeError& e) {
    Text t = T("erro ") + automation::fromUtf8(std::to_string(e.number()));
    if (!e.description().empty()) t += u" (" + e.description() + u")";
    return t;
}

Text number(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return automation::fromUtf8(buffer);
}

// A member only the stand-ins have (LastError): read when there, else nothing.
Text optionalText(const ObjectRef& object, const char16_t* member) {
    try {
        return object.get(member).toText();
    } catch (...) {
        return Text();
    }
}

Text withReason(Text found, const Text& reason) {
    if (!reason.empty()) found += u": " + reason;
    return found;
}

Text withoutFinalBackslashes(Text folder) {
    while (automation::endsWith(folder, u"\\")) folder.pop_back();
    return folder;
}

class Doctor {
public:
    Doctor(const interfaces::Services& services, Text empresa)
        : s_(services), empresa_(std::move(empresa)) {}

    std::vector<DoctorCheck> all() {
        bool fileReadable = settingsFile();
        if (fileReadable) {
            readSettings(*s_.profile, location_->path, fields_);
            apiKeys();
            connectionKeys();
            surchargeKeys();
        }
        components();
        if (fileReadable) {
            database();
            api();
        }
        return std::move(out_);
    }

    std::vector<DoctorCheck> componentsOnly() {
        components();
        return std::move(out_);
    }

private:
    void add(Text check, CheckState state, Text found, Text mend = Text()) {
        out_.push_back({std::move(check), state, std::move(found), std::move(mend), Text()});
    }
    void ok(Text check, Text found) { add(std::move(check), CheckState::Ok, std::move(found)); }
    void warn(Text check, Text found, Text mend = Text()) {
        add(std::move(check), CheckState::Warning, std::move(found), std::move(mend));
    }
    void fail(Text check, Text found, Text mend) {
        add(std::move(check), CheckState::Fails, std::move(found), std::move(mend));
    }

    static Text keyCheck(const char* section, const char16_t* key) {
        return u"[" + T(section) + u"] " + key;
    }
    const Text& value(Text SolucaoFields::*field) const { return fields_.*field; }

    // --- The settings file ------------------------------------------------------------------

    bool settingsFile() {
        const Text pasta = T("Pasta de dados");
        try {
            location_ = locateSettingsFile(s_, empresa_);
        } catch (...) {
            fail(pasta,
                 T("SharedFolders ou FolderCheck falhou: ") + errorText(automation::currentError()),
                 T("Veja abaixo os componentes SharedFolders e FolderCheck: sem eles o suplemento "
                   "não encontra o ficheiro de configuração."));
            return false;
        }
        const SettingsLocation& where = *location_;
        if (where.talmekExists) {
            ok(pasta, T("SharedFolders: ") + where.baseFolder + T("; FolderCheck: ") +
                          where.talmekFolder + T(" existe"));
        } else {
            warn(pasta,
                 T("SharedFolders: ") + where.baseFolder + T("; FolderCheck: ") +
                     where.talmekFolder +
                     T(" não existe, por isso o ficheiro é procurado na pasta "
                       "do suplemento, ") +
                     where.folder,
                 T("Crie a pasta ") + where.talmekFolder +
                     T(" e guarde nela o ficheiro, se é lá que a instalação o espera."));
        }

        const Text ficheiro = T("Ficheiro de configuração");
        interfaces::FileProbe probe = s_.platform->probeFile(where.path, kProbeLimit);
        if (!probe.exists) {
            fail(ficheiro, where.path + T(" não existe"),
                 T("Crie o ficheiro ") + where.path +
                     T(" com as secções [Api Next], [Ligação] e [Documentos com taxa]."));
            return false;
        }
        if (!probe.readable) {
            fail(ficheiro, where.path + T(" existe mas não pode ser lido"),
                 T("Confirme que ") + where.path +
                     T(" é um ficheiro e que o utilizador do ERP o pode ler."));
            return false;
        }
        ok(ficheiro, where.path + T(" existe e pode ser lido"));
        encoding(probe.bytes);
        return true;
    }

    void encoding(const std::string& bytes) {
        const Text check = T("Codificação do ficheiro");
        auto startsWith = [&](std::string_view bom) { return bytes.starts_with(bom); };
        if (startsWith("\xFF\xFE")) {
            ok(check, T("UTF-16 LE (com marca de ordem de bytes): lido como Unicode"));
            return;
        }
        const Text resave =
            T("Guarde o ficheiro em ANSI (Windows-1252), a codificação que as "
              "funções de perfil do Windows leem.");
        if (startsWith("\xEF\xBB\xBF")) {
            warn(check,
                 T("UTF-8 com marca de ordem de bytes: o Windows pode ler a marca como parte da "
                   "primeira linha e perder a primeira secção"),
                 resave);
            return;
        }
        if (startsWith("\xFE\xFF")) {
            warn(check, T("UTF-16 BE: o Windows não o lê como Unicode"), resave);
            return;
        }
        bool high = false;
        for (unsigned char c : bytes) high = high || c >= 0x80;
        // Bytes above ASCII that are all well-formed UTF-8 are most likely a file saved as
        // UTF-8 without a mark: "Ligação" would then read as "LigaÃ§Ã£o".
        if (high && automation::toUtf8(automation::fromUtf8(bytes)) == bytes) {
            warn(check,
                 T("parece UTF-8 sem marca de ordem de bytes, mas é lido como ANSI "
                   "(Windows-1252): \"Ligação\" não seria encontrada"),
                 resave);
            return;
        }
        ok(check, T("ANSI (Windows-1252), como as funções de perfil o leem"));
    }

    // --- The keys -------------------------------------------------------------------------

    void apiKeys() {
        const Text& password = fields_.mApiPassword;
        if (password.empty()) {
            warn(keyCheck("Api Next", u"password"),
                 T("vazia: o login da API usa uma "
                   "palavra-passe vazia"),
                 T("Se o utilizador da API tem palavra-passe, escreva-a em \"password\"."));
        } else {
            ok(keyCheck("Api Next", u"password"), T("definida (") + kMasked + u")");
        }

        const Text& login = fields_.mApiLogin;
        if (login.empty()) {
            warn(keyCheck("Api Next", u"Login"), T("vazio: o login da API vai ser recusado"),
                 T("Escreva em \"Login\" o utilizador do ERP com que o suplemento entra na API."));
        } else {
            ok(keyCheck("Api Next", u"Login"), q(login));
        }

        const Text check = keyCheck("Api Next", u"Empresa");
        const Text& apiEmpresa = fields_.mApiEmpresa;
        Text shown = apiEmpresa.empty() ? T("vazio") : q(apiEmpresa);
        if (apiEmpresa == empresa_) {
            ok(check, shown + T(", a empresa pedida"));
        } else if (!settingsBelongTo(fields_, empresa_)) {
            fail(check,
                 shown + T(" não é a empresa ") + empresa_ +
                     T(": a entrada na empresa é recusada sem mensagem"),
                 T("Escreva Empresa=") + empresa_ +
                     T(" na secção [Api Next] (o código da empresa tal como o ERP o passa)."));
        } else {
            warn(check,
                 shown + T(" não é a empresa ") + empresa_ +
                     T(", mas sem base de dados em [Ligação] a entrada continua"),
                 T("Escreva Empresa=") + empresa_ + T(" na secção [Api Next]."));
        }

        logFolder();

        const Text& windows = fields_.mPercursoWindows;
        ok(keyCheck("Api Next", u"PercWindows"),
           (windows.empty() ? T("vazio") : q(windows)) + T(" (o suplemento não o usa)"));
    }

    void logFolder() {
        const Text check = keyCheck("Api Next", u"perclog");
        if (fields_.mPercursoLog.empty()) {
            ok(check, T("vazio: o suplemento não escreve registo"));
            return;
        }
        Text folder = withoutFinalBackslashes(fields_.mPercursoLog);
        if (!s_.platform->folderExists(folder)) {
            fail(check, T("a pasta ") + q(fields_.mPercursoLog) + T(" não existe"),
                 T("Crie a pasta ") + folder +
                     T(" ou corrija \"perclog\": sem ela o registo do suplemento não é escrito."));
        } else if (!s_.platform->folderWritable(folder)) {
            fail(check, T("a pasta ") + q(fields_.mPercursoLog) + T(" não pode ser escrita"),
                 T("Dê ao utilizador do ERP permissão de escrita em ") + folder +
                     T(", ou indique outra pasta em \"perclog\"."));
        } else {
            ok(check, T("a pasta ") + q(fields_.mPercursoLog) + T(" existe e pode ser escrita"));
        }
    }

    void connectionKeys() {
        const Text completes =
            T(": o suplemento pede ao ConnectionSettings que complete a "
              "ligação");
        for (auto [key, field] : {std::pair{u"Servidor", &SolucaoFields::mServidor},
                                  std::pair{u"Empresa", &SolucaoFields::mBaseDados}}) {
            if (value(field).empty()) {
                warn(keyCheck("Ligação", key), T("vazio") + completes,
                     T("Escreva em \"") + key + T("\" o ") +
                         (field == &SolucaoFields::mServidor ? T("servidor SQL Server")
                                                             : T("nome da base de dados")) +
                         T(" da empresa."));
            } else {
                ok(keyCheck("Ligação", key), q(value(field)));
            }
        }
        const Text& user = fields_.mUtilizadorBD;
        const Text& password = fields_.mPasswordBD;
        if (!user.empty()) {
            ok(keyCheck("Ligação", u"Username"), q(user) + T(": login do SQL Server"));
        } else if (password.empty()) {
            ok(keyCheck("Ligação", u"Username"),
               T("vazio, com PassWord vazia: login integrado do Windows; o suplemento pede ao "
                 "ConnectionSettings que complete a ligação"));
        } else {
            warn(keyCheck("Ligação", u"Username"),
                 T("vazio com PassWord definida: login do SQL Server sem utilizador"),
                 T("Escreva o utilizador em \"Username\", ou apague \"PassWord\" para usar o login "
                   "do Windows."));
        }
        if (!password.empty()) {
            ok(keyCheck("Ligação", u"PassWord"), T("definida (") + kMasked + u")");
        } else if (user.empty()) {
            ok(keyCheck("Ligação", u"PassWord"), T("vazia: login do Windows"));
        } else {
            warn(keyCheck("Ligação", u"PassWord"),
                 T("vazia com Username definido: login do SQL Server sem palavra-passe"),
                 T("Escreva em \"PassWord\" a palavra-passe de ") + user + u".");
        }
    }

    void surchargeKeys() {
        documentList();
        rate();
        const Text& pergunta = fields_.mPerguntaTaxa;
        Text shown = pergunta.empty() ? T("vazio") : q(pergunta);
        if (automation::ucase(automation::left(pergunta, 1)) == u"S") {
            ok(keyCheck("Documentos com taxa", u"Pergunta"),
               shown + T(": começa por S, o utilizador é questionado antes de a linha ser "
                         "adicionada"));
        } else {
            ok(keyCheck("Documentos com taxa", u"Pergunta"),
               shown + T(": não começa por S, a linha é adicionada sem perguntar"));
        }
        const Text& artigo = fields_.mArtigoTaxa;
        if (artigo.empty()) {
            fail(keyCheck("Documentos com taxa", u"Artigo"),
                 T("vazio: a linha da taxa ficaria sem artigo e qualquer linha sem artigo "
                   "contaria como linha de taxa"),
                 T("Escreva em \"Artigo\" o código do artigo da taxa energética."));
        } else {
            ok(keyCheck("Documentos com taxa", u"Artigo"), q(artigo));
        }
    }

    void documentList() {
        const Text check = keyCheck("Documentos com taxa", u"Documentos");
        const Text& list = fields_.mDocumentosTaxa;
        const Text example = T(" Por exemplo: Documentos=FT,0;FR,0");
        if (list.empty()) {
            fail(check, T("vazio: nenhum documento recebe a taxa"),
                 T("Escreva os tipos e séries que recebem a taxa, TIPO,SÉRIE separados por "
                   "\";\".") +
                     example);
            return;
        }
        Text pairs, bad, notZero;
        std::size_t qualifying = 0;
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t end = list.find(u';', start);
            if (end == Text::npos) end = list.size();
            Text entry = list.substr(start, end - start);
            start = end + 1;
            if (entry.empty()) continue;
            std::size_t comma = entry.find(u',');
            Text tipo = comma == Text::npos ? Text() : entry.substr(0, comma);
            Text serie = comma == Text::npos ? Text() : entry.substr(comma + 1);
            // The hook matches ";type,series;" exactly: an entry with blanks around its parts
            // or a second comma never matches a document.
            bool readable = comma != Text::npos && !tipo.empty() && !serie.empty() &&
                            serie.find(u',') == Text::npos && automation::trim(tipo) == tipo &&
                            automation::trim(serie) == serie &&
                            EnergySurcharge::listHolds(list, tipo, serie);
            if (!readable) {
                bad += (bad.empty() ? Text() : T(", ")) + q(entry);
                continue;
            }
            pairs += (pairs.empty() ? Text() : T(", ")) + T("tipo ") + tipo + T(" série ") + serie;
            bool zero = false;
            try {
                zero = EnergySurcharge::seriesTakesSurcharge(Variant(serie));
            } catch (...) {
                zero = false;
            }
            if (zero) {
                ++qualifying;
            } else {
                notZero += (notZero.empty() ? Text() : T(", ")) + tipo + u"," + serie;
            }
        }
        const Text rule =
            T("só séries que se leem como o número 0 recebem a taxa (a gravação "
              "compara a série com o inteiro 0)");
        if (!bad.empty()) {
            fail(check,
                 T("não se lê como pares TIPO,SÉRIE: ") + bad +
                     (pairs.empty() ? Text() : T("; pares lidos: ") + pairs),
                 T("Escreva cada entrada como TIPO,SÉRIE, sem espaços, separadas por \";\".") +
                     example);
        } else if (qualifying == 0) {
            fail(check, pairs + T("; nenhuma série é 0: ") + rule,
                 T("Indique os documentos pela série 0.") + example);
        } else if (!notZero.empty()) {
            warn(check, pairs + T("; ") + notZero + T(" nunca recebem a taxa: ") + rule,
                 T("Retire as entradas de séries que não são 0, ou mude-as para a série 0."));
        } else {
            ok(check, pairs + T("; ") + rule);
        }
    }

    void rate() {
        const Text check = keyCheck("Documentos com taxa", u"Taxa");
        const Text& taxa = fields_.mTaxa;
        const Text mend =
            T("Escreva em \"Taxa\" a percentagem da taxa, com vírgula ou ponto "
              "decimal, por exemplo Taxa=1,5.");
        std::optional<double> rate;
        Text normalised = EnergySurcharge::normaliseRate(taxa);
        try {
            rate = EnergySurcharge::rateOf(normalised);
        } catch (...) {
            fail(check, q(taxa) + T(": ") + errorText(automation::currentError()), mend);
            return;
        }
        if (!rate) {
            fail(check,
                 (taxa.empty() ? T("vazio") : q(taxa)) +
                     T(" não é um número: a gravação não adiciona a linha"),
                 mend);
            return;
        }
        ok(check, q(taxa) + T(": a reescrita usa ") + number(*rate * 100) + T(" %, ou seja ") +
                      number(*rate) + T(" × a soma das quatro bases"));
    }

    // --- The components ---------------------------------------------------------------------

    void components() {
        for (const char16_t* name :
             {component::CoreDataAccess, component::ConnectionSettings,
              component::NextApiConnection, component::SharedFolders, component::FolderCheck}) {
            Text progId =
                s_.components ? s_.components->progIdOf(name) : interfaces::defaultProgId(name);
            Text source = s_.components ? s_.components->sourceOf(name) : Text();
            Text from = T("ProgID ") + progId + (source.empty() ? Text() : u" (" + source + u")");
            Text subject = Text(name) + u" (" + progId + u")";
            try {
                ObjectRef made = s_.factory->create(progId);
                created_[name] = true;
                ok(T("Componente ") + name, from + T(": criado"));
            } catch (...) {
                created_[name] = false;
                fail(T("Componente ") + name,
                     from + T(" não pode ser criado: ") + errorText(automation::currentError()),
                     T("Instale ou registe o componente ") + name +
                         T(" da biblioteca base do ERP (ProgID ") + progId +
                         T("), ou escreva o ProgID que a instalação lhe dá no valor ") + name +
                         T(" de HKLM\\Software\\QuorilVantrel\\Components."));
            }
            out_.back().subject = subject;
        }
        for (const char16_t* progId :
             {reports::engine::kProgIdCrystal10, reports::engine::kProgIdCrystal85}) {
            try {
                ObjectRef made = s_.factory->create(progId);
                ok(T("Runtime de relatórios ") + progId, T("criado"));
            } catch (...) {
                warn(T("Runtime de relatórios ") + progId,
                     T("não pode ser criado: ") + errorText(automation::currentError()) +
                         T("; só os relatórios (CrystalReportMain) precisam dele"),
                     T("Instale o runtime do Crystal Reports dessa versão, se a empresa usa os "
                       "relatórios do suplemento."));
            }
            out_.back().subject = progId;
        }
    }

    // Whether the components a later check needs were created; otherwise says so.
    bool have(const Text& check, std::initializer_list<const char16_t*> names) {
        for (const char16_t* name : names) {
            if (!created_[name]) {
                warn(check, T("não verificado: o componente ") + name + T(" não pode ser criado"));
                return false;
            }
        }
        return true;
    }

    // --- The database -----------------------------------------------------------------------

    void database() {
        const Text check = T("Base de dados");
        const Text table = T("Tabela DOCGCLIN");
        const Text article = T("Artigo da taxa na base de dados");
        if (!have(check, {component::CoreDataAccess, component::ConnectionSettings})) return;
        interfaces::CoreDataAccess dados;
        try {
            dados = interfaces::CoreDataAccess(s_.createComponent(component::CoreDataAccess));
            interfaces::ConnectionSettings ligacao(
                s_.createComponent(component::ConnectionSettings));
            DatabaseLogon logon = readDatabaseLogon(ligacao, location_->path);
            DatabaseLogon shown = logon;
            if (!shown.password.empty()) shown.password = kMasked;
            Text string = companyConnectionString(shown);
            if (!dados.Open(companyConnectionString(logon))) {
                fail(
                    check,
                    withReason(string + T(" — a ligação não abriu"),
                               optionalText(dados.ref(), u"LastError")),
                    T("Verifique em [Ligação] o servidor (Servidor), a base de dados (Empresa) e o "
                      "login (Username, PassWord); com Username e PassWord vazios usa-se o login "
                      "integrado do Windows."));
                warn(table, T("não verificado: a base de dados não abriu"));
                warn(article, T("não verificado: a base de dados não abriu"));
                return;
            }
            ok(check, string + T(" — a ligação abriu"));
        } catch (...) {
            fail(check, T("a ligação falhou: ") + errorText(automation::currentError()),
                 T("Veja o componente CoreDataAccess e a secção [Ligação]."));
            return;
        }
        try {
            dados.OpenRecordset(u"SELECT * FROM DOCGCLIN WHERE 1 = 0");
            ok(table, T("pode ser lida"));
        } catch (...) {
            fail(table, T("não pode ser lida: ") + errorText(automation::currentError()),
                 T("Confirme que \"Empresa\" em [Ligação] é a base de dados da empresa do ERP "
                   "(a taxa energética lê as linhas dos documentos na tabela DOCGCLIN)."));
        }
        surchargeArticle(dados, article);
        try {
            dados.Close();
        } catch (...) {
            // Nothing was changed; a close that fails leaves nothing to undo.
        }
    }

    void surchargeArticle(const interfaces::CoreDataAccess& dados, const Text& check) {
        const Text& artigo = fields_.mArtigoTaxa;
        if (artigo.empty()) {
            warn(check, T("não verificado: \"Artigo\" está vazio"));
            return;
        }
        Text sql = T("SELECT ARTIGO FROM ") + kArticlesTable + T(" WHERE ARTIGO = '") +
                   automation::replaceAll(artigo, u"'", u"''") + u"'";
        try {
            interfaces::Recordset rows = dados.OpenRecordset(sql);
            if (rows.Eof()) {
                fail(check, T("o artigo ") + q(artigo) + T(" não existe nos artigos da empresa"),
                     T("Crie o artigo ") + artigo +
                         T(" no ERP, ou escreva em \"Artigo\" o código "
                           "de um artigo que exista."));
            } else {
                ok(check, T("o artigo ") + q(artigo) + T(" existe"));
            }
        } catch (...) {
            warn(check, T("não verificado: os artigos não puderam ser lidos: ") +
                            errorText(automation::currentError()));
        }
    }

    // --- The ERP API ------------------------------------------------------------------------

    void api() {
        const Text check = T("API do ERP");
        if (!have(check, {component::NextApiConnection})) return;
        const Text& login = fields_.mApiLogin;
        try {
            interfaces::NextApiConnection api(s_.createComponent(component::NextApiConnection));
            api.SetProduct(kApiProduct);
            if (api.Connect(location_->path)) {
                api.Disconnect();
                ok(check, T("o login de ") + q(login) + T(" foi aceite; a sessão foi fechada"));
                return;
            }
            Text mend =
                login.empty()
                    ? T("Escreva em \"Login\" da secção [Api Next] o utilizador do ERP.")
                    : T("Verifique \"Login\" e \"password\" em [Api Next]: têm de ser um "
                        "utilizador do ERP, com a sua palavra-passe, com acesso à empresa.");
            fail(check,
                 withReason(T("o login de ") + q(login) + T(" foi recusado"),
                            optionalText(api.ref(), u"LastError")),
                 mend);
        } catch (...) {
            fail(check, T("o login falhou: ") + errorText(automation::currentError()),
                 T("Veja o componente NextApiConnection e a secção [Api Next]."));
        }
    }

    const interfaces::Services& s_;
    Text empresa_;
    std::optional<SettingsLocation> location_;
    SolucaoFields fields_;
    std::map<Text, bool> created_;
    std::vector<DoctorCheck> out_;
};

}  // namespace

std::vector<DoctorCheck> examineCompany(const interfaces::Services& services, const Text& empresa) {
    return Doctor(services, empresa).all();
}

std::vector<DoctorCheck> examineComponents(const interfaces::Services& services) {
    return Doctor(services, Text()).componentsOnly();
}

}  // namespace vantrel::solution
