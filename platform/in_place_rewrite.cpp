// Rewriting a file in place without ever losing it.
//
// A save writes a new file beside the old one and renames it over (platform/files.cpp).
// Where the folder takes no new file, a file the user may write is rewritten in place
// instead, by these rules:
// 1. Lock. The rewrite holds an exclusive flock on the file from before its copy is made
//    until the copy is gone; the start's restore holds it too. A lock is tried for
//    kLockWait (two seconds), never longer: a rewrite that cannot have it fails and
//    changes nothing; a restore leaves the copy for a later one. Where the file system
//    has no locks, both go on without.
// 2. Copy. Before a byte changes, the old content is kept in the recovery folder as
//    "unfinished-H.ini", H a hash of the file's resolved path: a mark, that path, the
//    length and a checksum of the content, then the content, written whole and renamed
//    into place. A copy is whole when all four agree with what it holds.
// 3. Reading. A file with a whole copy reads as the copy: the file may be cut, the copy
//    never is. A file without one is whole, so its read takes the lock only when it is
//    free and never waits for it; a copy that appears meanwhile is read instead.
// 4. Restore. The start looks up the copy of each of the program's own files by the name
//    its resolved path gives, and puts it back onto that file alone, under the lock.
//    Only a copy the user owns, in a folder the user owns and no other account may
//    write, is ever read, and a path read from a copy never decides what is written.
//    A copy that is not whole, or of the unchecked kind that older releases made, is
//    renamed "damaged-H-N.ini" and never put back.
// 5. End. A copy goes when its rewrite finishes or is undone, once it is put back, and
//    when a save by rename finishes: no start puts back content older than a save.
#include "platform/in_place_rewrite.h"

#include <cerrno>
#include <csignal>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/files.h"

namespace platform {

using namespace io;

namespace {

std::string& recoveryFolderPath() {
    static std::string folder;
    return folder;
}

// Interrupts the calling thread's blocking calls every 50 ms while it lives, so that a
// wait in flock, which has no time limit of its own, can look at the clock. A waiter
// blocked in flock takes the lock the moment it is released; one that only looked now
// and then could wait its whole time behind another copy that saves again and again.
class WaitTicks {
public:
    WaitTicks() {
        static const bool handled = [] {
            struct sigaction tick {};
            tick.sa_handler = [](int) {};
            sigemptyset(&tick.sa_mask);
            return ::sigaction(SIGRTMIN, &tick, nullptr) == 0; // no SA_RESTART: flock returns
        }();
        sigevent to{};
        to.sigev_notify = SIGEV_THREAD_ID;
        to.sigev_signo = SIGRTMIN;
        to._sigev_un._tid = ::gettid();
        if (!handled || ::timer_create(CLOCK_MONOTONIC, &to, &timer_) != 0) return;
        const itimerspec every{{0, 50'000'000}, {0, 50'000'000}};
        ok_ = ::timer_settime(timer_, 0, &every, nullptr) == 0;
        if (!ok_) ::timer_delete(timer_);
    }
    ~WaitTicks() {
        if (ok_) ::timer_delete(timer_);
    }
    WaitTicks(const WaitTicks&) = delete;
    WaitTicks& operator=(const WaitTicks&) = delete;
    bool ok() const { return ok_; }

private:
    timer_t timer_{};
    bool ok_ = false;
};

enum class Lock { Held, Unsupported, Busy };

Lock lockWithin(int fd, int how, std::chrono::milliseconds wait) {
    const auto end = std::chrono::steady_clock::now() + wait;
    std::optional<WaitTicks> ticks;
    for (;;) {
        if (lockCall(fd, how | (ticks && ticks->ok() ? 0 : LOCK_NB)) == 0) return Lock::Held;
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return Lock::Unsupported;
        if (errno != EWOULDBLOCK && errno != EINTR) return Lock::Busy;
        if (std::chrono::steady_clock::now() >= end) return Lock::Busy;
        if (!ticks) ticks.emplace();
        if (!ticks->ok()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
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

// The file that `path` names, links followed and its folder made absolute, so that
// every way of naming a file finds its one copy.
std::string resolvedPath(const std::string& path) {
    const std::string target = followLinks(path);
    char* folder = ::realpath(folderOf(target).c_str(), nullptr);
    if (!folder) return target;
    std::string resolved(folder);
    std::free(folder);
    return (resolved == "/" ? resolved : resolved + "/") + nameOf(target);
}

// "" without a recovery folder.
std::string copyPathOf(const std::string& target) {
    const std::string& folder = recoveryFolderPath();
    return folder.empty() ? folder : folder + "/" + std::string(kCopyPrefix) + hex(fnv1a(target)) + ".ini";
}

// A recovery copy: a NUL byte, the mark, then the target's path, the old content's length
// and its checksum, each after a NUL byte, then a NUL byte and the old content.
std::string copyOf(const std::string& target, std::string_view content) {
    std::string out(1, '\0');
    for (const std::string& field : {std::string(kCopyMark), target, std::to_string(content.size()), hex(fnv1a(content))})
        out.append(field).push_back('\0');
    return out.append(content);
}

bool trustedFolder(const std::string& dir) {
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && !(st.st_mode & 022);
}

struct Kept {
    enum State { Missing, Untouchable, Damaged, Whole } state = Missing;
    std::string content;
};

// What the copy at `copy` holds for `target`. Untouchable: unreadable, or where another
// account could have put it.
Kept readCopy(const std::string& copy, const std::string& target) {
    Fd in(copy.empty() ? -1 : openExisting(copy, O_RDONLY | O_NOFOLLOW));
    if (!in.ok()) {
        if (copy.empty() || errno == ENOENT) return {};
        return {errno == ELOOP ? Kept::Damaged : Kept::Untouchable, {}};
    }
    struct stat st {};
    if (!trustedFolder(folderOf(copy))) return {Kept::Untouchable, {}};
    if (::fstat(in.get(), &st) != 0 || st.st_uid != ::geteuid()) return {Kept::Damaged, {}};
    const std::optional<std::string> bytes = readFd(in.get(), kMaxCopyBytes);
    std::string_view rest = bytes ? std::string_view(*bytes) : std::string_view();
    auto field = [&rest]() -> std::optional<std::string_view> {
        const size_t nul = rest.find('\0');
        if (nul == std::string_view::npos) return std::nullopt;
        const std::string_view f = rest.substr(0, nul);
        rest.remove_prefix(nul + 1);
        return f;
    };
    const auto start = field(), mark = field(), path = field(), length = field(), sum = field();
    if (!sum || !start->empty() || *mark != kCopyMark || *path != target || *length != std::to_string(rest.size()) ||
        *sum != hex(fnv1a(rest)))
        return {Kept::Damaged, {}};
    return {Kept::Whole, std::string(rest)};
}

void dropCopy(const std::string& copy) {
    // Once gone for good, the next start cannot put an older content back.
    if (!copy.empty() && ::unlink(copy.c_str()) == 0) syncFolder(folderOf(copy));
}

// Kept under a name no save or start looks at, for whoever wants to see what it holds.
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

// With `target` locked on `fd`, so that no rewrite runs: puts back what its copy keeps,
// or sets a damaged copy aside. False when a copy stays: it could not be read or put back.
bool restoreLocked(const std::string& copy, int fd, const std::string& target) {
    const Kept kept = readCopy(copy, target);
    if (kept.state == Kept::Missing) return true;
    if (kept.state == Kept::Untouchable) return false;
    if (kept.state == Kept::Damaged) {
        setAside(copy);
        return true;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (!reserve(fd, kept.content.size(), st.st_size) || !replaceContent(fd, kept.content)) return false;
    dropCopy(copy);
    return true;
}

void restoreAtStart(const std::string& file) {
    const std::string target = resolvedPath(file), copy = copyPathOf(target);
    const Kept kept = readCopy(copy, target);
    if (kept.state == Kept::Damaged) setAside(copy);
    if (kept.state != Kept::Whole) return;
    Fd fd(openExisting(target, O_RDWR | O_NOFOLLOW));
    if (!fd.ok()) {
        // A file removed since has nothing to put back.
        struct stat st {};
        if (errno == ENOENT && ::stat(folderOf(target).c_str(), &st) == 0) dropCopy(copy);
        return;
    }
    if (lockWithin(fd.get(), LOCK_EX, kLockWait) != Lock::Busy) restoreLocked(copy, fd.get(), target);
}

} // namespace

void setRecoveryFolder(std::string folder) { recoveryFolderPath() = std::move(folder); }

void recoverUnfinishedSaves(const std::vector<std::string>& files) {
    writesReportSizeLimits();
    std::set<std::string> folders{recoveryFolderPath()};
    for (const std::string& file : files) {
        restoreAtStart(file);
        folders.insert({folderOf(file), folderOf(followLinks(file))});
    }
    // Each folder once: the program's files share one, the settings lie in the recovery folder.
    for (const std::string& folder : folders)
        if (!folder.empty()) removeDeadTemporaries(folder);
}

namespace in_place {

bool rewrite(const std::string& path, std::string_view bytes, std::optional<unsigned> mode) {
    const std::string& folder = recoveryFolderPath();
    if (folder.empty() || !makePrivateFolders(folder) || !trustedFolder(folder)) return false;
    const std::string target = resolvedPath(path), copy = copyPathOf(target);
    Fd fd(openExisting(target, O_RDWR | O_NOFOLLOW));
    // Held until the copy is gone; a copy found once it is held belongs to a rewrite
    // that did not finish: that content first.
    if (!fd.ok() || lockWithin(fd.get(), LOCK_EX, kLockWait) == Lock::Busy || !restoreLocked(copy, fd.get(), target))
        return false;
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

std::optional<std::string> read(int fd, const std::string& path) {
    if (recoveryFolderPath().empty()) return readFd(fd, kMaxFileBytes);
    // Held, the lock keeps any rewrite from starting until the file is read. Otherwise
    // a rewrite may be under way: it kept its copy before changing a byte, so a copy seen
    // after the read tells that the read may have met the change.
    const bool locked = lockWithin(fd, LOCK_SH, std::chrono::milliseconds(0)) == Lock::Held;
    const std::string target = resolvedPath(path), copy = copyPathOf(target);
    Kept kept = readCopy(copy, target);
    if (kept.state == Kept::Whole) return std::move(kept.content);
    auto bytes = readFd(fd, kMaxFileBytes);
    if (!locked && (kept = readCopy(copy, target)).state == Kept::Whole) return std::move(kept.content);
    return bytes;
}

void replaced(const std::string& target) { dropCopy(copyPathOf(resolvedPath(target))); }

} // namespace in_place

} // namespace platform
