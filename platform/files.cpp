#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Owns one descriptor: no return, early or by exception, leaves it open.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Closes now; a write error the system deferred shows here.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::atomic<unsigned> tempCounter{0};

// A new hidden file ".NAME.tmp-PID-N" in `dir`, removed again unless renamed.
class TempFile {
    std::string path_; // first: create() sets it

public:
    int error = 0; // why the file could not be made
    Fd fd;

    TempFile(const std::string& dir, const std::string& name, mode_t mode) : fd(create(dir, name, mode)) {}
    ~TempFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool renameTo(const std::string& target) {
        if (!fd.close() || ::rename(path_.c_str(), target.c_str()) != 0) return false;
        path_.clear();
        return true;
    }

private:
    int create(const std::string& dir, const std::string& name, mode_t mode) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = dir + "/." + name + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(tempCounter++);
            const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd >= 0) return fd;
            error = errno;
            if (error != EEXIST) break;
        }
        path_.clear();
        return -1;
    }
};

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool endsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// The file a path names once every link on its last part is followed; a dangling link
// names the file it would create.
std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof target) return path;
        std::string next(target, static_cast<size_t>(n));
        path = next.front() == '/' ? next : folderOf(path) + "/" + next;
    }
    return path;
}

bool writeAllAt(int fd, std::string_view data, off_t offset) {
    while (!data.empty()) {
        const ssize_t n = ::pwrite(fd, data.data(), data.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<size_t>(n));
        offset += n;
    }
    return true;
}

// At most `limit` bytes of the regular file open on `fd`; nothing for anything else, or
// for more bytes.
std::optional<std::string> readFd(int fd, size_t limit) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<unsigned long long>(st.st_size) > limit)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            // One byte more tells a file that grew since fstat.
            char probe;
            const ssize_t n = ::pread(fd, &probe, 1, static_cast<off_t>(got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return std::nullopt;
            if (n == 0) break;
            if (bytes.size() >= limit) return std::nullopt;
            bytes.resize(std::min(limit, bytes.size() + 65536));
        }
        const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

// Opening with O_NONBLOCK never waits for the writer of a pipe; fstat then refuses it.
int openExisting(const std::string& path, int access) {
    return ::open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

// Waits for the lock unless `how` holds LOCK_NB.
bool lockFile(int fd, int how) {
    while (::flock(fd, how) != 0)
        if (errno != EINTR) return false;
    return true;
}

// By default a file size limit ends the process at its first write past it; ignored, the
// write fails with EFBIG like any other, and the save says so.
void writesReportSizeLimits() { ::signal(SIGXFSZ, SIG_IGN); }

bool syncFolder(const std::string& dir) {
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.ok()) return false;
    return ::fsync(fd.get()) == 0 || errno == EINVAL; // some file systems cannot flush a folder
}

// `bytes` under `dir`/`name` through a temporary file and a rename. The creation error
// of the temporary file goes to *createError (0 when it was made).
bool renameInto(const std::string& dir, const std::string& name, std::string_view bytes, std::optional<unsigned> mode,
                int* createError = nullptr) {
    TempFile tmp(dir, name, mode ? static_cast<mode_t>(*mode) : 0666);
    if (createError) *createError = tmp.error;
    if (!tmp.fd.ok()) return false;
    // open() applies the umask; a kept or forced mode must be exact.
    if (mode && ::fchmod(tmp.fd.get(), static_cast<mode_t>(*mode)) != 0) return false;
    if (!writeAllAt(tmp.fd.get(), bytes, 0) || ::fsync(tmp.fd.get()) != 0) return false;
    if (!tmp.renameTo(dir + "/" + name)) return false;
    // Without this the rename itself may be lost in a power cut.
    return syncFolder(dir);
}

// Room for `size` bytes in the file, taken before any byte changes, so that a full disk
// fails here. On failure the file is cut back to its old size, which *intact tells.
bool reserve(int fd, size_t size, off_t oldSize, bool* intact = nullptr) {
    if (size == 0 || ::posix_fallocate(fd, 0, static_cast<off_t>(size)) == 0) return true;
    struct stat st {};
    const bool sameSize = ::fstat(fd, &st) == 0 && (st.st_size == oldSize || ::ftruncate(fd, oldSize) == 0);
    if (intact) *intact = sameSize;
    return false;
}

bool replaceContent(int fd, std::string_view bytes) {
    return writeAllAt(fd, bytes, 0) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

std::string& recoveryFolderPath() {
    static std::string folder;
    return folder;
}

constexpr std::string_view kCopyPrefix = "unfinished-";
constexpr std::string_view kCopyMark = "zentrafo-copy-1";
// A copy's header: the mark, the target's path, the content's length and checksum.
constexpr size_t kMaxCopyBytes = kMaxFileBytes + PATH_MAX + 64;

uint64_t fnv1a(std::string_view bytes) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string hex(uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

// Its name comes from the target's path, so a file never has two.
std::string copyNameFor(const std::string& target) { return std::string(kCopyPrefix) + hex(fnv1a(target)) + ".ini"; }

// A recovery copy: a NUL byte, the mark, then the target's path, the old content's length
// and its checksum, each after a NUL byte, then a NUL byte and the old content.
std::string copyOf(const std::string& target, std::string_view content) {
    std::string out(1, '\0');
    for (const std::string& field : {std::string(kCopyMark), target, std::to_string(content.size()), hex(fnv1a(content))})
        out.append(field).push_back('\0');
    return out.append(content);
}

struct Kept {
    enum State { Missing, Unreadable, Damaged, Whole } state = Missing;
    std::string target, content;
};

// What a recovery copy holds. A copy made before copies carried a length and a checksum
// (the path, a NUL byte, the content) counts as whole: it was flushed before its rename
// and before its rewrite began, and the file beside it is the one likely half-written.
Kept readCopy(const std::string& copy) {
    Kept kept;
    Fd in(openExisting(copy, O_RDONLY));
    if (!in.ok()) {
        kept.state = errno == ENOENT ? Kept::Missing : Kept::Unreadable;
        return kept;
    }
    const std::optional<std::string> bytes = readFd(in.get(), kMaxCopyBytes);
    kept.state = Kept::Damaged;
    if (!bytes) return kept;
    std::string_view rest = *bytes;
    auto field = [&rest]() -> std::optional<std::string_view> {
        const size_t nul = rest.find('\0');
        if (nul == std::string_view::npos) return std::nullopt;
        const std::string_view f = rest.substr(0, nul);
        rest.remove_prefix(nul + 1);
        return f;
    };
    const auto first = field();
    if (!first) return kept;
    if (!first->empty()) {
        kept.target = *first;
        kept.content = rest;
        kept.state = Kept::Whole;
        return kept;
    }
    const auto mark = field(), target = field(), length = field(), sum = field();
    if (!sum || *mark != kCopyMark || target->empty()) return kept;
    kept.target = *target;
    if (*length != std::to_string(rest.size()) || *sum != hex(fnv1a(rest))) return kept;
    kept.content = rest;
    kept.state = Kept::Whole;
    return kept;
}

void dropCopy(const std::string& copy) {
    // Once gone for good, the next start cannot put an older content back.
    if (::unlink(copy.c_str()) == 0) syncFolder(folderOf(copy));
}

// A copy that is not whole is never put back; it is kept under a name no save or start
// looks at, for whoever wants to see what it still holds.
void setAside(const std::string& copy) {
    const std::string name = nameOf(copy);
    const std::string stem = folderOf(copy) + "/damaged-" + name.substr(kCopyPrefix.size(), 16) + "-";
    for (int n = 0; n < 100; ++n) {
        const std::string aside = stem + std::to_string(n) + ".ini";
        if (::access(aside.c_str(), F_OK) == 0) continue;
        if (::rename(copy.c_str(), aside.c_str()) == 0) syncFolder(folderOf(copy));
        return;
    }
}

// With the target `fd` locked, so that no rewrite runs: puts back the content kept in
// the copy, if any, or sets a damaged copy aside. False when a whole copy could not be
// put back, or could not be read; it then stays for another try.
bool restoreLocked(const std::string& copy, int fd, const std::string& target) {
    const Kept kept = readCopy(copy);
    if (kept.state == Kept::Missing) return true;
    if (kept.state == Kept::Unreadable) return false;
    if (kept.state == Kept::Damaged || kept.target != target) {
        setAside(copy);
        return true;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (!reserve(fd, kept.content.size(), st.st_size) || !replaceContent(fd, kept.content)) return false;
    dropCopy(copy);
    return true;
}

// At start: the copy of a rewrite that another copy of the program still runs (it holds
// the lock) is left to that one.
void restoreAtStart(const std::string& copy) {
    const Kept kept = readCopy(copy);
    if (kept.state == Kept::Damaged && kept.target.empty()) setAside(copy);
    if (kept.target.empty()) return;
    Fd fd(openExisting(kept.target, O_RDWR));
    struct stat st {};
    if (!fd.ok()) {
        // A file removed since has nothing to put back.
        if (errno == ENOENT && ::stat(folderOf(kept.target).c_str(), &st) == 0)
            kept.state == Kept::Whole ? dropCopy(copy) : setAside(copy);
        return;
    }
    if (lockFile(fd.get(), LOCK_EX | LOCK_NB)) restoreLocked(copy, fd.get(), kept.target);
}

bool rewriteInPlace(const std::string& target, std::string_view bytes, std::optional<unsigned> mode) {
    const std::string& folder = recoveryFolderPath();
    if (folder.empty() || !makePrivateFolders(folder)) return false;
    const std::string copy = folder + "/" + copyNameFor(target);
    Fd fd(openExisting(target, O_RDWR));
    // Held until the copy is gone; a copy found once it is held belongs to a rewrite
    // that did not finish: that content first.
    if (!fd.ok() || !lockFile(fd.get(), LOCK_EX) || !restoreLocked(copy, fd.get(), target)) return false;
    if (mode && ::fchmod(fd.get(), static_cast<mode_t>(*mode)) != 0) return false;
    const auto old = readFd(fd.get(), kMaxFileBytes);
    if (!old || !renameInto(folder, nameOf(copy), copyOf(target, *old), 0600)) return false;
    if (onRecoveryCopyKept) onRecoveryCopyKept();

    bool intact = false;
    if (!reserve(fd.get(), bytes.size(), static_cast<off_t>(old->size()), &intact)) {
        if (intact) dropCopy(copy);
        return false;
    }
    if (!replaceContent(fd.get(), bytes)) {
        // The old content back now rather than at the next start; failing that, the copy
        // stays for the next start.
        if (replaceContent(fd.get(), *old)) dropCopy(copy);
        return false;
    }
    dropCopy(copy);
    return true;
}

// ".NAME.tmp-PID-N" with NAME an INI file's name or the update's backup: the process
// that made it.
pid_t temporaryOwner(std::string_view name) {
    if (name.size() < 2 || name.front() != '.') return 0;
    const size_t tag = name.rfind(".tmp-");
    if (tag == std::string_view::npos) return 0;
    const std::string_view base = name.substr(1, tag - 1);
    if (!endsWith(base, ".ini") && !endsWith(base, ".BU")) return 0;
    std::string_view rest = name.substr(tag + 5);
    const size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size()) return 0;
    for (size_t i = 0; i < rest.size(); ++i)
        if (i != dash && (rest[i] < '0' || rest[i] > '9')) return 0;
    long long pid = 0;
    for (char c : rest.substr(0, dash)) {
        pid = pid * 10 + (c - '0');
        if (pid > INT_MAX) return 0;
    }
    return static_cast<pid_t>(pid);
}

// Removes the temporaries in `dir` whose process is gone; the folders of link targets
// go to `more`.
void removeLeftovers(const std::string& dir, std::vector<std::string>* more) {
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
    if (!d) return;
    while (const dirent* e = ::readdir(d.get())) {
        const std::string name = e->d_name;
        struct stat st {};
        if (::fstatat(::dirfd(d.get()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (more && S_ISLNK(st.st_mode) && endsWith(name, ".ini")) {
            more->push_back(folderOf(followLinks(dir + "/" + name)));
            continue;
        }
        const pid_t pid = temporaryOwner(name);
        if (pid <= 0 || pid == ::getpid() || !S_ISREG(st.st_mode)) continue;
        if (::kill(pid, 0) == -1 && errno == ESRCH) ::unlinkat(::dirfd(d.get()), name.c_str(), 0);
    }
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path, bool* missing) {
    if (missing) *missing = false;
    Fd fd(openExisting(path, O_RDONLY));
    if (!fd.ok()) {
        if (missing) *missing = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode)) lockFile(fd.get(), LOCK_SH);
    return readFd(fd.get(), kMaxFileBytes);
}

bool mayWriteFile(const std::string& path) {
    const std::string target = followLinks(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return errno == ENOENT;
    return S_ISREG(st.st_mode) && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

bool writeWholeFile(const std::string& path, std::string_view bytes, std::optional<unsigned> mode, Replace which) {
    writesReportSizeLimits();
    const std::string target = followLinks(path);
    const std::string dir = folderOf(target), name = nameOf(target);
    if (name.empty() || bytes.size() > kMaxFileBytes) return false;
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    const bool replaceable = exists ? S_ISREG(st.st_mode) : errno == ENOENT;
    if (!(which == Replace::EvenReadOnly ? replaceable : mayWriteFile(target))) return false;
    if (!mode && exists) mode = st.st_mode & 07777;

    int createError = 0;
    if (renameInto(dir, name, bytes, mode, &createError)) return true;
    // A folder closed to new files may still hold a file the user may write. Only that
    // refusal leads here: on a full disk the temporary file is what failed.
    if (exists && (createError == EACCES || createError == EPERM)) return rewriteInPlace(target, bytes, mode);
    return false;
}

void setRecoveryFolder(std::string folder) { recoveryFolderPath() = std::move(folder); }

void recoverUnfinishedSaves(const std::vector<std::string>& folders) {
    writesReportSizeLimits();
    const std::string& folder = recoveryFolderPath();
    std::vector<std::string> copies;
    if (std::unique_ptr<DIR, int (*)(DIR*)> d(folder.empty() ? nullptr : ::opendir(folder.c_str()), ::closedir); d) {
        while (const dirent* e = ::readdir(d.get())) {
            const std::string name = e->d_name;
            if (name.rfind(kCopyPrefix, 0) == 0 && endsWith(name, ".ini")) copies.push_back(folder + "/" + name);
        }
    }
    for (const std::string& copy : copies) restoreAtStart(copy);

    std::vector<std::string> targets;
    for (const std::string& dir : folders) removeLeftovers(dir, &targets);
    if (!folder.empty()) removeLeftovers(folder, &targets);
    for (const std::string& dir : targets) removeLeftovers(dir, nullptr);
}

bool makePrivateFolders(const std::string& path) {
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos < path.size() && path[pos] != '/') continue;
        const std::string part = path.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace platform
