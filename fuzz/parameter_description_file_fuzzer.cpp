// libFuzzer target for the reader of the report's parameter description file: the platform's
// text-file reader (Windows-1252, CR LF or LF) and the one-line-per-row reading over it.
// Build and run: see fuzz/README.md.
//
// Input: the file's bytes.
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/posix/posix_platform.h"
#include "reports/parameters/parameter_description_file.h"

namespace {

using namespace vantrel::automation;
using vantrel::fuzzing::attempt;
using vantrel::fuzzing::check;
using vantrel::reports::parameters::ParameterDescriptionFile;

const std::string& scratchFile() {
    static const std::string path = [] {
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/vantrel_txt_fuzz_" + std::to_string(getpid()) + ".txt";
    }();
    return path;
}

// The lines a text editor shows for these bytes: a line feed ends a line, a carriage return
// before it belongs to the line end, and a file's last line feed opens no further line.
std::vector<std::string> expectedLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t nl = bytes.find('\n', pos);
        std::string line(bytes.substr(pos, nl == std::string_view::npos ? nl : nl - pos));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (nl == std::string_view::npos) break;
        pos = nl + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = vantrel::fuzzing::bytesOf(data, size);
    {
        std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    vantrel::platform::posix::PosixPlatform platform;
    ParameterDescriptionFile file =
        ParameterDescriptionFile::open(platform, fromUtf8(scratchFile()));
    check(file.isOpen(), "an existing file not open");
    const std::vector<std::string> expected = expectedLines(bytes);
    for (const std::string& line : expected) {
        const Text read = file.nextLine();
        check(read.find(u'\n') == Text::npos, "a line holds a line feed", read);
        check(toCp1252(read) == line, "a line does not keep its bytes", read);
    }
    // Past the last line: error 62, each time.
    for (int i = 0; i < 2; ++i) {
        const auto past = attempt([&] { return file.nextLine(); }, {errc::InputPastEndOfFile});
        check(!past.ok(), "a line past the end of the file");
    }
    // No file: empty lines for ever.
    ParameterDescriptionFile none = ParameterDescriptionFile::open(platform, Text());
    check(!none.isOpen() && none.nextLine().empty() && none.nextLine().empty(), "no file");
    unlink(scratchFile().c_str());
    const auto missing = attempt(
        [&] { return ParameterDescriptionFile::open(platform, fromUtf8(scratchFile())).isOpen(); },
        {errc::FileNotFound});
    check(!missing.ok(), "a missing file opened");
    return 0;
}
