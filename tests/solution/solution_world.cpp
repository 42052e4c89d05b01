#include "solution/solution_world.h"

#include <algorithm>

#include "automation/runtime_error.h"

namespace vantrel::testing {

using automation::Argument;
using automation::CallKind;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::T;
using automation::Text;
using automation::Variant;

SolutionWorld::SolutionWorld() {
    auto& c = fake.factory.creators;
    c[u"SharedFolders"] = [this] {
        auto o = std::make_shared<ScriptedObject>("SharedFolders", log);
        o->on(u"Folder", [this](CallKind, std::span<Argument>) { return Variant(baseFolder); });
        return ObjectRef(o);
    };
    c[u"FolderCheck"] = [this] {
        auto o = std::make_shared<ScriptedObject>("FolderCheck", log);
        o->on(u"FolderExists", [this](CallKind, std::span<Argument> a) {
            if (folderCheckThrows) throw RuntimeError(70, u"FolderCheck", u"Acesso negado");
            Text asked = automation::argumentAt(a, 0).toText();
            return Variant(talmekExists && asked == baseFolder + u"\\talmek");
        });
        return ObjectRef(o);
    };
    c[u"ConnectionSettings"] = [this] {
        auto o = std::make_shared<ScriptedObject>("ConnectionSettings", log);
        o->set(u"Server", server).set(u"Database", database).set(u"User", user);
        o->set(u"Password", password);
        ScriptedObject* self = o.get();
        o->on(u"Load", [](CallKind, std::span<Argument>) { return Variant(); });
        o->on(u"Complete", [this, self](CallKind, std::span<Argument>) {
            self->set(u"User", completedUser);
            return Variant();
        });
        o->on(u"Confirm", [](CallKind, std::span<Argument>) { return Variant(); });
        return ObjectRef(o);
    };
    c[u"CoreDataAccess"] = [this] {
        auto o = std::make_shared<ScriptedObject>("CoreDataAccess", log);
        o->on(u"Open", [this](CallKind, std::span<Argument> a) {
            connectionStrings.push_back(automation::argumentAt(a, 0).toText());
            return Variant(openAnswer);
        });
        o->on(u"Close", [this](CallKind, std::span<Argument>) {
            ++closes;
            if (closeThrows) throw RuntimeError(3704, u"CoreDataAccess", u"Ligação fechada");
            return Variant(true);
        });
        ObjectRef ref(o);
        dataAccessObjects.push_back(ref);
        return ref;
    };
    c[u"NextApiConnection"] = [this] {
        auto o = std::make_shared<ScriptedObject>("NextApiConnection", log);
        o->on(u"SetProduct", [this](CallKind, std::span<Argument> a) {
            products.push_back(automation::argumentAt(a, 0).toText());
            return Variant();
        });
        o->on(u"Connect", [this](CallKind, std::span<Argument> a) {
            connectPaths.push_back(automation::argumentAt(a, 0).toText());
            return Variant(connectAnswer);
        });
        o->on(u"SetDatabase", [this](CallKind, std::span<Argument> a) {
            databasesGiven.push_back(automation::argumentAt(a, 0).toObject());
            return Variant();
        });
        o->on(u"Disconnect", [this](CallKind, std::span<Argument>) {
            ++disconnects;
            if (disconnectThrows) throw RuntimeError(5, u"NextApiConnection", T("Sessão perdida"));
            return Variant(true);
        });
        ObjectRef ref(o);
        apiObjects.push_back(ref);
        return ref;
    };
}

void SolutionWorld::configureCompany(const Text& company) {
    setting(company, u"Api Next", u"Empresa", company);
    setting(company, u"Api Next", u"Login", u"api");
    setting(company, u"Api Next", u"password", u"apipw");
    setting(company, T("Ligação"), u"Empresa", database);
    setting(company, T("Ligação"), u"Servidor", server);
}

bool SolutionWorld::logged(const std::string& entry) const {
    return std::find(log->begin(), log->end(), entry) != log->end();
}

std::size_t SolutionWorld::indexOf(const std::string& entry) const {
    auto it = std::find(log->begin(), log->end(), entry);
    return it == log->end() ? log->size() : static_cast<std::size_t>(it - log->begin());
}

}  // namespace vantrel::testing
