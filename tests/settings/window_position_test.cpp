#include <gtest/gtest.h>

#include <memory>

#include "automation/locale.h"
#include "platform/posix/profile_engine.h"
#include "settings/cinifile.h"
#include "settings/settings_fakes.h"

namespace vantrel::tests::settings {
namespace {

using automation::Locale;
using automation::ObjectRef;
using automation::ScopedLocale;
using automation::Variant;
using vantrel::settings::cInifile;

class WindowPositionTest : public ::testing::Test {
protected:
    WindowPositionTest()
        : window(std::make_shared<FakeWindow>()), form(window), ini(engine, &screen) {
        ini.setPath(folder.windowsPath("pos.ini"));
        ini.setSection(u"frmMain");
        ini.setKey(u"caller's key");
        ini.setDefault(u"caller's default");
    }
    void stored(const std::string& lines) { folder.write("pos.ini", "[frmMain]\r\n" + lines); }
    std::string file() const { return folder.read("pos.ini"); }
    std::vector<std::int32_t> lastMove() const {
        return window->moves.empty() ? std::vector<std::int32_t>{} : window->moves.back();
    }
    void expectPropertiesKept() {
        EXPECT_EQ(ini.Key(), u"caller's key");
        EXPECT_EQ(ini.Default(), u"caller's default");
    }

    ScopedLocale portugal{Locale::portugal()};
    TempFolder folder;
    platform::posix::ProfileEngine engine;
    ScreenPlatform screen;  // 1280 x 1024 pixels at 15 twips per pixel
    std::shared_ptr<FakeWindow> window;
    ObjectRef form;
    cInifile ini;
};

TEST_F(WindowPositionTest, SavingANormalWindowWritesStateAndBounds) {
    window->left = 1500.0;
    window->top = 900.0;
    window->width = 6000.0;
    window->height = 4500.0;
    ini.SaveFormPosition(form);
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(file(),
              "[frmMain]\r\nMaximised=0\r\nLeft=1500\r\nTop=900\r\nWidth=6000\r\nHeight=4500\r\n");
    expectPropertiesKept();
}

TEST_F(WindowPositionTest, SavingAMinimisedWindowChangesNothing) {
    window->windowState = Variant::longValue(1);
    ini.SaveFormPosition(form);
    EXPECT_EQ(file(), "<absent>");
    stored("Left=1\r\n");
    ini.SaveFormPosition(form);
    EXPECT_EQ(file(), "[frmMain]\r\nLeft=1\r\n");
    expectPropertiesKept();
}

TEST_F(WindowPositionTest, MaximisedWindowKeepsTheBoundsStoredBefore) {
    window->left = 1500.0;
    window->top = 900.0;
    window->width = 6000.0;
    window->height = 4500.0;
    ini.SaveFormPosition(form);
    window->windowState = Variant::longValue(2);
    window->left = 0.0;
    window->width = 19200.0;
    ini.SaveFormPosition(form);
    EXPECT_EQ(file(),
              "[frmMain]\r\nMaximised=1\r\nLeft=1500\r\nTop=900\r\nWidth=6000\r\nHeight=4500\r\n");

    auto restored = std::make_shared<FakeWindow>();
    ini.LoadFormPosition(ObjectRef(restored));
    ASSERT_EQ(restored->moves.size(), 1u);
    EXPECT_EQ(restored->moves[0], (std::vector<std::int32_t>{1500, 900, 6000, 4500}));
    EXPECT_EQ(restored->windowState.toLong(), 2);
    expectPropertiesKept();
}

TEST_F(WindowPositionTest, LoadingWithoutKeysKeepsTheWindowAndDoesNotMaximise) {
    ini.LoadFormPosition(form);
    EXPECT_EQ(lastMove(), (std::vector<std::int32_t>{1000, 800, 5000, 4000}));
    EXPECT_EQ(window->windowState.toLong(), 0);
    expectPropertiesKept();
}

TEST_F(WindowPositionTest, LeftEdgeBeyondTheScreenComesBackFourPixelsInside) {
    stored("Left=30000\r\nTop=900\r\nWidth=6000\r\nHeight=4500\r\n");
    ini.LoadFormPosition(form);
    // 1280 pixels * 15 twips = 19200; 19200 - 60 - 6000 = 13140.
    EXPECT_EQ(lastMove(), (std::vector<std::int32_t>{13140, 900, 6000, 4500}));
}

TEST_F(WindowPositionTest, SmallSizesGrowToTheMinimum) {
    stored("Left=1500\r\nTop=900\r\nWidth=1000\r\nHeight=200\r\n");
    ini.LoadFormPosition(form);
    EXPECT_EQ(lastMove(), (std::vector<std::int32_t>{1500, 900, 3000, 3000}));
    ini.LoadFormPosition(form, 2000, 500);
    EXPECT_EQ(lastMove(), (std::vector<std::int32_t>{1500, 900, 2000, 500}));
}

struct Placement {
    const char* what;
    std::string keys;
    std::vector<std::int32_t> move;  // empty: the window is not moved
};

class WindowPlacement : public WindowPositionTest,
                        public ::testing::WithParamInterface<Placement> {};

TEST_P(WindowPlacement, KeepsTheWindowOnTheScreen) {
    stored(GetParam().keys);
    ini.LoadFormPosition(form);
    if (GetParam().move.empty()) {
        EXPECT_TRUE(window->moves.empty());
    } else {
        EXPECT_EQ(lastMove(), GetParam().move);
    }
    expectPropertiesKept();
}

INSTANTIATE_TEST_SUITE_P(
    Screen1280x1024, WindowPlacement,
    ::testing::Values(
        Placement{"negative_edges_come_in", "Left=-500\r\nTop=-10\r\n", {60, 60, 5000, 4000}},
        Placement{"bottom_edge_beyond", "Top=20000\r\nHeight=4000\r\n", {1000, 11300, 5000, 4000}},
        Placement{"too_wide_is_narrowed", "Left=100\r\nWidth=30000\r\n", {60, 800, 19080, 4000}},
        Placement{"too_high_is_shortened", "Top=100\r\nHeight=20000\r\n", {1000, 60, 5000, 15240}},
        Placement{
            "garbage_keeps_current", "Left=abc\r\nTop=\r\nWidth=1e99\r\n", {1000, 800, 5000, 4000}},
        Placement{
            "fractions_round_to_even", "Left=1500,5\r\nTop=900,5\r\n", {1500, 900, 5000, 4000}},
        Placement{"maximised_key_maximises", "Maximised=1\r\n", {1000, 800, 5000, 4000}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(WindowPositionTest, MaximisedFlagSetsTheState) {
    stored("Maximised=-1\r\n");
    ini.LoadFormPosition(form);
    EXPECT_EQ(window->windowState.toLong(), 2);
    stored("Maximised=no\r\n");
    window->windowState = Variant::longValue(0);
    ini.LoadFormPosition(form);
    EXPECT_EQ(window->windowState.toLong(), 0);
}

TEST_F(WindowPositionTest, ScreenSmallerThanTheMinimumLeavesTheWindow) {
    screen.metrics = interfaces::ScreenMetrics{2400, 2400, 15, 15};  // 160 x 160 pixels
    ini.LoadFormPosition(form);
    EXPECT_TRUE(window->moves.empty());
}

TEST_F(WindowPositionTest, OtherTwipsPerPixelChangeTheMargin) {
    screen.metrics = interfaces::ScreenMetrics{1920 * 12.0, 1080 * 12.0, 12, 12};
    stored("Left=99999\r\nTop=99999\r\n");
    ini.LoadFormPosition(form);
    EXPECT_EQ(lastMove(),
              (std::vector<std::int32_t>{23040 - 48 - 5000, 12960 - 48 - 4000, 5000, 4000}));
}

TEST_F(WindowPositionTest, SavedFractionsFollowTheLocale) {
    window->left = 1500.5;
    ini.SaveFormPosition(form);
    EXPECT_NE(file().find("Left=1500,5\r\n"), std::string::npos) << file();
}

TEST_F(WindowPositionTest, WindowWithoutAMemberFailsQuietly) {
    ini.setKey(u"x");
    ini.setValue(u"1");  // Success is true before
    ini.setKey(u"caller's key");
    window->missing = u"Height";
    ini.SaveFormPosition(form);
    EXPECT_FALSE(ini.Success());
    expectPropertiesKept();
    // Values written before the failure stay.
    EXPECT_NE(file().find("Width=5000"), std::string::npos);

    ini.setKey(u"x");
    ini.setValue(u"1");
    ini.setKey(u"caller's key");
    ini.LoadFormPosition(form);
    EXPECT_FALSE(ini.Success());
    expectPropertiesKept();
}

TEST_F(WindowPositionTest, NothingForAWindowFailsQuietly) {
    ini.SaveFormPosition(ObjectRef());
    EXPECT_FALSE(ini.Success());
    ini.LoadFormPosition(ObjectRef());
    EXPECT_FALSE(ini.Success());
    expectPropertiesKept();
}

TEST_F(WindowPositionTest, LoadingWithoutAPlatformFails) {
    cInifile alone(engine);
    alone.setPath(folder.windowsPath("pos.ini"));
    alone.setKey(u"k");
    alone.setValue(u"1");
    alone.LoadFormPosition(form);
    EXPECT_FALSE(alone.Success());
    EXPECT_TRUE(window->moves.empty());
    EXPECT_EQ(alone.Key(), u"k");
}

}  // namespace
}  // namespace vantrel::tests::settings
