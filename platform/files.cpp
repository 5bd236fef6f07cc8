#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/in_place_rewrite.h"

namespace platform {

namespace io {

Fd::~Fd() {
    if (fd_ >= 0) ::close(fd_);
}

bool Fd::close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

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

bool usersOrRoots(uid_t uid) { return uid == ::geteuid() || uid == 0; }

namespace {

// The kernel's rule for links in shared folders, applied where the program follows links
// itself: another account's link there may point at any file of the user's.
bool mayFollow(const std::string& link) {
    struct stat at {}, dir {};
    if (::lstat(link.c_str(), &at) != 0 || ::stat(folderOf(link).c_str(), &dir) != 0) return false;
    return !(dir.st_mode & 022) || at.st_uid == ::geteuid() || at.st_uid == dir.st_uid;
}

} // namespace

std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof target || !mayFollow(path)) return path;
        std::string next(target, static_cast<size_t>(n));
        path = next.front() == '/' ? next : folderOf(path) + "/" + next;
    }
    return path;
}

// Past the first hundred numbers, which another account may have taken before the folder
// was closed, numbers no one can foresee.
void setAside(const std::string& entry, const std::string& kind, const std::string& tag, const std::string& ending) {
    const std::string stem = folderOf(entry) + "/" + kind + "-" + tag + "-";
    unsigned long long n = 0;
    for (int tries = 0; tries < 200; ++tries) {
        const std::string aside = stem + std::to_string(n) + ending;
        n = tries < 99 ? n + 1
                       : static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                             (static_cast<unsigned long long>(::getpid()) << 40);
        struct stat st {};
        if (::lstat(aside.c_str(), &st) == 0 || errno != ENOENT) continue;
        if (::rename(entry.c_str(), aside.c_str()) == 0) syncFolder(folderOf(entry));
        return;
    }
}

int openExisting(const std::string& path, int access) {
    return ::open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

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

bool syncFolder(const std::string& dir) {
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.ok()) return false;
    return ::fsync(fd.get()) == 0 || errno == EINVAL; // some file systems cannot flush a folder
}

void writesReportSizeLimits() { ::signal(SIGXFSZ, SIG_IGN); }

namespace {

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

// ".NAME.tmp-PID-N" with NAME an INI file's name, the update's backup or a download's
// file: the process that made it.
pid_t temporaryOwner(std::string_view name) {
    if (name.size() < 2 || name.front() != '.') return 0;
    const size_t tag = name.rfind(".tmp-");
    if (tag == std::string_view::npos) return 0;
    const std::string_view base = name.substr(1, tag - 1);
    if (!endsWith(base, ".ini") && !endsWith(base, ".BU") && !endsWith(base, ".part")) return 0;
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

} // namespace

bool renameInto(const std::string& dir, const std::string& name, std::string_view bytes, std::optional<unsigned> mode,
                int* refused, bool* renamed, const Owner* owner) {
    if (refused) *refused = 0;
    TempFile tmp(dir, name, mode ? static_cast<mode_t>(*mode) : 0666);
    if (!tmp.fd.ok()) {
        if (refused) *refused = tmp.error;
        return false;
    }
    struct stat st {};
    // Before the mode: a change of owner clears the set-id bits. Without the group, the
    // other members of a shared file's group could no longer write it.
    if (owner && (::fstat(tmp.fd.get(), &st) != 0 ||
                  ((st.st_uid != owner->uid || st.st_gid != owner->gid) &&
                   ::fchown(tmp.fd.get(), owner->uid, owner->gid) != 0 && st.st_gid != owner->gid &&
                   ::fchown(tmp.fd.get(), static_cast<uid_t>(-1), owner->gid) != 0 && owner->groupNeeded))) {
        if (refused) *refused = EPERM;
        return false;
    }
    // open() applies the umask; a kept or forced mode must be exact.
    if (mode && ::fchmod(tmp.fd.get(), static_cast<mode_t>(*mode)) != 0) return false;
    if (!writeAllAt(tmp.fd.get(), bytes, 0) || ::fsync(tmp.fd.get()) != 0) return false;
    // What the disk holds, not what the writes were handed.
    if (::fstat(tmp.fd.get(), &st) != 0 || static_cast<unsigned long long>(st.st_size) != bytes.size()) return false;
    if (!tmp.renameTo(dir + "/" + name)) {
        // A sticky folder lets no one replace another account's file.
        if (refused && (errno == EACCES || errno == EPERM)) *refused = errno;
        return false;
    }
    if (renamed) *renamed = true;
    // Without this the rename itself may be lost in a power cut.
    return syncFolder(dir);
}

void removeDeadTemporaries(const std::string& dir) {
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
    if (!d) return;
    while (const dirent* e = ::readdir(d.get())) {
        const pid_t pid = temporaryOwner(e->d_name);
        struct stat st {};
        if (pid <= 0 || pid == ::getpid() || ::fstatat(::dirfd(d.get()), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || !usersOrRoots(st.st_uid))
            continue;
        if (::kill(pid, 0) == -1 && errno == ESRCH) ::unlinkat(::dirfd(d.get()), e->d_name, 0);
    }
}

} // namespace io

using namespace io;

namespace {

SaveFailure& lastFailure() {
    thread_local SaveFailure failure;
    return failure;
}

bool failed(SaveFailure::Cause cause, const std::string& file, std::string folder) {
    lastFailure() = {cause, file, std::move(folder)};
    return false;
}

} // namespace

const SaveFailure& lastSaveFailure() { return lastFailure(); }

std::optional<std::string> readWholeFile(const std::string& path, bool* missing) {
    if (missing) *missing = false;
    // Opened where the program's own resolution of links leads, never through a link it
    // would not follow.
    Fd fd(openExisting(followLinks(path), O_RDONLY | O_NOFOLLOW));
    if (!fd.ok()) {
        if (missing) *missing = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    return in_place::read(fd.get(), path);
}

std::optional<std::string> readPlainFile(const std::string& path) {
    Fd fd(openExisting(path, O_RDONLY));
    return fd.ok() ? readFd(fd.get(), kMaxFileBytes) : std::nullopt;
}

bool mayWriteFile(const std::string& path) {
    const std::string target = followLinks(path);
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT;
    return S_ISREG(st.st_mode) && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

bool writeWholeFile(const std::string& path, std::string_view bytes, std::optional<unsigned> mode, Replace which) {
    writesReportSizeLimits();
    lastFailure() = {};
    const std::string target = followLinks(path);
    const std::string dir = folderOf(target), name = nameOf(target);
    const in_place::Entry entry = in_place::settingsEntry(path);
    if (entry == in_place::Entry::Others || name.empty() || bytes.size() > kMaxFileBytes)
        return failed(SaveFailure::Folder, path, dir);
    if (entry == in_place::Entry::Roots) which = Replace::EvenReadOnly;
    struct stat st {};
    const bool exists = ::lstat(target.c_str(), &st) == 0;
    // A link still there is one no save may follow: nothing is written in its place.
    const bool replaceable = exists ? S_ISREG(st.st_mode) : errno == ENOENT;
    if (!(which == Replace::EvenReadOnly ? replaceable : mayWriteFile(target))) return failed(SaveFailure::Folder, path, dir);
    const Owner owner{st.st_uid, st.st_gid, !mode};
    if (!mode && exists) mode = st.st_mode & 07777;

    int refused = 0;
    bool renamed = false;
    const bool saved = renameInto(dir, name, bytes, mode, &refused, &renamed, exists ? &owner : nullptr);
    // In place, even if not known durable: what every reader now sees, never to be undone.
    if (renamed) in_place::replaced(target);
    if (saved) return true;
    // A folder closed to new files, or one where this file may not be replaced by a new one,
    // may still hold a file the user may write. Only that refusal leads here: on a full
    // disk the temporary file is what failed.
    if (renamed || !exists || (refused != EACCES && refused != EPERM)) return failed(SaveFailure::Folder, path, dir);
    switch (in_place::rewrite(target, bytes, mode)) {
    case in_place::Outcome::Done: return true;
    case in_place::Outcome::InUse: return failed(SaveFailure::InUse, path, dir);
    case in_place::Outcome::NoCopy: return failed(SaveFailure::Recovery, path, in_place::recoveryFolder());
    case in_place::Outcome::Failed: break;
    }
    return failed(SaveFailure::Folder, path, dir);
}

bool makePrivateFolders(const std::string& path) {
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos < path.size() && path[pos] != '/') continue;
        const std::string part = path.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) == 0) {
            // Made by a run under sudo that kept the user's HOME: the user's, as the folder
            // that holds it, or the user's own settings could never be kept there again.
            struct stat parent {};
            if (::geteuid() == 0 && ::stat(folderOf(part).c_str(), &parent) == 0 && parent.st_uid != 0)
                (void)::chown(part.c_str(), parent.st_uid, parent.st_gid);
        } else if (errno != EEXIST) {
            return false;
        }
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    // A folder of the user's that others may write (made so by hand, or by another
    // program) is closed to them: what the program keeps there is its own.
    if (st.st_uid == ::geteuid() && (st.st_mode & 022)) ::chmod(path.c_str(), st.st_mode & 07755);
    return true;
}

bool isOwnFolder(const std::string& path) {
    // A link on the way that another account made could be pointed elsewhere at any time.
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        struct stat st {};
        if ((pos == path.size() || path[pos] == '/') && ::lstat(path.substr(0, pos).c_str(), &st) == 0 &&
            S_ISLNK(st.st_mode) && !usersOrRoots(st.st_uid))
            return false;
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return false;
    std::string dir(resolved);
    std::free(resolved);
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 022))
        return false;
    // Whoever may write a folder on the way may move the folder and put another there.
    while (dir != "/") {
        dir = folderOf(dir);
        if (::stat(dir.c_str(), &st) != 0 || !usersOrRoots(st.st_uid) || ((st.st_mode & 022) && !(st.st_mode & S_ISVTX)))
            return false;
    }
    return true;
}

void removeLeftover(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return;
    if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) ::unlink(path.c_str());
    else if (isOwnFolder(folderOf(path))) setAside(path, "in-the-way", nameOf(path), "");
}

} // namespace platform
