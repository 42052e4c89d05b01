#include <gtest/gtest.h>

#include "data_folder.h"
#include "erp/connection_settings.h"
#include "erp_test_support.h"

using namespace vantrel::substitutes;
using namespace vantrel::substitutes::erp;
using namespace vantrel::substitutes::erp::testing;
using vantrel::automation::ObjectRef;
using vantrel::automation::T;
using vantrel::automation::Text;
using vantrel::automation::toUtf8;
namespace msgbox = vantrel::interfaces::msgbox;

namespace {

class ConnectionSettingsTest : public CompanyFixture {
protected:
    ObjectRef loaded(const Text& path) {
        ObjectRef cs = registry.create(progid::ConnectionSettings);
        EXPECT_TRUE(cs.call(u"Load", path).toBool());
        return cs;
    }
    std::string value(const ObjectRef& cs, const char16_t* name) {
        return toUtf8(cs.get(name).toText());
    }
};

TEST_F(ConnectionSettingsTest, LoadReadsTheFourValuesOfLigacao) {
    profile.set(kSettings, T("Ligação"), u"PassWord", T("pão;="));
    ObjectRef cs = loaded(kSettings);
    EXPECT_EQ(value(cs, u"Server"), "SRV\\SQL");
    EXPECT_EQ(value(cs, u"Database"), "EMP01");
    EXPECT_EQ(value(cs, u"User"), "sa");
    EXPECT_EQ(value(cs, u"Password"), "pão;=");
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(ConnectionSettingsTest, MissingFileGivesEmptyValuesAndANewLoadReplacesOldOnes) {
    ObjectRef cs = loaded(kSettings);
    cs.call(u"Load", u"C:\\nada\\VANTREL.X");
    for (const char16_t* name : {u"Server", u"Database", u"User", u"Password"})
        EXPECT_EQ(value(cs, name), "");
}

TEST_F(ConnectionSettingsTest, CompleteWithoutAskingShowsNothingAndChangesNothing) {
    profile.set(kSettings, T("Ligação"), u"Username", u"");
    profile.set(kSettings, T("Ligação"), u"PassWord", u"");
    ObjectRef cs = loaded(kSettings);
    EXPECT_TRUE(cs.call(u"Complete", false).toBool());
    EXPECT_TRUE(cs.call(u"Confirm").toBool());
    EXPECT_TRUE(cs.get(u"Confirmed").toBool());
    EXPECT_EQ(value(cs, u"User"), "");
    EXPECT_EQ(value(cs, u"Database"), "EMP01");
    EXPECT_TRUE(dialogs.boxes.empty());

    cs.put(u"Database", u"");
    EXPECT_FALSE(cs.get(u"Confirmed").toBool()) << "a change undoes the confirmation";
    EXPECT_FALSE(cs.call(u"Complete", std::int16_t{0}).toBool());
    EXPECT_FALSE(cs.call(u"Confirm").toBool());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(ConnectionSettingsTest, CompleteWhenAskedNamesWhatIsMissing) {
    profile.set(kSettings, T("Ligação"), u"Servidor", u"");
    profile.set(kSettings, T("Ligação"), u"Empresa", u"");
    ObjectRef cs = loaded(kSettings);
    EXPECT_FALSE(cs.call(u"Complete", true).toBool());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].style, msgbox::OkOnly | msgbox::Exclamation);
    EXPECT_NE(toUtf8(dialogs.boxes[0].text).find("Servidor, Empresa."), std::string::npos);
    EXPECT_EQ(toUtf8(dialogs.boxes[0].title.value_or(u"")), "Ligação à base de dados");
}

TEST_F(ConnectionSettingsTest, CompleteWhenAskedConfirmsAWindowsLogin) {
    profile.set(kSettings, T("Ligação"), u"Username", u"");
    profile.set(kSettings, T("Ligação"), u"PassWord", u"");
    ObjectRef cs = loaded(kSettings);
    dialogs.answers = {msgbox::AnswerYes, msgbox::AnswerNo};
    EXPECT_TRUE(cs.call(u"Complete", true).toBool());
    EXPECT_FALSE(cs.call(u"Complete", true).toBool());
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].style, msgbox::YesNo | msgbox::Question);
    EXPECT_NE(toUtf8(dialogs.boxes[0].text).find("EMP01"), std::string::npos);
    // A SQL login needs no question.
    cs.put(u"User", u"sa");
    EXPECT_TRUE(cs.call(u"Complete", true).toBool());
    EXPECT_EQ(dialogs.boxes.size(), 2u);
}

TEST_F(ConnectionSettingsTest, SharedFoldersGivesTheDataFolderWithoutFinalBackslash) {
    setDataFolder(u"C:\\dados\\");
    EXPECT_EQ(toUtf8(registry.create(progid::SharedFolders).get(u"Folder").toText()), "C:\\dados");
}

TEST_F(ConnectionSettingsTest, FolderExistsOnlyForFolders) {
    ObjectRef check = registry.create(progid::FolderCheck);
    Text base = vantrel::automation::fromUtf8(folder.string());
    std::filesystem::create_directories(folder / "talmek");
    EXPECT_TRUE(check.call(u"FolderExists", base + u"\\talmek").toBool());
    EXPECT_TRUE(check.call(u"FolderExists", base + u"/talmek").toBool());
    EXPECT_FALSE(check.call(u"FolderExists", base + u"\\nada").toBool());
    EXPECT_FALSE(check.call(u"FolderExists", databaseFile(kCatalog)).toBool())
        << "a file is no folder";
    EXPECT_FALSE(check.call(u"FolderExists", u"").toBool());
}

}  // namespace
