#include "platform/posix/profile_engine.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

#include "automation/text.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/profile_engine_document.h"

namespace vantrel::platform::posix {

namespace {

using namespace profile;

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileHandle& operator=(FileHandle&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_ = -1;
};

// Other processes using this engine take turns on a file; a lock that does not come within a
// couple of seconds is given up rather than waited for (kernel32 takes no lock at all).
void lockFile(int fd, int operation) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::flock(fd, operation | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
        timespec pause{0, 10 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
}

bool parentIsFolder(const std::string& path) {
    auto slash = path.rfind('/');
    std::string parent = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    struct stat st {};
    return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool readAll(int fd, std::string& out) {
    char chunk[65536];
    while (true) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (out.size() + static_cast<std::size_t>(n) > ProfileEngine::kMaxFileSize) return false;
        out.append(chunk, static_cast<std::size_t>(n));
    }
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
}

// A file as one call sees it. kernel32 tells apart a file that is not there (an empty
// profile; a write creates it) from one that cannot be opened: a missing folder, a folder
// where the file should be, no permission. The latter gives the default on a read (without
// removing its quotes) and fails a write.
struct ProfileFile {
    enum class State { Failed, Missing, Read } state = State::Failed;
    std::string path;
    FileHandle handle;
    Encoding encoding = Encoding::Ansi;
    Wide text;
    bool empty = true;     // not a single byte (kernel32 then sees no section at all)
    std::string original;  // the bytes read, kept by writes to skip rewriting the same bytes
    bool readable() const { return state != State::Failed; }
};

ProfileFile openProfile(std::string path, bool forWrite) {
    ProfileFile f;
    f.path = std::move(path);
    if (f.path.empty()) return f;
    int flags = (forWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    FileHandle handle(::open(f.path.c_str(), flags));
    if (handle.get() < 0) {
        if (errno == ENOENT && parentIsFolder(f.path)) f.state = ProfileFile::State::Missing;
        return f;
    }
    struct stat st {};
    if (::fstat(handle.get(), &st) != 0 || !S_ISREG(st.st_mode)) return f;
    // Windows refuses to write a read-only file; without this, root would write it anyway.
    if (forWrite && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return f;
    if (st.st_size > ProfileEngine::kMaxFileSize) return f;
    lockFile(handle.get(), forWrite ? LOCK_EX : LOCK_SH);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    if (!readAll(handle.get(), bytes)) return f;
    f.encoding = decodeFile(bytes, f.text);
    f.empty = bytes.empty();
    if (forWrite) {
        f.original = std::move(bytes);
        f.handle = std::move(handle);
    }
    f.state = ProfileFile::State::Read;
    return f;
}

bool saveProfile(ProfileFile& f, const Document& document) {
    std::string bytes = encodeFile(document.serialize(), f.encoding);
    // The rewrite drops leading blank lines, so a Windows-1252 file could come to begin with
    // the bytes of a byte-order mark (a first line starting with "\xFF\xFE", "\xFE\xFF" or
    // "\xEF\xBB\xBF") and be read as UTF-16 or UTF-8 from then on: every key lost. kernel32
    // writes it so; an empty first line keeps the file what it was.
    Wide ignored;
    if (f.encoding == Encoding::Ansi && decodeFile(bytes, ignored) != Encoding::Ansi) {
        bytes.insert(0, "\r\n");
    }
    if (f.state == ProfileFile::State::Read && bytes == f.original) return true;
    if (f.handle.get() < 0) {
        f.handle = FileHandle(
            ::open(f.path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666));
        struct stat st {};
        if (f.handle.get() < 0 || ::fstat(f.handle.get(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        lockFile(f.handle.get(), LOCK_EX);
    }
    return writeAll(f.handle.get(), bytes);
}

// What kernel32 copies into a buffer of `size` characters: at most size - 1 of them. A value
// in matching quotes loses them; when the buffer cuts such a value, the last character that
// fits goes instead of the closing quote.
Wide copyEntry(WideView value, std::uint32_t size) {
    bool quoted = false;
    if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0]) {
        quoted = true;
        value.remove_prefix(1);
    }
    Wide out(value.substr(0, size - 1));
    if (quoted && size >= value.size() && !out.empty()) out.pop_back();
    return out;
}

Wide copyPlain(WideView value, std::uint32_t size) {
    return Wide(value.substr(0, size - 1));
}

// The key names of a section (lines with '=' only, no comments), each followed by a NUL.
// When they do not fit, the last name is cut and the count is size - 2. Returns the
// characters counted; an empty result or one that starts with an empty name means "none".
Wide keyNames(const std::vector<Key>& keys, std::uint32_t size) {
    Wide out;
    std::uint64_t left = size;
    for (const auto& k : keys) {
        if (left <= 2) break;
        if (!k.value || (!k.name.empty() && k.name[0] == u';')) continue;
        WideView name = k.name.substr(0, static_cast<std::size_t>(left - 2));
        out += name;
        out += u'\0';
        left -= name.size() + 1;
        if (left < 2) break;
    }
    if (left <= 1 && !out.empty()) out.resize(size - 2);
    return out;
}

// The names of all sections (the nameless ones left out), each followed by a NUL. A name
// that does not fit, even one that would fill the buffer exactly, is cut to leave room for
// the final two NULs, and the count is size - 2.
Wide sectionNames(const std::vector<WideView>& names, std::uint32_t size) {
    Wide out;
    if (size <= 1) return out;
    std::uint64_t left = size - 1;
    for (WideView name : names) {
        if (name.empty()) continue;
        std::uint64_t needed = name.size() + 1;
        if (needed >= left) {
            out += name.substr(0, static_cast<std::size_t>(left - 1));
            out += u'\0';
            out.resize(size - 2);
            return out;
        }
        out += name;
        out += u'\0';
        left -= needed;
    }
    return out;
}

// kernel32 drops the trailing spaces (spaces only) of a key's default, but keeps one
// character of a default made only of spaces.
WideView trimDefault(WideView text) {
    std::size_t end = text.size();
    while (end > 1 && text[end - 1] == u' ') --end;
    return text.substr(0, end);
}

Wide wide(const char* text) {
    return text ? ansiToWide(text) : Wide();
}

}  // namespace

ProfileEngine::ProfileEngine()
    : resolve_([](const char* file) {
          // kernel32 would use win.ini of the Windows folder, which Linux does not have.
          return file ? nativePath(automation::fromCp1252(file)) : std::string();
      }) {}

ProfileEngine::ProfileEngine(PathResolver resolver) : resolve_(std::move(resolver)) {}

ProfileEngine ProfileEngine::forFile(std::string path) {
    return ProfileEngine([path = std::move(path)](const char*) { return path; });
}

std::uint32_t ProfileEngine::getString(const char* section, const char* key,
                                       const char* defaultText, char* buffer, std::uint32_t size,
                                       const char* file) {
    if (!buffer || size == 0) return 0;
    Wide result;
    try {
        Wide def = wide(defaultText);
        ProfileFile f = openProfile(resolve_(file), false);
        const Scan scan(f.text);
        if (!section) {
            result = sectionNames(scan.sectionNames(), size);
        } else if (!key) {
            std::vector<Key> keys;
            if (f.readable() && scan.keysOf(wide(section), keys)) result = keyNames(keys, size);
            if (result.empty() || result[0] == u'\0') result = copyEntry(def, size);
        } else if (!f.readable()) {
            result = copyPlain(trimDefault(def), size);
        } else {
            std::optional<Key> found = scan.find(wide(section), wide(key));
            result = copyEntry(found && found->value ? *found->value : trimDefault(def), size);
        }
    } catch (...) {
        // Out of memory on a huge file: as if the file could not be read.
        result.clear();
    }
    std::string bytes = wideToAnsi(result);
    std::memcpy(buffer, bytes.data(), bytes.size());
    buffer[bytes.size()] = '\0';
    return static_cast<std::uint32_t>(bytes.size());
}

std::int32_t ProfileEngine::writeString(const char* section, const char* key, const char* text,
                                        const char* file) {
    // Three null arguments only flush kernel32's cache, and report failure doing it.
    if (!section) return 0;
    try {
        ProfileFile f = openProfile(resolve_(file), true);
        if (!f.readable()) return 0;
        Document document(std::move(f.text), !f.empty);
        bool changed = !key    ? document.deleteSection(wide(section))
                       : !text ? document.deleteKey(wide(section), wide(key))
                               : document.set(wide(section), wide(key), wide(text));
        if (changed && !saveProfile(f, document)) return 0;
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace vantrel::platform::posix
