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
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/in_place_rewrite.h"

namespace platform {

namespace io {

Fd::~Fd() {
    if (fd_ >= 0) ::close(fd_);
}

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
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

std::atomic<unsigned long long> tempCounter{0};

// A new hidden file ".NAME.tmp-PID-N" in `dir`, removed again unless renamed. N is drawn at
// random: another account's entries at the names it could foresee never stop a save.
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
            unsigned long long n = tempCounter++;
            ::getrandom(&n, sizeof n, 0);
            path_ = dir + "/." + name + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(n);
            const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd >= 0) return fd;
            error = errno;
            if (error != EEXIST) break;
        }
        path_.clear();
        return -1;
    }
};

} // namespace

bool renameInto(const std::string& dir, const std::string& name, std::string_view bytes, std::optional<unsigned> mode,
                Refusal* refused, bool* renamed, const Owner* owner) {
    if (refused) *refused = Refusal::None;
    // The user's alone until its owner and mode are set: whoever opens a file keeps what it
    // later holds.
    TempFile tmp(dir, name, mode ? 0600 : 0666);
    if (!tmp.fd.ok()) {
        if (refused && (tmp.error == EACCES || tmp.error == EPERM)) *refused = Refusal::NoNewFile;
        errno = tmp.error;
        return false;
    }
    struct stat st {};
    // Before the mode: a change of owner clears the set-id bits. Without the group, the
    // other members of a shared file's group could no longer write it.
    if (owner && (::fstat(tmp.fd.get(), &st) != 0 ||
                  ((st.st_uid != owner->uid || st.st_gid != owner->gid) &&
                   ::fchown(tmp.fd.get(), owner->uid, owner->gid) != 0 && st.st_gid != owner->gid &&
                   ::fchown(tmp.fd.get(), static_cast<uid_t>(-1), owner->gid) != 0 && owner->groupNeeded))) {
        if (refused) *refused = Refusal::NoGroup;
        errno = EPERM;
        return false;
    }
    // Where the group could not be kept, it gets no more than everyone else, as vim does:
    // the group the file falls to may be shared with accounts its old group never held.
    if (owner && mode && ::fstat(tmp.fd.get(), &st) == 0 && st.st_gid != owner->gid)
        *mode = (*mode & ~070u) | ((*mode & 07u) << 3);
    // open() applies the umask; a kept or forced mode must be exact.
    if (mode && ::fchmod(tmp.fd.get(), static_cast<mode_t>(*mode)) != 0) return false;
    if (!writeAllAt(tmp.fd.get(), bytes, 0) || ::fsync(tmp.fd.get()) != 0) return false;
    // What the disk holds, not what the writes were handed.
    if (::fstat(tmp.fd.get(), &st) != 0 || static_cast<unsigned long long>(st.st_size) != bytes.size())
        return errno = ENOSPC, false;
    if (!tmp.renameTo(dir + "/" + name)) {
        // A sticky folder lets no one replace another account's file.
        if (refused && (errno == EACCES || errno == EPERM)) *refused = Refusal::MayNotReplace;
        return false;
    }
    if (renamed) *renamed = true;
    // Without this the rename itself may be lost in a power cut.
    return syncFolder(dir);
}

namespace {

SaveFailure& lastFailure() {
    thread_local SaveFailure failure;
    return failure;
}

} // namespace

bool failed(SaveFailure::Cause cause, Why why, const std::string& file, const std::string& folder) {
    lastFailure() = {cause, why, shown(file), shown(folder)};
    return false;
}

bool failedFor(SaveFailure::Cause cause, const std::string& file, const OwnFolder& folder, int error) {
    const FolderFault& fault = folder.fault();
    if (fault.folder.empty()) return failed(cause, whyOf(error), file, folder.path());
    return failed(cause, fault.why == Why::Unknown ? whyOf(error) : fault.why, file, fault.folder);
}

Why whyOf(int error) {
    switch (error) {
    case EROFS:
    case EACCES:
    case EPERM: return Why::ReadOnly;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return Why::Full;
    case ENOENT:
    case ENOTDIR: return Why::Missing;
    default: return Why::Unknown;
    }
}

} // namespace io

using namespace io;

const SaveFailure& lastSaveFailure() { return lastFailure(); }

namespace {

// Records why a save of `path`, or a read, cannot use the entry at `target`: judged from its
// status `st`, where it could be looked at (or opened), else from what opening it said
// (`error`). What stands at the name is named itself: a link no save may follow, a read-
// protected file, another kind of entry (a pipe), a file too large; else its folder.
bool failedAt(const std::string& path, const std::string& target, const struct stat* st, int error = 0) {
    const bool itself = st || error == ELOOP || error == EACCES;
    const Why why = error == ELOOP || (st && S_ISLNK(st->st_mode)) ? Why::OthersLink
                    : error == EACCES                              ? Why::ReadProtected
                    : !st                                          ? whyOf(error)
                    : !S_ISREG(st->st_mode)                        ? Why::NotAFile
                    : static_cast<unsigned long long>(st->st_size) > kMaxFileBytes ? Why::TooLarge
                                                                                   : Why::Unknown;
    return failed(SaveFailure::Folder, why, path, itself && why != Why::Unknown ? target : folderOf(target));
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path, bool* missing, const OwnFolder* settings) {
    if (missing) *missing = false;
    if (settings && !settings->mayLook()) return std::nullopt;
    // Opened where the program's own resolution of links leads, never through a link it
    // would not follow.
    const std::string target = followLinks(path, settings);
    Fd fd(openExisting(target, O_RDONLY | O_NOFOLLOW));
    if (!fd.ok() && (errno == ENOENT || errno == ENOTDIR)) {
        if (missing) *missing = true;
        return std::nullopt;
    }
    struct stat st {};
    if (!fd.ok()) failedAt(path, target, nullptr, errno);
    else if (settings && !mayReadSettings(fd.get(), *settings)) failed(SaveFailure::Folder, Why::FileProtected, path, target);
    else if (auto bytes = in_place::read(fd.get(), target)) return bytes;
    else failedAt(path, target, ::fstat(fd.get(), &st) == 0 ? &st : nullptr);
    return std::nullopt;
}

std::optional<std::string> readPlainFile(const std::string& path) {
    Fd fd(openExisting(followLinks(path), O_RDONLY | O_NOFOLLOW));
    return fd.ok() ? readFd(fd.get(), kMaxFileBytes) : std::nullopt;
}

bool writeWholeFile(const std::string& path, std::string_view bytes, std::optional<unsigned> mode, Replace which) {
    writesReportSizeLimits();
    lastFailure() = {};
    const std::string target = followLinks(path);
    const std::string dir = folderOf(target), name = nameOf(target);
    if (name.empty()) return failed(SaveFailure::Folder, Why::Unknown, path, dir);
    if (bytes.size() > kMaxFileBytes) return failed(SaveFailure::Folder, Why::TooLarge, path, target);
    struct stat st {};
    const bool exists = ::lstat(target.c_str(), &st) == 0;
    // A link still there is one no save may follow: nothing is written in its place. A save
    // writes no file yet, or one the user may write.
    const bool replaceable = exists ? S_ISREG(st.st_mode) : errno == ENOENT;
    const bool writable = replaceable && (!exists || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0) &&
                          (which != Replace::OwnOnly || !exists || st.st_uid == ::geteuid());
    if (!(which == Replace::EvenReadOnly ? replaceable : writable))
        return replaceable ? failed(SaveFailure::Folder, Why::FileProtected, path, target)
                           : failedAt(path, target, exists ? &st : nullptr);
    const Owner owner{st.st_uid, st.st_gid, !mode};
    if (!mode && exists) mode = st.st_mode & 07777;

    Refusal refused = Refusal::None;
    bool renamed = false;
    bool saved = renameInto(dir, name, bytes, mode, &refused, &renamed, exists ? &owner : nullptr);
    int error = errno;
    // A folder closed to new files, or one where this file may not be replaced by a new one,
    // may still hold a file the user may write. Only that refusal leads here: on a full
    // disk the temporary file is what failed.
    if (!renamed && exists && refused != Refusal::None) {
        // Where the user's own file cannot keep a group the user is not in, nor be rewritten
        // in place, losing that group is better than losing the save.
        const bool groupOnly = refused == Refusal::NoGroup && st.st_uid == ::geteuid();
        const in_place::Outcome outcome = groupOnly && !writable ? in_place::Outcome::NoCopy
                                                                    : in_place::rewrite(target, bytes, mode);
        error = errno;
        switch (outcome) {
        case in_place::Outcome::Done: return true;
        case in_place::Outcome::InUse: return failed(SaveFailure::InUse, Why::Unknown, path, dir);
        case in_place::Outcome::Failed: return failed(SaveFailure::Folder, whyOf(error), path, dir);
        case in_place::Outcome::NoCopy:
            if (groupOnly) {
                const Owner mine{st.st_uid, st.st_gid, false};
                saved = renameInto(dir, name, bytes, mode, nullptr, &renamed, &mine);
                error = errno;
                break;
            }
            [[fallthrough]];
        case in_place::Outcome::CopyStays:
            return failedFor(SaveFailure::Recovery, path, in_place::recoveryFolder(), error);
        }
    }
    // In place, even if not known durable: what every reader now sees, never to be undone.
    if (renamed && !in_place::replaced(target))
        return failedFor(SaveFailure::Recovery, path, in_place::recoveryFolder(), errno);
    return saved || failed(SaveFailure::Folder, whyOf(error), path, dir);
}

} // namespace platform
