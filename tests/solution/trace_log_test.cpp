#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "platform/posix/posix_platform.h"
#include "solution/fakes.h"
#include "solution/trace_log.h"

using namespace vantrel::testing;
using vantrel::automation::Text;
using vantrel::solution::writeTrace;

namespace {

TEST(TraceLog, OneLinePerTextInADailyFile) {
    FakePlatform p;
    p.folders = {u"D:\\Logs"};
    writeTrace(&p, u"D:\\Logs\\", u"App_OnSair");
    p.fixedClock.date = vantrel::automation::makeDate(2024, 3, 16, 0, 0, 1);
    writeTrace(&p, u"D:\\Logs", u"App_OnSair");
    ASSERT_EQ(p.appended.size(), 2u);
    EXPECT_EQ(p.appended[0].first, u"D:\\Logs\\QuorilVantrel_20240315.log");
    EXPECT_EQ(p.appended[0].second, u"2024-03-15 10:30:05 App_OnSair");
    EXPECT_EQ(p.appended[1].first, u"D:\\Logs\\QuorilVantrel_20240316.log");
}

TEST(TraceLog, NothingWithoutAnExistingFolder) {
    FakePlatform p;
    p.folders = {u"\\", u""};
    for (const char16_t* folder : {u"", u"\\", u"D:\\Falta\\"}) writeTrace(&p, folder, u"x");
    writeTrace(nullptr, u"D:\\Logs\\", u"x");
    EXPECT_TRUE(p.appended.empty());
}

TEST(TraceLog, WritesRealFilesOnLinux) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("vantrel_trace_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    vantrel::platform::posix::PosixPlatform p;
    Text folder = vantrel::automation::fromUtf8(dir.string()) + u"\\";
    EXPECT_TRUE(p.folderExists(vantrel::automation::fromUtf8(dir.string())));
    EXPECT_FALSE(p.folderExists(vantrel::automation::fromUtf8((dir / "nao").string())));
    writeTrace(&p, folder, u"App_OnEntrar False");
    writeTrace(&p, folder, vantrel::automation::T("Ligação"));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string all = ss.str();
        EXPECT_NE(all.find(" App_OnEntrar False\r\n"), std::string::npos);
        EXPECT_NE(all.find(" Ligação\r\n"), std::string::npos);
        EXPECT_EQ(entry.path().filename().string().rfind("QuorilVantrel_", 0), 0u);
    }
    EXPECT_EQ(files, 1);
    fs::remove_all(dir);
}

}  // namespace
