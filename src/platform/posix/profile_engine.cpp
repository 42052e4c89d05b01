#include "platform/posix/profile_engine.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// Processes using this engine take turns on a file with flock: readers share it, a writer has
// it alone from before it reads until its new version is in place. A lock that does not come
// within `wait` is reported as ETIMEDOUT (or the lock call's own error).
int lockFile(int fd, int operation, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + wait;
    auto pause = std::chrono::milliseconds(1);
    while (::flock(fd, operation | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return errno;
        auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return ETIMEDOUT;
        auto nap = std::min<Clock::duration>(pause, left);
        timespec ts{0, static_cast<long>(std::chrono::nanoseconds(nap).count())};
        ::nanosleep(&ts, nullptr);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
    return 0;
}

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool parentIsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(folderOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// 0, or errno (EFBIG past kMaxFileSize).
int readAll(int fd, std::string& out) {
    char chunk[65536];
    while (true) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (out.size() + static_cast<std::size_t>(n) > ProfileEngine::kMaxFileSize) return EFBIG;
        out.append(chunk, static_cast<std::size_t>(n));
    }
}

// Makes the file hold exactly `bytes`; 0, or errno.
int writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 ? 0 : errno;
}

// A file as a read sees it. kernel32 tells apart a file that is not there (an empty
// profile; a write creates it) from one that cannot be opened: a missing folder, a folder
// where the file should be, no permission. The latter gives the default on a read (without
// removing its quotes) and fails a write.
struct ProfileFile {
    enum class State { Failed, Missing, Read } state = State::Failed;
    Wide text;
    bool readable() const { return state != State::Failed; }
};

ProfileFile openProfile(const std::string& path, std::chrono::milliseconds wait) {
    ProfileFile f;
    if (path.empty()) return f;
    for (int attempt = 0; attempt < 100; ++attempt) {
        FileHandle handle(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (handle.get() < 0) {
            if (errno == ENOENT && parentIsFolder(path)) f.state = ProfileFile::State::Missing;
            return f;
        }
        struct stat st {};
        if (::fstat(handle.get(), &st) != 0 || !S_ISREG(st.st_mode)) return f;
        if (st.st_size > ProfileEngine::kMaxFileSize) return f;
        // Our writers replace the file whole, so even without the lock a read sees one
        // version or the other; the lock matters for rewrites in place (a folder we cannot
        // write). A writer we waited for has put a newer file in place: read that one.
        if (lockFile(handle.get(), LOCK_SH, wait) == 0) {
            struct stat now {};
            if (::stat(path.c_str(), &now) == 0 &&
                (now.st_ino != st.st_ino || now.st_dev != st.st_dev)) {
                continue;
            }
        }
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(st.st_size));
        if (readAll(handle.get(), bytes) != 0) return f;
        decodeFile(bytes, f.text);
        f.state = ProfileFile::State::Read;
        return f;
    }
    return f;
}

// A file opened, locked and read for a write.
struct Update {
    std::string path;  // symbolic links followed: the new version replaces their target
    FileHandle handle;
    struct stat st {};
    bool created = false;  // made empty by this write, to have something to lock
    Encoding encoding = Encoding::Ansi;
    Wide text;
    std::string original;
};

// Returns 0 or errno. The lock is on the file's inode, and a writer puts its new version in
// place by renaming another inode over the name. So a writer that was waiting for the lock
// may hold it on a file that is no longer there: it checks, once locked, that the name still
// leads to the inode it locked, and starts again otherwise. Nobody reads or replaces the
// file between that check and the rename, so no change is ever lost.
int openForUpdate(const std::string& given, std::chrono::milliseconds wait, Update& u) {
    if (given.empty()) return EINVAL;
    char* real = ::realpath(given.c_str(), nullptr);
    u.path = real ? real : given;
    std::free(real);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int flags = O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        u.created = false;
        u.handle = FileHandle(::open(u.path.c_str(), flags));
        if (u.handle.get() < 0) {
            if (errno != ENOENT || !parentIsFolder(u.path)) return errno;
            u.handle = FileHandle(::open(u.path.c_str(), flags | O_CREAT | O_EXCL, 0666));
            if (u.handle.get() < 0) {
                if (errno == EEXIST) continue;  // another writer made it first
                return errno;
            }
            u.created = true;
        }
        if (::fstat(u.handle.get(), &u.st) != 0) return errno;
        if (!S_ISREG(u.st.st_mode)) return EINVAL;
        // Windows refuses to write a read-only file; without this, root would write it anyway.
        if ((u.st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
        if (int error = lockFile(u.handle.get(), LOCK_EX, wait)) return error;
        struct stat now {};
        if (::stat(u.path.c_str(), &now) != 0 || now.st_ino != u.st.st_ino ||
            now.st_dev != u.st.st_dev) {
            continue;  // replaced or removed while we waited
        }
        if (::fstat(u.handle.get(), &u.st) != 0) return errno;
        if (u.st.st_size > ProfileEngine::kMaxFileSize) return EFBIG;
        u.original.reserve(static_cast<std::size_t>(u.st.st_size));
        if (int error = readAll(u.handle.get(), u.original)) return error;
        u.encoding = decodeFile(u.original, u.text);
        return 0;
    }
    return ELOOP;  // the name keeps changing under us (a dangling symbolic link, say)
}

// Writes the new version beside the file, flushes it to the disk and renames it over the
// file: a failure at any point (a full disk, a file size limit, a crash) leaves the old
// version whole. The new file keeps the old one's mode, and its owner where we may set it.
// Where the folder does not let us add a file, the file is rewritten in place, and on a
// failure the old bytes go back (they fit where they were).
int replaceContent(Update& u, const std::string& bytes) {
    const std::string folder = folderOf(u.path);
    std::string temporary = folder + "/." + u.path.substr(folder.size() + 1) + ".XXXXXX";
    FileHandle out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0) {
        if (errno != EACCES && errno != EPERM) return errno;
        if (int error = writeAll(u.handle.get(), bytes)) {
            (void)writeAll(u.handle.get(), u.original);
            return error;
        }
        return ::fsync(u.handle.get()) == 0 ? 0 : errno;
    }
    int error = 0;
    if (::fchmod(out.get(), u.st.st_mode & 07777) != 0) error = errno;
    if (::fchown(out.get(), u.st.st_uid, u.st.st_gid) != 0 &&
        ::fchown(out.get(), static_cast<uid_t>(-1), u.st.st_gid) != 0) {
        // Someone else's file in a folder we may write: it becomes ours, its mode kept.
    }
    if (!error) error = writeAll(out.get(), bytes);
    if (!error && ::fsync(out.get()) != 0) error = errno;
    if (!error && ::rename(temporary.c_str(), u.path.c_str()) != 0) error = errno;
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename itself lasts once the folder is on the disk too.
    FileHandle dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) (void)::fsync(dir.get());
    return 0;
}

int saveProfile(Update& u, const Document& document) {
    std::string bytes = encodeFile(document.serialize(), u.encoding);
    // The rewrite drops leading blank lines, so a Windows-1252 file could come to begin with
    // the bytes of a byte-order mark (a first line starting with "\xFF\xFE", "\xFE\xFF" or
    // "\xEF\xBB\xBF") and be read as UTF-16 or UTF-8 from then on: every key lost. kernel32
    // writes it so; an empty first line keeps the file what it was.
    Wide ignored;
    if (u.encoding == Encoding::Ansi && decodeFile(bytes, ignored) != Encoding::Ansi) {
        bytes.insert(0, "\r\n");
    }
    if (bytes == u.original) return 0;
    return replaceContent(u, bytes);
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
        ProfileFile f = openProfile(resolve_(file), lockWait_);
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
    lastWriteError_ = EINVAL;
    if (!section) return 0;
    Update u;
    try {
        lastWriteError_ = openForUpdate(resolve_(file), lockWait_, u);
        if (lastWriteError_ == 0) {
            Document document(std::move(u.text), !u.original.empty());
            bool changed = !key    ? document.deleteSection(wide(section))
                           : !text ? document.deleteKey(wide(section), wide(key))
                                   : document.set(wide(section), wide(key), wide(text));
            if (changed) lastWriteError_ = saveProfile(u, document);
        }
    } catch (...) {
        lastWriteError_ = ENOMEM;
    }
    // A file made only to be locked goes again when it is still that empty file: nothing
    // was to be written, or the write failed (the lock is still held, so nobody took it for
    // theirs).
    struct stat now {};
    if (u.created && ::stat(u.path.c_str(), &now) == 0 && now.st_ino == u.st.st_ino &&
        now.st_size == 0) {
        ::unlink(u.path.c_str());
    }
    return lastWriteError_ == 0 ? 1 : 0;
}

}  // namespace vantrel::platform::posix
