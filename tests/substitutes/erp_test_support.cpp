#include "erp_test_support.h"

#include <atomic>
#include <cstring>

#include <unistd.h>

#include "data_folder.h"
#include "erp/sqlite_database.h"

namespace vantrel::substitutes::erp::testing {

using automation::Text;
using automation::TextView;

void MemoryProfile::set(TextView file, TextView section, TextView key, TextView value) {
    files_[automation::toCp1252(file)][automation::toCp1252(section)][automation::toCp1252(key)] =
        automation::toCp1252(value);
}

std::uint32_t MemoryProfile::getString(const char* section, const char* key,
                                       const char* defaultText, char* buffer, std::uint32_t size,
                                       const char* file) {
    ++reads;
    std::string value = defaultText ? defaultText : "";
    if (section && key && file) {
        auto f = files_.find(file);
        if (f != files_.end()) {
            auto s = f->second.find(section);
            if (s != f->second.end()) {
                auto k = s->second.find(key);
                if (k != s->second.end()) value = k->second;
            }
        }
    }
    if (size == 0) return 0;
    std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<std::uint32_t>(n);
}

int ScriptedDialogs::messageBox(TextView text, int style, const std::optional<Text>& title) {
    boxes.push_back(RecordedBox{Text(text), style, title});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    return (style & 0xF) == interfaces::msgbox::YesNo ? interfaces::msgbox::AnswerNo
                                                      : interfaces::msgbox::AnswerOk;
}

namespace {

// The company database is built once per test program and copied for each test: building
// it commits a dozen transactions, each waiting for the disk.
class CompanyTemplate {
public:
    CompanyTemplate() {
        folder_ = std::filesystem::temp_directory_path() /
                  ("vantrel-standins-template-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        setDataFolder(automation::fromUtf8(folder_.string()));
        const char16_t* catalog = u"EMP01";
        createCompanyDatabase(catalog);
        addArticle(catalog, {u"A001", u"Parafuso", u"UN", 23, 10, u"A1"});
        addArticle(catalog, {u"B002", u"Livro", u"UN", 6, 20, u"A2"});
        addArticle(catalog, {u"C003", u"Vinho", u"GF", 13, 5, u"A1"});
        addArticle(catalog, {u"D004", u"Seguro", u"UN", 0, 50, u""});
        addArticle(catalog, {u"TXE", automation::T("Taxa Energética"), u"UN", 23, 0, u"A1"});
        addErpUser(catalog, u"api", u"Segredo1");
        addSqlLogin(catalog, u"sa", u"Pa;ss=w\"rd");
    }
    ~CompanyTemplate() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    std::filesystem::path file() const { return folder_ / "databases" / "EMP01.sqlite"; }

private:
    std::filesystem::path folder_;
};

}  // namespace

void CompanyFixture::SetUp() {
    static CompanyTemplate company;
    static std::atomic<int> counter{0};
    folder = std::filesystem::temp_directory_path() /
             ("vantrel-standins-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "databases");
    std::filesystem::copy_file(company.file(), folder / "databases" / "EMP01.sqlite");
    setDataFolder(automation::fromUtf8(folder.string()));
    setLockTimeout(50);
    registry.setContext(context());

    profile.set(kSettings, u"Api Next", u"Login", u"api");
    profile.set(kSettings, u"Api Next", u"password", u"Segredo1");
    profile.set(kSettings, automation::T("Ligação"), u"Servidor", u"SRV\\SQL");
    profile.set(kSettings, automation::T("Ligação"), u"Empresa", kCatalog);
    profile.set(kSettings, automation::T("Ligação"), u"Username", u"sa");
    profile.set(kSettings, automation::T("Ligação"), u"PassWord", u"Pa;ss=w\"rd");
}

void CompanyFixture::TearDown() {
    setLockTimeout(2000);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

automation::ObjectRef CompanyFixture::connectedApi() {
    auto api = registry.create(progid::NextApiConnection);
    api.call(u"SetProduct", u"1GCO2022_40");
    EXPECT_TRUE(api.call(u"Connect", kSettings).toBool())
        << automation::toUtf8(api.get(u"LastError").toText());
    return api;
}

automation::ObjectRef CompanyFixture::openDataAccess() {
    auto data = registry.create(progid::CoreDataAccess);
    EXPECT_TRUE(data.call(u"Open",
                          u"Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=SRV;Initial "
                          u"Catalog=EMP01;Integrated Security=SSPI;")
                    .toBool());
    return data;
}

}  // namespace vantrel::substitutes::erp::testing
