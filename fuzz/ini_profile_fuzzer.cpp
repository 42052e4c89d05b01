// libFuzzer target for the INI profile engine: the file parser, the list and value reads with
// every buffer size, and writes. Build and run: see fuzz/README.md.
//
// Input: the first 8 bytes choose sizes and names, the rest is the file's bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/posix/profile_engine.h"
#include "platform/posix/profile_engine_document.h"
#include "platform/posix/profile_engine_text.h"

namespace {

using vantrel::platform::posix::ProfileEngine;
namespace profile = vantrel::platform::posix::profile;

const std::string& scratchFile() {
    static const std::string path = [] {
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/vantrel_ini_fuzz_" + std::to_string(getpid()) + ".ini";
    }();
    return path;
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Reads through a buffer of `size` bytes with guards on both sides.
std::string read(ProfileEngine& engine, const char* section, const char* key, const char* def,
                 std::uint32_t size, std::uint32_t& count) {
    std::vector<char> buffer(size + 32, '\x5A');
    count = engine.getString(section, key, def, buffer.data() + 16, size, "ignored");
    for (int i = 0; i < 16; ++i) {
        if (buffer[i] != '\x5A' || buffer[16 + size + i] != '\x5A')
            fail("write outside the buffer");
    }
    if (size == 0) {
        if (count != 0) fail("count for an empty buffer");
        return std::string();
    }
    if (count >= size) fail("count not below the buffer size");
    if (buffer[16 + count] != '\0') fail("result not terminated");
    return std::string(buffer.data() + 16, count);
}

// The parser alone: parsing what a rewrite produces settles after the first rewrite loses
// what kernel32's rewrite loses (NULs, empty section headers, repeated nameless lines).
void parserRoundTrips(const std::string& bytes) {
    profile::Wide text;
    profile::Encoding encoding = profile::decodeFile(bytes, text);
    profile::Wide once = profile::Document(text, !bytes.empty()).serialize();
    profile::Wide twice = profile::Document(once).serialize();
    profile::Wide thrice = profile::Document(twice).serialize();
    if (thrice != twice) fail("rewriting does not settle");
    if (encoding != profile::Encoding::Ansi) {
        profile::Wide back;
        if (profile::decodeFile(profile::encodeFile(twice, encoding), back) != encoding ||
            back != twice)
            fail("encoding not lossless");
    }
}

std::string fileBytes() {
    std::ifstream in(scratchFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    const std::uint32_t smallSize = data[0] % 24;
    const std::uint32_t listSize = data[1] * 4u;
    const char* names[] = {"s", "S", " s ", "", "k", "[a]", "a=b", ";c", "\xE7"};
    const char* section = names[data[2] % 9];
    const char* key = names[data[3] % 9];
    const char* def = names[data[4] % 9];
    const unsigned action = data[5] % 4;
    std::string bytes(reinterpret_cast<const char*>(data) + 8, size - 8);

    parserRoundTrips(bytes);

    {
        std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ProfileEngine engine = ProfileEngine::forFile(scratchFile());
    std::uint32_t n = 0;
    read(engine, section, key, def, smallSize, n);
    read(engine, section, nullptr, def, smallSize, n);
    read(engine, nullptr, nullptr, def, smallSize, n);
    read(engine, section, nullptr, def, listSize, n);
    std::string sections = read(engine, nullptr, nullptr, def, listSize, n);
    if (n > 0 && listSize > 2 && n != listSize - 2 &&
        (sections.empty() || sections.back() != '\0')) {
        fail("a whole list of sections does not end in NUL");
    }

    profile::Wide ignored;
    const profile::Encoding before = profile::decodeFile(bytes, ignored);
    if (action == 0) {
        // A key written with plain names reads back as written, NULs or not: kernel32 writes
        // "key\x0B\0..." (not "key" when read) back as "key", which then hides the key
        // written; the engine writes such a name back as it was.
        if (engine.writeString("zz", "key", "value 1", "ignored") != 1) fail("write failed");
        if (read(engine, "zz", "key", "", 64, n) != "value 1") fail("written value not read back");
        // Listed too, unless the section starts with a nameless key: then kernel32 answers
        // as for an empty section.
        std::string keys = read(engine, "ZZ", nullptr, "", 8192, n);
        for (auto& c : keys)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);  // "Key" was there
        if (!keys.empty() && keys.find(std::string("key\0", 4)) == std::string::npos) {
            fail("written key not listed");
        }
    } else if (action == 1) {
        if (engine.writeString(section, key, nullptr, "ignored") != 1) fail("delete failed");
    } else if (action == 2) {
        if (engine.writeString(section, nullptr, nullptr, "ignored") != 1) fail("delete failed");
        // Each delete removes one section of the name (the first), until none is left.
        auto sectionsNamedZz = [&] {
            std::string list = read(engine, nullptr, nullptr, "", 1 << 16, n);
            int count = 0;
            for (std::size_t pos = 0; pos < list.size(); pos = list.find('\0', pos) + 1) {
                std::string name = list.c_str() + pos;
                if (name.size() == 2 && (name[0] | 0x20) == 'z' && (name[1] | 0x20) == 'z') ++count;
            }
            return count;
        };
        for (int left = sectionsNamedZz(); left > 0; --left) {
            if (engine.writeString("zz", nullptr, nullptr, "ignored") != 1) fail("delete failed");
            if (sectionsNamedZz() != left - 1) fail("delete did not remove one section");
        }
        if (read(engine, "zz", "key", "gone", 64, n) != "gone") fail("deleted section still read");
    } else {
        engine.writeString(section, key, def, "ignored");
    }
    // Whatever a write did, the file is still read in the encoding it had.
    if (profile::decodeFile(fileBytes(), ignored) != before) fail("a write changed the encoding");
    return 0;
}
