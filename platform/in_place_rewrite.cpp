// Rewriting a file in place without ever losing it.
//
// A save writes a new file beside the old one and renames it over (platform/files.cpp).
// Where the folder takes no new file, or where a new file could not keep the old one's
// group or may not replace it, a file the user may write is rewritten in place instead,
// by these rules:
// 1. Lock. The rewrite holds an exclusive flock on the file from before its copy is made
//    until the copy is gone, or until it gives up with the copy kept for the next start:
//    when the copy could not be removed, when neither the new content nor the old could be
//    written, or a refused reservation of space could not be cut back. The start's restore
//    holds the lock too. A lock is tried for kLockWait (two seconds), never longer,
//    whatever signal mask the program inherited, and not at all on a file whose last wait
//    ran out, until its lock is next had: a rewrite that cannot have it fails and changes
//    nothing; a restore leaves the copy for a later one. Without locks on the file system,
//    both go on without. The signal that bounds a wait is handled only while a wait runs.
// 2. Copy. Before a byte changes, the old content is kept in the recovery folder as
//    "unfinished-H.ini", H a hash of the file's resolved path: a mark, that path, the
//    length and checksum of the old content and of the new one, then both contents,
//    written whole and renamed into place. A copy is whole when all agree with what it
//    holds. A new mode is given to the file only once its new content is in.
// 3. Reading. A copy counts only while the file holds a state its own rewrite could have
//    left: a length between the two contents' lengths, and each aligned 512-byte sector
//    wholly the old content's or wholly the new one's (past the shorter of the two, the
//    longer one's byte or a zero, a reservation of space, counts as either), in any
//    order: after a power cut a disk may have written the sectors in any order, but each
//    whole. Anything else was saved since by someone who could not see the copy (another
//    account sharing the file, the user by hand): the file counts. A file with a whole
//    copy that counts reads as the copy's old content at once, without waiting for the
//    lock its rewrite holds. Otherwise the file is read under a shared lock, had as in
//    rule 1, so that no rewrite runs meanwhile. Without it, a read counts when two reads
//    of the file agree and its size and times stayed the same around them; a copy that
//    counts met between them gives its old content; otherwise the read fails. A file that
//    lies in the recovery folder itself is read as it stands: a folder closed to its new
//    file takes no copy either, so it is never rewritten in place.
// 4. Restore. The start looks up the copy of each of the program's own files by the name
//    its resolved path gives, and under the file's lock puts it back onto that file alone
//    when it counts; one that does not is renamed "superseded-H-N.ini". The recovery
//    folder must be the user's own, as judged once when it is given (platform/trust.h): in
//    any other, no entry is read, renamed, written or removed by these rules, and a run as
//    root does not even look. There, only a copy of the user's (or root's), a regular file
//    with one link, is read, and a path read from a copy never decides what is written. A
//    copy that is not whole, an entry at a copy's name that is not a regular file with one
//    link, or a copy of the kinds older releases made, is renamed "damaged-H-N.ini";
//    another account's "other-account-H-N.ini". Copies are set aside only under the file's
//    lock (a file that is gone has no rewrite to wait for), and only while there: a copy
//    gone meanwhile is missing. A copy that cannot be set aside stays, and a rewrite then
//    fails with the recovery folder at fault.
// 5. End. A copy goes when its rewrite finishes or is undone, once it is put back, and
//    once a save by rename has put its file in place: no start puts back content older
//    than what the file holds. Where the recovery folder is not one's own, or the user cannot
//    look into it, no copy of the user's can be, whatever entry stands at a copy's name. Its
//    removal commits a rewrite: a rewrite whose copy cannot be removed writes the old content
//    back before it says that the save failed, so that the file, its reads and the next start
//    all show the old content; only while the file holds what the rewrite wrote, though:
//    another program's write meanwhile (without the lock) stays, and makes the copy stale.
#include "platform/in_place_rewrite.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <csignal>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
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

OwnFolder& recovery() {
    static OwnFolder folder;
    return folder;
}

// Interrupts the calling thread's blocking call once `end` is reached (then every
// millisecond, should that first signal land just before the call), so that a wait in
// flock, which has no time limit of its own, ends in time. A waiter blocked in flock takes
// the lock the moment it is released; one that only looked now and then could wait its
// whole time behind another copy that saves again and again. The signal is unblocked for
// the wait, whatever mask the program inherited, and is one that debuggers let pass. Its
// handler, which no call may restart, is installed only while some wait runs: a stray
// signal at any other time cuts no other blocking call of the program short.
class WaitAlarm {
public:
    explicit WaitAlarm(std::chrono::steady_clock::time_point end) {
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, kSignal);
        if (!handle(true)) return;
        if (::pthread_sigmask(SIG_UNBLOCK, &only, &mask_) != 0) {
            handle(false);
            return;
        }
        sigevent to{};
        to.sigev_notify = SIGEV_THREAD_ID;
        to.sigev_signo = kSignal;
        to._sigev_un._tid = ::gettid();
        if (::timer_create(CLOCK_MONOTONIC, &to, &timer_) == 0) {
            const auto left = std::max(std::chrono::nanoseconds(1), end - std::chrono::steady_clock::now()).count();
            const itimerspec at{{0, 1'000'000}, {static_cast<time_t>(left / 1'000'000'000), left % 1'000'000'000}};
            ok_ = ::timer_settime(timer_, 0, &at, nullptr) == 0;
            if (!ok_) ::timer_delete(timer_);
        }
        if (!ok_) {
            ::pthread_sigmask(SIG_SETMASK, &mask_, nullptr);
            handle(false);
        }
    }
    ~WaitAlarm() {
        if (!ok_) return;
        ::timer_delete(timer_);
        ::pthread_sigmask(SIG_SETMASK, &mask_, nullptr);
        handle(false);
    }
    WaitAlarm(const WaitAlarm&) = delete;
    WaitAlarm& operator=(const WaitAlarm&) = delete;
    bool ok() const { return ok_; }

private:
    static constexpr int kSignal = SIGURG; // ignored by default: a stray one harms nothing

    // Installs the handler for the first of the waits under way, puts the earlier one back
    // after the last.
    static bool handle(bool install) {
        static std::mutex lock;
        static int waits = 0;
        static struct sigaction before {};
        const std::lock_guard<std::mutex> held(lock);
        if (!install) {
            if (--waits == 0) ::sigaction(kSignal, &before, nullptr);
            return true;
        }
        if (waits == 0) {
            struct sigaction tick {};
            tick.sa_handler = [](int) {};
            sigemptyset(&tick.sa_mask);
            if (::sigaction(kSignal, &tick, &before) != 0) return false; // no SA_RESTART: flock returns
        }
        ++waits;
        return true;
    }

    timer_t timer_{};
    sigset_t mask_{};
    bool ok_ = false;
};

enum class Lock { Held, Unsupported, Busy };

Lock lockWithin(int fd, int how, std::chrono::milliseconds wait) {
    const auto end = std::chrono::steady_clock::now() + wait;
    std::optional<WaitAlarm> alarm;
    for (;;) {
        if (lockCall(fd, how | (alarm && alarm->ok() ? 0 : LOCK_NB)) == 0) return Lock::Held;
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return Lock::Unsupported;
        if (errno != EWOULDBLOCK && errno != EINTR) return Lock::Busy;
        if (std::chrono::steady_clock::now() >= end) return Lock::Busy;
        if (!alarm) alarm.emplace(end);
        if (!alarm->ok()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Files whose lock stayed busy for a whole wait: until it is next had, waiting again would
// only hold every read and save of them (the start reads some several times). Waits may
// run on two threads at once.
class OverdueLocks {
public:
    bool has(std::pair<dev_t, ino_t> file) {
        const std::lock_guard<std::mutex> held(lock_);
        return files_.count(file) != 0;
    }
    bool empty() {
        const std::lock_guard<std::mutex> held(lock_);
        return files_.empty();
    }
    void mark(std::pair<dev_t, ino_t> file, bool overdue) {
        const std::lock_guard<std::mutex> held(lock_);
        overdue ? (void)files_.insert(file) : (void)files_.erase(file);
    }

private:
    std::mutex lock_;
    std::set<std::pair<dev_t, ino_t>> files_;
} overdueLocks;

// The lock `how` on the file open on `fd`, waited for within kLockWait unless an earlier
// wait for that file ran out.
Lock lockFile(int fd, int how) {
    Lock lock = lockWithin(fd, how, std::chrono::milliseconds(0));
    if (lock == Lock::Unsupported || (lock == Lock::Held && overdueLocks.empty())) return lock;
    struct stat st {};
    if (::fstat(fd, &st) != 0) return lock;
    const std::pair<dev_t, ino_t> key{st.st_dev, st.st_ino};
    if (lock == Lock::Busy && !overdueLocks.has(key)) lock = lockWithin(fd, how, kLockWait);
    overdueLocks.mark(key, lock == Lock::Busy);
    return lock;
}

constexpr std::string_view kCopyPrefix = "unfinished-";
constexpr std::string_view kCopyMark = "zentrafo-copy-2";
// The old content and the new one, after a header: the mark, the target's path, and each
// content's length and checksum.
constexpr size_t kMaxCopyBytes = 2 * kMaxFileBytes + PATH_MAX + 128;

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

// `target`, a path whose links are followed, with its folder made absolute, so that every way
// of naming a file finds its one copy.
std::string absolutePath(const std::string& target) {
    char* folder = ::realpath(folderOf(target).c_str(), nullptr);
    if (!folder) return target;
    std::string resolved(folder);
    std::free(folder);
    return (resolved == "/" ? resolved : resolved + "/") + nameOf(target);
}

std::string resolvedPath(const std::string& path) { return absolutePath(followLinks(path)); }

std::string copyName(const std::string& resolved) {
    return std::string(kCopyPrefix) + hex(fnv1a(resolved)) + ".ini";
}

// "" without a recovery folder of one's own: copies are kept, and count, nowhere else.
std::string copyPathOf(const std::string& resolved) {
    return recovery().own() ? recovery().at(copyName(resolved)) : "";
}

// A recovery copy: a NUL byte, the mark, then the target's path, the old content's length
// and checksum and the new content's, each after a NUL byte, then a NUL byte, the old
// content and the new.
std::string copyOf(const std::string& target, std::string_view old, std::string_view next) {
    std::string out(1, '\0');
    for (const std::string& field : {std::string(kCopyMark), target, std::to_string(old.size()), hex(fnv1a(old)),
                                     std::to_string(next.size()), hex(fnv1a(next))})
        out.append(field).push_back('\0');
    return out.append(old).append(next);
}

struct Kept {
    enum State { Missing, Untouchable, Damaged, Foreign, Whole } state = Missing;
    std::string content, incoming; // the old content, and the new one its rewrite was writing
};

// What the copy at `copy` holds for `target` (none at "", where no folder of one's own keeps
// copies). Untouchable: unreadable. Foreign: another account's entry.
Kept readCopy(const std::string& copy, const std::string& target) {
    struct stat st {};
    if (copy.empty()) return {};
    if (::lstat(copy.c_str(), &st) != 0) return {errno == ENOENT ? Kept::Missing : Kept::Untouchable, {}, {}};
    if (!usersOrRoots(st.st_uid)) return {Kept::Foreign, {}, {}};
    // A second link could be another account's, made while the folder lay open.
    if (!S_ISREG(st.st_mode) || st.st_nlink != 1) return {Kept::Damaged, {}, {}};
    Fd in(openExisting(copy, O_RDONLY | O_NOFOLLOW));
    if (!in.ok()) return {errno == ENOENT ? Kept::Missing : errno == ELOOP ? Kept::Damaged : Kept::Untouchable, {}, {}};
    if (::fstat(in.get(), &st) != 0 || !usersOrRoots(st.st_uid) || st.st_nlink != 1) return {Kept::Damaged, {}, {}};
    const std::optional<std::string> bytes = readFd(in.get(), kMaxCopyBytes);
    std::string_view rest = bytes ? std::string_view(*bytes) : std::string_view();
    auto field = [&rest]() -> std::optional<std::string_view> {
        const size_t nul = rest.find('\0');
        if (nul == std::string_view::npos) return std::nullopt;
        const std::string_view f = rest.substr(0, nul);
        rest.remove_prefix(nul + 1);
        return f;
    };
    const auto start = field(), mark = field(), path = field(), oldLength = field(), oldSum = field(),
               newLength = field(), newSum = field();
    size_t split = 0;
    if (!newSum || !start->empty() || *mark != kCopyMark || *path != target ||
        std::from_chars(oldLength->data(), oldLength->data() + oldLength->size(), split).ec != std::errc() ||
        split > rest.size())
        return {Kept::Damaged, {}, {}};
    const std::string_view old = rest.substr(0, split), next = rest.substr(split);
    if (*oldLength != std::to_string(old.size()) || *oldSum != hex(fnv1a(old)) ||
        *newLength != std::to_string(next.size()) || *newSum != hex(fnv1a(next)))
        return {Kept::Damaged, {}, {}};
    return {Kept::Whole, std::string(old), std::string(next)};
}

// Whether the file's bytes `now` are a state that the rewrite which kept `k` could have
// left (rule 3): each aligned sector wholly the old content's or wholly the new one's. Past
// the shorter of the two, the longer one's byte (not yet cut off, or already written) or a
// zero (a reservation of space) counts as either.
bool couldHaveLeft(std::string_view now, const Kept& k) {
    constexpr size_t kSector = 512; // what a disk writes whole
    const std::string_view longer = k.content.size() < k.incoming.size() ? k.incoming : k.content;
    const size_t shorter = std::min(k.content.size(), k.incoming.size());
    if (now.size() < shorter || now.size() > longer.size()) return false;
    auto wholly = [&](std::string_view from, size_t at, size_t end) {
        for (size_t i = at; i < end; ++i)
            if (!(i < from.size() && now[i] == from[i]) && !(i >= shorter && (now[i] == '\0' || now[i] == longer[i])))
                return false;
        return true;
    };
    for (size_t at = 0; at < now.size(); at += kSector) {
        const size_t end = std::min(now.size(), at + kSector);
        if (!wholly(k.content, at, end) && !wholly(k.incoming, at, end)) return false;
    }
    return true;
}

// True once no copy is left at `copy`: its removal is what commits a rewrite.
bool dropCopy(const std::string& copy) {
    // Every save by rename comes here: mostly there is no copy, and nothing more to look at.
    // Where the user cannot look, no copy of the user's can be.
    struct stat st {};
    if (copy.empty() || (::lstat(copy.c_str(), &st) != 0 && (errno == ENOENT || errno == EACCES || errno == ENOTDIR)))
        return true;
    if (::unlink(copy.c_str()) != 0) return errno == ENOENT;
    return syncFolder(folderOf(copy));
}

// A copy that is neither missing nor to be put back: set aside where that is the user's to
// do. False when it stays.
bool settle(const Kept& kept, const std::string& copy) {
    const char* kind = kept.state == Kept::Damaged   ? "damaged"
                       : kept.state == Kept::Foreign ? "other-account"
                       : kept.state == Kept::Whole   ? "superseded"
                                                     : nullptr;
    return !kind || setAside(copy, kind, nameOf(copy).substr(kCopyPrefix.size(), 16));
}

// Room for `size` bytes in the file, taken before any byte changes, so that a full disk
// fails here. On failure the file is cut back to its old size, which *intact tells.
bool reserve(int fd, size_t size, off_t oldSize, bool* intact = nullptr) {
    const int error = size == 0 ? 0 : ::posix_fallocate(fd, 0, static_cast<off_t>(size));
    if (error == 0) return true;
    struct stat st {};
    const bool sameSize = ::fstat(fd, &st) == 0 && (st.st_size == oldSize || ::ftruncate(fd, oldSize) == 0);
    if (intact) *intact = sameSize;
    return errno = error, false;
}

bool replaceContent(int fd, std::string_view bytes) {
    return writeAllAt(fd, bytes, 0) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// With `target` locked on `fd`, so that no rewrite runs: puts back what its copy keeps,
// or sets aside a copy that is not to be put back. Done when no copy stays; otherwise the
// copy could not be read or put back (Failed), or not set aside or removed (NoCopy).
in_place::Outcome restoreLocked(const std::string& copy, int fd, const std::string& target) {
    using in_place::Outcome;
    const Kept kept = readCopy(copy, target);
    if (kept.state == Kept::Missing) return Outcome::Done;
    if (kept.state == Kept::Untouchable) return Outcome::NoCopy;
    const std::optional<std::string> now = kept.state == Kept::Whole ? readFd(fd, kMaxFileBytes) : std::nullopt;
    if (kept.state == Kept::Whole && !now) return Outcome::Failed;
    if (kept.state != Kept::Whole || !couldHaveLeft(*now, kept))
        return settle(kept, copy) ? Outcome::Done : Outcome::NoCopy;
    if (!reserve(fd, kept.content.size(), static_cast<off_t>(now->size())) || !replaceContent(fd, kept.content))
        return Outcome::Failed;
    return dropCopy(copy) ? Outcome::Done : Outcome::NoCopy;
}

void restoreAtStart(const std::string& target, const std::string& copy) {
    struct stat st {};
    if (copy.empty() || ::lstat(copy.c_str(), &st) != 0) return;
    Fd fd(openExisting(target, O_RDWR | O_NOFOLLOW));
    // A file the user may only read is locked all the same; its copy cannot be put back.
    if (!fd.ok() && errno == EACCES) fd = Fd(openExisting(target, O_RDONLY | O_NOFOLLOW));
    if (fd.ok()) {
        if (lockFile(fd.get(), LOCK_EX) != Lock::Busy) restoreLocked(copy, fd.get(), target);
        return;
    }
    // A file removed since has nothing to put back, and no rewrite of it to wait for.
    if (errno != ENOENT || ::stat(folderOf(target).c_str(), &st) != 0) return;
    const Kept kept = readCopy(copy, target);
    kept.state == Kept::Whole ? (void)dropCopy(copy) : (void)settle(kept, copy);
}

// File status that a write to the file changes: a read spanned by two equal ones met none.
bool sameState(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// What the file reads as while a rewrite is under way or cut short: its copy's old content,
// where the file's `bytes` are a state that rewrite could have left.
std::optional<std::string> keptFor(const std::optional<std::string>& bytes, const std::string& copy,
                                   const std::string& target) {
    Kept kept = readCopy(copy, target);
    if (kept.state == Kept::Whole && bytes && couldHaveLeft(*bytes, kept)) return std::move(kept.content);
    return std::nullopt;
}

// A read without the lock: two reads that agree, the file's state unchanged around them and
// no copy that counts between them, tried a few times.
std::optional<std::string> checkedRead(int fd, const std::string& copy, const std::string& target) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        struct stat before {}, after {};
        if (::fstat(fd, &before) != 0) return std::nullopt;
        const auto first = readFd(fd, kMaxFileBytes);
        if (auto old = keptFor(first, copy, target)) return old;
        const auto second = readFd(fd, kMaxFileBytes);
        if (::fstat(fd, &after) != 0) return std::nullopt;
        if (sameState(before, after) && first == second) return first;
    }
    return std::nullopt;
}

} // namespace

void setRecoveryFolder(const OwnFolder& folder) {
    // Judged now, at the start: a folder of the user's left open is closed first, so that
    // nothing can be planted once it is looked at; what another account planted while it lay
    // open is set aside below, the user's own kept.
    folder.fault();
    recovery() = folder;
}

void recoverUnfinishedSaves(const std::vector<std::string>& files) {
    writesReportSizeLimits();
    const OwnFolder& settings = recovery();
    if (!settings.mayLook()) return;
    std::set<std::string> folders;
    const std::string held = settings.at("");
    for (const std::string& given : files) {
        // The settings folder's own files are reached through the folder the start judged.
        const bool inSettings = folderOf(given) == settings.path();
        const std::string file = inSettings ? settings.at(nameOf(given)) : given;
        if (file.empty()) continue;
        if (inSettings && settings.own()) setAsideUntrusted(file);
        const std::string target = resolvedPath(file);
        restoreAtStart(target, copyPathOf(target));
        folders.insert({folderOf(file), folderOf(followLinks(file, inSettings))});
    }
    // Each folder once: the program's files share one, the settings lie in the recovery folder.
    if (settings.own()) folders.insert(held);
    for (const std::string& folder : folders)
        if (!folder.empty() && (settings.own() || folder != held)) removeDeadTemporaries(folder);
}

namespace in_place {

Outcome rewrite(const std::string& path, std::string_view bytes, std::optional<unsigned> mode) {
    if (!recovery().own()) return errno = EACCES, Outcome::NoCopy;
    const std::string target = resolvedPath(path), copy = copyPathOf(target);
    Fd fd(openExisting(target, O_RDWR | O_NOFOLLOW));
    if (!fd.ok()) return Outcome::Failed;
    // Held until the copy is gone; a copy found once it is held belongs to a rewrite
    // that did not finish: that content first.
    if (lockFile(fd.get(), LOCK_EX) == Lock::Busy) return Outcome::InUse;
    if (const Outcome restored = restoreLocked(copy, fd.get(), target); restored != Outcome::Done) return restored;
    // Only the owner may set a mode: a shared file left open to the user's writes keeps its.
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return Outcome::Failed;
    const bool newMode = mode && (st.st_mode & 07777) != *mode;
    const auto old = readFd(fd.get(), kMaxFileBytes);
    if (!old) return Outcome::Failed;
    bool kept = false;
    if (!renameInto(folderOf(copy), nameOf(copy), copyOf(target, *old, bytes), 0600, nullptr, &kept)) {
        const int error = errno;
        if (kept) dropCopy(copy); // the file is untouched: the copy goes with the rewrite
        return errno = error, Outcome::NoCopy;
    }
    if (onRecoveryCopyKept) onRecoveryCopyKept();

    bool intact = false;
    if (!reserve(fd.get(), bytes.size(), static_cast<off_t>(old->size()), &intact)) {
        const int error = errno;
        if (intact) dropCopy(copy);
        return errno = error, Outcome::Failed;
    }
    const bool written = replaceContent(fd.get(), bytes) && (!newMode || ::fchmod(fd.get(), *mode) == 0);
    if (written && dropCopy(copy)) return Outcome::Done;
    // Not done, nor committed: the old content back now rather than at the next start, so that
    // the file, its reads, the message and the next start agree; failing that, the copy stays
    // for the next start, and reads show it meanwhile. Only over what this rewrite wrote: what
    // another program wrote meanwhile, without the lock, stays, and makes the copy stale.
    const int error = errno;
    const auto now = readFd(fd.get(), kMaxFileBytes);
    if (now && (written ? *now == bytes : couldHaveLeft(*now, {Kept::Whole, *old, std::string(bytes)})) &&
        replaceContent(fd.get(), *old) && (!newMode || ::fchmod(fd.get(), st.st_mode & 07777) == 0) && !written)
        dropCopy(copy);
    return errno = error, written ? Outcome::CopyStays : Outcome::Failed;
}

const OwnFolder& recoveryFolder() { return recovery(); }

std::optional<std::string> read(int fd, const std::string& path) {
    // A file of the recovery folder's own is never rewritten in place: no copy of it could be
    // made there either.
    if (recovery().path().empty() || folderOf(path) == recovery().at("")) return readFd(fd, kMaxFileBytes);
    // Copies count only in a folder of one's own: elsewhere nothing of them is looked up.
    const std::string target = recovery().own() ? absolutePath(path) : path, copy = copyPathOf(target);
    // A copy that counts answers at once: its rewrite may hold the lock a while yet.
    struct stat st {};
    if (::lstat(copy.c_str(), &st) == 0)
        if (auto old = keptFor(readFd(fd, kMaxFileBytes), copy, target)) return old;
    // Held, the lock keeps any rewrite from starting until the file is read.
    if (lockFile(fd, LOCK_SH) != Lock::Held) return checkedRead(fd, copy, target);
    auto bytes = readFd(fd, kMaxFileBytes);
    auto old = keptFor(bytes, copy, target);
    lockCall(fd, LOCK_UN);
    return old ? std::move(old) : std::move(bytes);
}

bool replaced(const std::string& target) { return !recovery().own() || dropCopy(copyPathOf(resolvedPath(target))); }

std::string copyNameOf(const std::string& path) { return copyName(resolvedPath(path)); }

} // namespace in_place

} // namespace platform
