// A Solucao wired to scripted components: the maker's components answer as the test sets
// them up and every call lands in one log, so tests can check what happened and in which
// order.
#pragma once

#include <memory>

#include "solution/fakes.h"
#include "solution/solucao.h"

namespace vantrel::testing {

struct SolutionWorld {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    FakeServices fake;

    // SharedFolders / FolderCheck
    automation::Text baseFolder = u"C:\\Dados";
    bool talmekExists = true;
    // ConnectionSettings: values after Load, and after Complete
    automation::Text server = u"SRV01", database = u"EMP01DB", user = u"sa", password = u"segredo";
    automation::Text completedUser = u"sa";
    // CoreDataAccess / NextApiConnection
    bool openAnswer = true;
    bool connectAnswer = true;
    bool disconnectThrows = false;
    bool closeThrows = false;
    bool folderCheckThrows = false;

    std::vector<automation::Text> connectionStrings;    // what Open received
    std::vector<automation::Text> connectPaths;         // what Connect received
    std::vector<automation::Text> products;             // what SetProduct received
    std::vector<automation::ObjectRef> databasesGiven;  // what SetDatabase received
    std::vector<automation::ObjectRef> dataAccessObjects;
    std::vector<automation::ObjectRef> apiObjects;
    int disconnects = 0;
    int closes = 0;

    SolutionWorld();
    std::unique_ptr<solution::Solucao> make() {
        return std::make_unique<solution::Solucao>(fake.services());
    }
    // The settings file of a company in the base folder's talmek folder.
    automation::Text settingsPath(const automation::Text& company) const {
        return baseFolder + u"\\talmek\\VANTREL." + company;
    }
    void setting(const automation::Text& company, const automation::Text& section,
                 const automation::Text& key, const automation::Text& value) {
        fake.profile.set(settingsPath(company), section, key, value);
    }
    // A company whose "Api Next" company is itself and whose "Ligação" names a database.
    void configureCompany(const automation::Text& company);
    bool logged(const std::string& entry) const;
    std::size_t indexOf(const std::string& entry) const;
};

}  // namespace vantrel::testing
