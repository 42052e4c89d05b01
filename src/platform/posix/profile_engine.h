// GetPrivateProfileStringA and WritePrivateProfileStringA for Linux, behaving as kernel32
// does (Wine's kernel32 is the reference; tests/wine compares the two case by case):
//  - a file is Windows-1252 unless it begins with a UTF-8 or UTF-16 byte-order mark;
//  - section and key names match whatever the case of their ASCII letters, without the
//    white space around them; the first section and the first key of a name win;
//  - values lose the white space around them and one pair of matching quotes;
//  - a write rewrites the whole file from what was read: comments stay, blank lines and
//    the white space around '=' go, lines end in CR LF; a write that changes nothing
//    leaves the file alone.
// Every call reads the file again; nothing is cached between calls. Unlike kernel32, a write
// never leaves a file half written, waits for other processes writing the same file, and
// keeps a name or value that a NUL cuts from coming back as another (Document::serialize).
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "interfaces/profile_functions.h"

namespace vantrel::platform::posix {

class ProfileEngine : public interfaces::ProfileFunctions {
public:
    // The Linux file that a call's file argument (Windows-1252 bytes, or null) names; an
    // empty result is a file that cannot be opened.
    using PathResolver = std::function<std::string(const char* file)>;

    // File arguments are Windows paths, translated by nativePath.
    ProfileEngine();
    explicit ProfileEngine(PathResolver resolver);
    // Every call works on this Linux file, whatever its file argument says.
    static ProfileEngine forFile(std::string path);

    std::uint32_t getString(const char* section, const char* key, const char* defaultText,
                            char* buffer, std::uint32_t size, const char* file) override;
    std::int32_t writeString(const char* section, const char* key, const char* text,
                             const char* file) override;

    // Larger files are not read (reads give the default, writes fail).
    static constexpr long long kMaxFileSize = 512ll << 20;
    // How long a call waits for other processes' writes to the same file. A write that does
    // not get the file within that time fails; a read goes ahead (it cannot see a half-made
    // file, see saveProfile).
    static constexpr std::chrono::milliseconds kLockWait{30000};
    void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

    // Why the last writeString returned 0, as an errno value: ETIMEDOUT when the file stayed
    // locked for the whole wait, EACCES for a read-only file, EFBIG for one too large, EINVAL
    // for a null section or file; the system's error otherwise. 0 after a success.
    [[nodiscard]] int lastWriteError() const { return lastWriteError_; }

private:
    PathResolver resolve_;
    std::chrono::milliseconds lockWait_ = kLockWait;
    int lastWriteError_ = 0;
};

}  // namespace vantrel::platform::posix
