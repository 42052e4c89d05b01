// The profile engine beyond what the differential cases cover: file system situations, the
// text conversions on their own, and properties checked over many random files.
#include "platform/posix/profile_engine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "platform/posix/profile_engine_document.h"
#include "platform/posix/profile_engine_text.h"

namespace vantrel::tests::platform {
namespace {

namespace fs = std::filesystem;
using vantrel::platform::posix::ProfileEngine;
namespace profile = vantrel::platform::posix::profile;

class ProfileEngineTest : public ::testing::Test {
protected:
    ProfileEngineTest() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::path(::testing::TempDir()) / (std::string("vantrel_profile_") + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~ProfileEngineTest() override {
        std::error_code ec;
        fs::permissions(dir / "t.ini", fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    std::string path(const std::string& name = "t.ini") const { return (dir / name).string(); }
    // The Windows path of a file of `dir`, as the system passes it.
    std::string windows(const std::string& name = "t.ini") const {
        std::string p = "Z:" + path(name);
        for (auto& c : p) {
            if (c == '/') c = '\\';
        }
        return p;
    }
    void put(const std::string& bytes, const std::string& name = "t.ini") const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string bytes(const std::string& name = "t.ini") const {
        std::ifstream in(dir / name, std::ios::binary);
        if (!in) return "<absent>";
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string get(const char* section, const char* key, const char* def = "",
                    const std::string& file = std::string()) {
        char buffer[256];
        std::uint32_t n = engine.getString(section, key, def, buffer, sizeof buffer,
                                           (file.empty() ? windows() : file).c_str());
        return std::string(buffer, n);
    }
    int write(const char* section, const char* key, const char* text) {
        return engine.writeString(section, key, text, windows().c_str());
    }

    fs::path dir;
    ProfileEngine engine;
};

TEST_F(ProfileEngineTest, WindowsPathsNameLinuxFiles) {
    put("[s]\r\nk=v\r\n");
    EXPECT_EQ(get("s", "k"), "v");
    std::string lower = "z" + windows().substr(1);
    EXPECT_EQ(get("s", "k", "d", lower), "v");
}

TEST_F(ProfileEngineTest, ForFileIgnoresTheFileArgument) {
    put("[s]\r\nk=v\r\n", "odd\\name [1].ini");
    ProfileEngine fixed = ProfileEngine::forFile(path("odd\\name [1].ini"));
    char buffer[16];
    EXPECT_EQ(fixed.getString("s", "k", "", buffer, sizeof buffer, "C:\\whatever.ini"), 1u);
    EXPECT_STREQ(buffer, "v");
    EXPECT_EQ(fixed.writeString("s", "j", "w", nullptr), 1);
    EXPECT_EQ(bytes("odd\\name [1].ini"), "[s]\r\nk=v\r\nj=w\r\n");
}

TEST_F(ProfileEngineTest, NullBufferSizeZeroAndNullFile) {
    put("[s]\r\nk=v\r\n");
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(engine.getString("s", "k", "", nullptr, 10, windows().c_str()), 0u);
    EXPECT_EQ(engine.getString("s", "k", "", buffer, 0, windows().c_str()), 0u);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(engine.getString("s", "k", "dflt", buffer, 4, nullptr), 3u);
    EXPECT_STREQ(buffer, "dfl");
    EXPECT_EQ(engine.writeString("s", "k", "v", nullptr), 0);
    EXPECT_EQ(engine.writeString(nullptr, nullptr, nullptr, windows().c_str()), 0);
    EXPECT_EQ(engine.writeString(nullptr, nullptr, "x", windows().c_str()), 0);
}

TEST_F(ProfileEngineTest, ReadOnlyFileIsNeverWrittenEvenByRoot) {
    const std::string before = "[s]\r\nk=v\r\n";
    put(before);
    fs::permissions(dir / "t.ini",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(get("s", "k"), "v");
    EXPECT_EQ(write("s", "k", "w"), 0);
    EXPECT_EQ(write("s", "k", nullptr), 0);
    EXPECT_EQ(write("s", nullptr, nullptr), 0);
    EXPECT_EQ(bytes(), before);
}

TEST_F(ProfileEngineTest, UnreadableFileGivesTheDefaultAndIsNotWritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
    put("[s]\r\nk=v\r\n");
    fs::permissions(dir / "t.ini", fs::perms::none, fs::perm_options::replace);
    EXPECT_EQ(get("s", "k", "\"d\" "), "\"d\"");
    EXPECT_EQ(write("s", "k", "w"), 0);
}

TEST_F(ProfileEngineTest, SpecialFilesAreNotProfiles) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    // A named pipe without a writer would block an ordinary open for ever.
    EXPECT_EQ(get("s", "k", "d", windows("fifo")), "d");
    EXPECT_EQ(engine.writeString("s", "k", "v", windows("fifo").c_str()), 0);
    char buffer[8];
    EXPECT_EQ(engine.getString("s", "k", "d", buffer, 8, "Z:\\dev\\zero"), 1u);
    EXPECT_EQ(engine.writeString("s", "k", "v", "Z:\\dev\\null"), 0);
}

TEST_F(ProfileEngineTest, FileUnderAFileIsAMissingFolder) {
    put("x");
    std::string under = windows() + "\\inner.ini";
    EXPECT_EQ(get("s", "k", "\"d\"", under), "\"d\"");
    EXPECT_EQ(engine.writeString("s", "k", "v", under.c_str()), 0);
}

TEST_F(ProfileEngineTest, WriteThatChangesNothingDoesNotTouchTheFile) {
    put("[s]\nk = v\n");
    struct stat before {};
    ASSERT_EQ(::stat(path().c_str(), &before), 0);
    ::usleep(20000);
    EXPECT_EQ(write("S", "K", " v"), 1);
    EXPECT_EQ(write("s", "missing", nullptr), 1);
    EXPECT_EQ(write("missing", nullptr, nullptr), 1);
    struct stat after {};
    ASSERT_EQ(::stat(path().c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(bytes(), "[s]\nk = v\n");
}

// kernel32 writes this file as FF FE 3D 31 ..., which every later read takes for UTF-16:
// [s] and its keys are gone after one write. Found by the fuzzer.
TEST_F(ProfileEngineTest, RewriteNeverMakesTheFileStartLikeAByteOrderMark) {
    for (std::string first : {"\xFF\xFE=1", "\xFE\xFF", "\xEF\xBB\xBFk=1"}) {
        put("\r\n" + first + "\r\n[s]\r\nk=v\r\n");
        EXPECT_EQ(write("s", "j", "2"), 1);
        EXPECT_EQ(bytes(), "\r\n" + first + "\r\n[s]\r\nk=v\r\nj=2\r\n");
        EXPECT_EQ(get("s", "k", "gone"), "v");
        EXPECT_EQ(write("s", "j", "3"), 1);  // and it stays so, rewrite after rewrite
        EXPECT_EQ(get("s", "j"), "3");
    }
}

// A file of `keys` lines "kNNNNN=some value", in one section.
std::string manyKeys(int keys) {
    std::string out = "[s]\r\n";
    for (int k = 0; k < keys; ++k) out += "k" + std::to_string(10000 + k) + "=some value\r\n";
    return out;
}

// Whether `folder` takes new files: by its permissions, or for root (whom they do not stop)
// by the immutable attribute, which still lets the files in it be written.
bool letFolderTakeFiles(const fs::path& folder, bool take) {
    if (::geteuid() != 0) return ::chmod(folder.c_str(), take ? 0755 : 0555) == 0;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = take ? flags & ~FS_IMMUTABLE_FL : flags | FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) ::close(fd);
    return done;
}

// A rewrite that fails half way (here at the file size limit, in a child process) leaves the
// old version whole and nothing beside it: whether the new version is made beside the file
// and renamed over it, or, in a folder that takes no new file, written in place (the old
// bytes then go back).
class ProfileEngineRewrite : public ProfileEngineTest,
                             public ::testing::WithParamInterface<bool> {};

TEST_P(ProfileEngineRewrite, FailureLeavesTheOldFileWhole) {
    const bool folderTakesFiles = GetParam();
    const std::string before = manyKeys(6000);
    put(before);
    if (!folderTakesFiles && !letFolderTakeFiles(dir, false)) GTEST_SKIP() << "no locked folder";
    pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{before.size() + 100, before.size() + 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int written = write("s", "k10000", std::string(4000, 'v').c_str());
        ::_exit(written == 0 && engine.lastWriteError() == EFBIG ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0) << "the write did not fail with EFBIG";
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_EQ(write("s", "k10000", "x"), 1);
    EXPECT_TRUE(letFolderTakeFiles(dir, true));
    EXPECT_EQ(bytes(), "[s]\r\nk10000=x\r\n" + before.substr(24));
}

INSTANTIATE_TEST_SUITE_P(Folders, ProfileEngineRewrite, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "renamed" : "in_place"; });

// A new file gets the usual permissions; a rewrite keeps the file's own and its symbolic link.
TEST_F(ProfileEngineTest, RewriteKeepsModeAndLinks) {
    mode_t old = ::umask(022);
    EXPECT_EQ(write("s", "k", "v"), 1);
    ::umask(old);
    EXPECT_EQ(fs::status(dir / "t.ini").permissions(), static_cast<fs::perms>(0644));
    fs::permissions(dir / "t.ini", static_cast<fs::perms>(0640));
    fs::create_symlink(dir / "t.ini", dir / "link.ini");
    EXPECT_EQ(engine.writeString("s", "k", "1", windows("link.ini").c_str()), 1);
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(bytes(), "[s]\r\nk=1\r\n");
    EXPECT_EQ(fs::status(dir / "t.ini").permissions(), static_cast<fs::perms>(0640));
}

// Writers take turns, however long each takes: none is lost. One that cannot have the file
// within the wait fails and writes nothing.
TEST_F(ProfileEngineTest, ConcurrentWritersLoseNothing) {
    put(manyKeys(20000));
    std::vector<pid_t> children;
    for (int p = 0; p < 4; ++p) {
        pid_t child = ::fork();
        if (child == 0) {
            int failed = 0;
            for (int k = 0; k < 6; ++k) {
                std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
                failed += write("new", key.c_str(), key.c_str()) != 1;
            }
            ::_exit(failed);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = -1;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(status, 0);
    }
    for (int p = 0; p < 4; ++p) {
        for (int k = 0; k < 6; ++k) {
            std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
            EXPECT_EQ(get("new", key.c_str()), key);
        }
    }

    const std::string before = bytes();
    int holder = ::open(path().c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    engine.setLockWait(std::chrono::milliseconds(200));
    EXPECT_EQ(write("new", "late", "1"), 0);
    EXPECT_EQ(engine.lastWriteError(), ETIMEDOUT);
    EXPECT_EQ(get("new", "p0k0"), "p0k0");  // a read goes ahead
    ::close(holder);
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(write("new", "late", "1"), 1);
    EXPECT_EQ(engine.lastWriteError(), 0);
}

// A 10 MB file: the last key is found, and a write adds its line and nothing else. (The
// 100 MB file is in bench/ini, where its time is measured.)
TEST_F(ProfileEngineTest, TenMegabyteFile) {
    {
        // 25 sections of 10,000 forty-byte lines, built once and written 25 times.
        std::string lines;
        char line[64];
        for (int k = 0; k < 10000; ++k) {
            std::snprintf(line, sizeof line, "key%07d=a value of forty bytes.....\r\n", k);
            lines += line;
        }
        std::ofstream out(dir / "t.ini", std::ios::binary);
        for (int s = 0; s < 25; ++s) out << "[section" << s << "]\r\n" << lines;
        out << "[last]\r\nfound=yes\r\n";
    }
    auto size = fs::file_size(dir / "t.ini");
    ASSERT_GT(size, 10u * 1000 * 1000);
    EXPECT_EQ(get("last", "found"), "yes");
    EXPECT_EQ(get("section24", "key0009999"), "a value of forty bytes.....");
    EXPECT_EQ(write("last", "added", "1"), 1);
    EXPECT_EQ(fs::file_size(dir / "t.ini"), size + 9);
    std::ifstream in(dir / "t.ini", std::ios::binary);
    in.seekg(static_cast<std::streamoff>(size) - 19);
    std::string tail(28, '\0');
    in.read(tail.data(), 28);
    EXPECT_EQ(tail, "[last]\r\nfound=yes\r\nadded=1\r\n");
    fs::remove(dir / "t.ini");
}

// ---- random files: a write changes its own key's line and nothing else -----------------

struct Model {
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> sections;
    std::string bytes() const {
        std::string out;
        for (const auto& [name, keys] : sections) {
            out += "[" + name + "]\r\n";
            for (const auto& [k, v] : keys) out += k + "=" + v + "\r\n";
        }
        return out;
    }
};

TEST_F(ProfileEngineTest, RandomWritesChangeOnlyTheirKey) {
    std::mt19937 random(1252);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto name = [&](const char* prefix) { return prefix + std::to_string(pick(6)); };
    for (int round = 0; round < 300; ++round) {
        Model m;
        int sections = pick(4);
        for (int s = 0; s < sections; ++s) {
            std::string sname = "S" + std::to_string(s) + "x";
            std::vector<std::pair<std::string, std::string>> keys;
            for (int k = 0, n = pick(5); k < n; ++k)
                keys.emplace_back("k" + std::to_string(k), name("v"));
            m.sections.emplace_back(sname, keys);
        }
        put(m.bytes());
        std::string section = "S" + std::to_string(pick(5)) + "x";
        std::string key = "k" + std::to_string(pick(6));
        int action = pick(3);
        std::string value = name("new");
        auto it = std::find_if(m.sections.begin(), m.sections.end(),
                               [&](const auto& s) { return s.first == section; });
        if (action == 0) {  // set
            ASSERT_EQ(write(section.c_str(), key.c_str(), value.c_str()), 1);
            if (it == m.sections.end()) {
                m.sections.push_back({section, {{key, value}}});
            } else {
                auto k = std::find_if(it->second.begin(), it->second.end(),
                                      [&](const auto& p) { return p.first == key; });
                if (k == it->second.end()) {
                    it->second.emplace_back(key, value);
                } else {
                    k->second = value;
                }
            }
        } else if (action == 1) {  // delete the key
            ASSERT_EQ(write(section.c_str(), key.c_str(), nullptr), 1);
            if (it != m.sections.end()) {
                std::erase_if(it->second, [&](const auto& p) { return p.first == key; });
            }
        } else {  // delete the section
            ASSERT_EQ(write(section.c_str(), nullptr, nullptr), 1);
            if (it != m.sections.end()) m.sections.erase(it);
        }
        ASSERT_EQ(bytes(), m.bytes()) << "round " << round;
    }
}

// Whatever the bytes, NULs included, a write keeps every other key readable with the value it
// had. One exception, which kernel32's rewrite has as well, is left out here: a section
// named "[]" loses its header, so its keys join the section above it.
TEST_F(ProfileEngineTest, RandomBytesKeepTheirKeysAcrossAWrite) {
    std::mt19937 random(8192);
    const char alphabet[] = "[]=; \t\r\n\"'abAB\x1a\xe7\xc7\0";
    int checked = 0;
    for (int round = 0; round < 400; ++round) {
        std::string content;
        for (int i = 0, n = static_cast<int>(random() % 120); i < n; ++i) {
            content += alphabet[random() % (sizeof alphabet - 1)];
        }
        profile::Document parsed(profile::ansiToWide(content));
        if (std::any_of(parsed.sections().begin() + 1, parsed.sections().end(),
                        [](const auto& s) { return s.name.empty() && s.asRead.empty(); })) {
            continue;
        }
        ++checked;
        put(content);
        // Everything readable before, as listed by the engine itself.
        std::map<std::pair<std::string, std::string>, std::string> seen;
        char list[4096];
        std::uint32_t n =
            engine.getString(nullptr, nullptr, "", list, sizeof list, windows().c_str());
        std::vector<std::string> sections;
        for (std::uint32_t i = 0; i < n;
             i += static_cast<std::uint32_t>(sections.back().size()) + 1) {
            sections.emplace_back(list + i);
        }
        sections.emplace_back("");
        for (const auto& s : sections) {
            char keys[4096];
            std::uint32_t m =
                engine.getString(s.c_str(), nullptr, "", keys, sizeof keys, windows().c_str());
            for (std::uint32_t i = 0; i < m;) {
                std::string k(keys + i);
                i += static_cast<std::uint32_t>(k.size()) + 1;
                if (!seen.count({s, k})) seen[{s, k}] = get(s.c_str(), k.c_str(), "\x01missing");
            }
        }
        ASSERT_EQ(write("zz", "new", "1"), 1);
        for (const auto& [where, value] : seen) {
            EXPECT_EQ(get(where.first.c_str(), where.second.c_str(), "\x01missing"), value)
                << "[" << where.first << "] " << where.second << " in "
                << ::testing::PrintToString(content);
        }
        EXPECT_EQ(get("zz", "new"), "1");
    }
    EXPECT_GT(checked, 200);
}

// ---- text conversions ------------------------------------------------------------------

TEST(ProfileText, Windows1252BestFit) {
    EXPECT_EQ(profile::wideToAnsi(u"\u0100\u0142\u00E7\u20AC\u4E2D\uFFFD\u0081"),
              "Al\xE7\x80??\x81");
    EXPECT_EQ(profile::wideToAnsi(u"\uFF21\u2264"), "A=");  // full-width A, less-or-equal
    EXPECT_EQ(profile::ansiToWide("\x80\x81\xFF"), u"\u20AC\u0081\u00FF");
}

struct Utf8Case {
    const char* bytes;
    const char16_t* wide;
};

class ProfileUtf8 : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(ProfileUtf8, DecodesAsKernel32) {
    EXPECT_EQ(profile::utf8ToWide(GetParam().bytes), std::u16string(GetParam().wide));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ProfileUtf8,
    ::testing::Values(Utf8Case{"a\xC3\xA7", u"a\u00E7"}, Utf8Case{"\xE2\x82\xAC", u"\u20AC"},
                      Utf8Case{"\xF0\x9F\x98\x80", u"\U0001F600"}, Utf8Case{"x\xC3y", u"x\uFFFDy"},
                      Utf8Case{"x\xE4\xB8y", u"x\uFFFDy"},
                      Utf8Case{"x\xC0\x80y", u"x\uFFFD\uFFFDy"},
                      Utf8Case{"x\xED\xA0\x80y", u"x\uFFFD\uFFFDy"},
                      Utf8Case{"x\xF4\x90\x80\x80y", u"x\uFFFD\uFFFD\uFFFDy"},
                      Utf8Case{"x\xE0\x80\x80y", u"x\uFFFD\uFFFDy"}, Utf8Case{"x\xFF", u"x\uFFFD"},
                      Utf8Case{"x\xF0\x9F\x98", u"x\uFFFD"}, Utf8Case{"\xE4", u"\uFFFD"}));

TEST(ProfileText, EncodingsFromByteOrderMarks) {
    std::u16string text;
    EXPECT_EQ(profile::decodeFile("\xEF\xBB\xBFk=\xC3\xA9", text), profile::Encoding::Utf8);
    EXPECT_EQ(text, u"k=\u00E9");
    EXPECT_EQ(profile::decodeFile(std::string("\xFF\xFEk\0", 4), text), profile::Encoding::Utf16LE);
    EXPECT_EQ(text, u"k");
    EXPECT_EQ(profile::decodeFile(std::string("\xFE\xFF\0k\0", 5), text),
              profile::Encoding::Utf16BE);
    EXPECT_EQ(text, std::u16string(u"k\0", 2));
    EXPECT_EQ(profile::decodeFile("\xEF\xBBk", text), profile::Encoding::Ansi);
    EXPECT_EQ(text, u"\u00EF\u00BBk");
    for (auto e : {profile::Encoding::Ansi, profile::Encoding::Utf8, profile::Encoding::Utf16LE,
                   profile::Encoding::Utf16BE}) {
        std::u16string back;
        EXPECT_EQ(profile::decodeFile(profile::encodeFile(u"[s]\r\nk=\u00E7", e), back), e);
        EXPECT_EQ(back, u"[s]\r\nk=\u00E7");
    }
    EXPECT_EQ(profile::wideToUtf8(u"a\xD800z"), "a\xEF\xBF\xBDz");
}

TEST(ProfileText, NamesMatchIgnoringTheCaseOfAsciiLettersOnly) {
    EXPECT_TRUE(profile::sameName(u"Api Next", u"API NEXT"));
    EXPECT_TRUE(profile::sameName(u"[x]", u"[X]"));
    EXPECT_FALSE(profile::sameName(u"\u00E7", u"\u00C7"));
    EXPECT_FALSE(profile::sameName(u"@", u"`"));  // neighbours of the letters are not letters
    EXPECT_FALSE(profile::sameName(u"ab", u"abc"));
}

// Reads stream through the file (Scan), writes build the Document: both must see the same.
TEST(ProfileDocument, StreamingReadsAgreeWithTheDocument) {
    std::mt19937 random(255);
    const char16_t alphabet[] = u"[]=; \t\r\naAbB\x1a\xe7\0";
    const std::u16string names[] = {u"", u"a", u"A", u" a", u"ab", u"b", u";", u"[a]"};
    for (int round = 0; round < 2000; ++round) {
        std::u16string text;
        for (int i = 0, n = static_cast<int>(random() % 60); i < n; ++i) {
            text += alphabet[random() % (std::size(alphabet) - 1)];
        }
        profile::Document doc(text);
        profile::Scan scan(text);
        std::vector<std::u16string_view> headers;
        for (std::size_t i = 1; i < doc.sections().size(); ++i)
            headers.push_back(doc.sections()[i].name);
        ASSERT_EQ(scan.sectionNames(), headers);
        for (const auto& section : names) {
            for (const auto& key : names) {
                const profile::Key* k = doc.find(section, key);
                std::optional<profile::Key> found = scan.find(section, key);
                ASSERT_EQ(k != nullptr, found.has_value());
                if (k) {
                    ASSERT_EQ(k->name, found->name);
                    ASSERT_EQ(k->value, found->value);
                }
            }
            std::vector<profile::Key> keys;
            const profile::Section* s = doc.sectionNamed(section);
            ASSERT_EQ(scan.keysOf(section, keys), s != nullptr);
            ASSERT_EQ(keys.size(), s ? s->keys.size() : 0u);
            for (std::size_t i = 0; i < keys.size(); ++i) {
                ASSERT_EQ(keys[i].name, s->keys[i].name);
                ASSERT_EQ(keys[i].value, s->keys[i].value);
            }
        }
    }
}

TEST(ProfileDocument, KeepsCommentsAndDropsBlankLines) {
    profile::Document doc(u"; note\r\n\r\n[ s ]\r\n k = v \r\n;x=1\r\nflag\r\n");
    EXPECT_EQ(doc.serialize(), u"; note\r\n[s]\r\nk=v\r\n;x=1\r\nflag\r\n");
    ASSERT_NE(doc.find(u" S ", u"K"), nullptr);
    EXPECT_EQ(*doc.find(u"s", u"k")->value, u"v");
    EXPECT_FALSE(doc.find(u"s", u"flag")->value.has_value());
}

}  // namespace
}  // namespace vantrel::tests::platform
