#include <gtest/gtest.h>

#include "erp/counted_object.h"
#include "erp_test_support.h"
#include "platform/posix/posix_catalog.h"

using namespace vantrel::substitutes;
using namespace vantrel::substitutes::erp;
using namespace vantrel::substitutes::erp::testing;
using vantrel::automation::byRef;
using vantrel::automation::ObjectRef;
using vantrel::automation::Text;
using vantrel::automation::toUtf8;
using vantrel::automation::Variant;

namespace {

class RegistryTest : public CompanyFixture {};

TEST_F(RegistryTest, CreatesEveryStandInByProgIdInAnyCase) {
    for (const char16_t* id :
         {progid::CoreDataAccess, progid::ConnectionSettings, progid::NextApiConnection,
          progid::SharedFolders, progid::FolderCheck}) {
        EXPECT_FALSE(registry.create(id).isNothing()) << toUtf8(id);
        EXPECT_FALSE(registry.create(vantrel::automation::lcase(id)).isNothing()) << toUtf8(id);
        EXPECT_TRUE(registry.knows(vantrel::automation::ucase(id)));
    }
}

TEST_F(RegistryTest, UnknownProgIdRaises429) {
    try {
        registry.create(u"CrystalRuntime.Application.10");
        FAIL() << "created an unregistered object";
    } catch (const vantrel::automation::RuntimeError& e) {
        EXPECT_EQ(e.number(), 429);
        EXPECT_NE(toUtf8(e.description()).find("CrystalRuntime.Application.10"), std::string::npos);
    }
}

TEST_F(RegistryTest, OthersRegisterTheirOwnProgIds) {
    const StandInContext* seen = nullptr;
    registry.add(u"CrystalRuntime.Application.10", [&](const StandInContext& c) {
        seen = &c;
        return registry.create(progid::SharedFolders);
    });
    EXPECT_FALSE(registry.create(u"crystalruntime.application.10").isNothing());
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->profile, &profile) << "creators get the registry's ports";
}

TEST_F(RegistryTest, TheLinuxCatalogNamesCreatableStandIns) {
    vantrel::platform::posix::PosixCatalog catalog;
    namespace c = vantrel::interfaces::component;
    for (const char16_t* name : {c::CoreDataAccess, c::ConnectionSettings, c::NextApiConnection,
                                 c::SharedFolders, c::FolderCheck}) {
        Text id = catalog.progIdOf(name);
        EXPECT_TRUE(registry.knows(id)) << toUtf8(id);
    }
    EXPECT_EQ(toUtf8(catalog.progIdOf(u"nextapiconnection")),
              "QuorilVantrel.StandIns.NextApiConnection");
    EXPECT_EQ(toUtf8(catalog.progIdOf(u"Other")), "Other");
}

// Every object handed out during a whole rewrite is released again; one held back shows.
TEST_F(RegistryTest, LiveObjectsComeBackToZeroAndALeakShows) {
    std::int64_t before = liveObjectCount();
    ObjectRef held;
    {
        ObjectRef api = connectedApi();
        ObjectRef data = openDataAccess();
        Variant cell(data);
        api.call(u"SetDatabase", byRef(cell));
        insertDocument(
            api,
            DocumentDraft{u"FT", u"A", 2024, 0, u"", std::nullopt, {{u"A001", 2}, {u"B002", 1}}});
        Variant rs;
        data.call(u"OpenRecordset", Text(), u"SELECT * FROM DOCGCLIN", byRef(rs), true,
                  std::int32_t{0});
        ObjectRef recordset = rs.toObject();
        ObjectRef field = recordset.object(u"Fields", u"ARTIGO");
        ObjectRef doc = api.object(u"NewSalesDocument");
        doc.call(u"Ler", u"FT", std::int32_t{1}, u"A", std::int16_t{2024});
        ObjectRef fresh = api.object(u"NewSalesDocument");
        doc.object(u"Cab").call(u"Clona", Variant(fresh.object(u"Cab")));
        held = fresh.object(u"Linhas", 1);
        EXPECT_GT(liveObjectCount(), before + 5);
        api.call(u"Disconnect");
    }
    EXPECT_EQ(liveObjectCount(), before + 1) << "only the line still held is alive";
    held.reset();
    EXPECT_EQ(liveObjectCount(), before);
}

}  // namespace
