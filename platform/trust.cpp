// Whom the program trusts.
//
// 1. Entries. The user's own entries are trusted, and root's (left by a run under sudo that
//    kept the user's HOME). In the settings folder no other account's entry is ever read,
//    written or written through, nor, where the folder is not the user's own, a file with a
//    second link. At the names of the program's own files there (the settings) and of their
//    recovery copies, the start sets another account's entry aside, and root's that the
//    user may not read; whatever else another account put there is left alone, and unread.
// 2. Closed folders. Others may not write a closed folder, and its group only where that is
//    the user's private group (the user's primary group, with no other member and no other
//    account's primary group), as Debian's ssh allows; where the account database cannot
//    tell, the group is shared.
// 3. A folder of one's own is the user's and closed, reached from / through folders of the
//    user's or root's, each closed or sticky, and links of the user's or root's: no one else
//    can put an entry in it, or move it and put another in its place. A sticky folder (/tmp)
//    lets others add entries, never move or replace the user's. For a run as root, that is
//    root's alone. The settings folder is judged once, at the start, by a walk that opens
//    each step without following a link and judges what it opened; a folder still missing
//    is made then, in the folder the walk holds open, and one another account made first is
//    judged as it stands. Nobody else can change the answer afterwards: the settings and the
//    recovery copies share that one judgement, and no later step looks again. What the run
//    reads or writes there goes through the folder the walk opened, never its path again: a
//    folder deleted meanwhile is not used, whoever made another at its name. Where the walk
//    stops above the folder, nothing in it is read. Where a folder is not one's own, the
//    first folder at fault from the top is named, and why.
// 4. Links. On the way to the settings folder, the user's or root's links are followed (a
//    dotfile manager's). Elsewhere, in a folder that is not closed, a link is followed only
//    when the user or the folder's owner made it (the kernel's protected_symlinks rule),
//    judged from the very entry that was read, never from a second look at its name. What is
//    no link is opened without following one, so that a link swapped in meanwhile is refused.
// 5. Making and closing. Folders are made 0700, only by that walk. It closes the settings
//    folder, the user's, left open to others: only what was opened without following a link
//    is changed, once every folder above passed. A run as root whose settings folder is not
//    its own (a home under sudo) keeps its settings for the run only: it reads, writes,
//    makes and removes nothing there, and removes or puts back no leftover anywhere.
// 6. Setting aside and removing. An entry is set aside by renaming it, in its folder, to a
//    free name that no save or start looks at, past the first hundred with numbers no one
//    can foresee. Only the user's own leftovers are removed: a killed download's, and an
//    update's backup, in the program's folder and in the settings folder where it is one's
//    own; a dead save's temporaries in the folders of the program's files and of their
//    links' targets, and in that settings folder.
#include "platform/trust.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <random>
#include <unistd.h>
#include <vector>

#include "platform/file_io.h"

namespace platform {

namespace io {

bool usersOrRoots(uid_t uid) { return uid == ::geteuid() || uid == 0; }

namespace {

// The user's primary group, when no other account has it as its own and its member list
// names no one else. Looked up once per user and group: the account database may be a
// remote one.
bool privateGroup(gid_t gid) {
    static std::mutex lock;
    static std::map<std::pair<uid_t, gid_t>, bool> known;
    const std::lock_guard<std::mutex> held(lock);
    const std::pair<uid_t, gid_t> key{::geteuid(), gid};
    if (const auto it = known.find(key); it != known.end()) return it->second;
    std::vector<char> buffer(1 << 16);
    passwd me {}, other {};
    group g {};
    passwd* found = nullptr;
    group* gfound = nullptr;
    bool mine = ::getpwuid_r(key.first, &me, buffer.data(), buffer.size() / 2, &found) == 0 && found &&
                me.pw_gid == gid &&
                ::getgrgid_r(gid, &g, buffer.data() + buffer.size() / 2, buffer.size() / 2, &gfound) == 0 && gfound;
    for (char** member = mine ? g.gr_mem : nullptr; member && *member; ++member)
        mine = mine && std::strcmp(*member, me.pw_name) == 0;
    if (mine) {
        std::vector<char> scratch(1 << 14);
        int error = 0;
        ::setpwent();
        while (mine && (error = ::getpwent_r(&other, scratch.data(), scratch.size(), &found)) == 0 && found)
            mine = other.pw_gid != gid || other.pw_uid == me.pw_uid;
        ::endpwent();
        // Only the end of the list proves that no one else has the group.
        mine = mine && error == ENOENT;
    }
    return known[key] = mine;
}

// Whether no other account may add, remove or rename an entry in the folder `st` describes.
bool closedToOthers(const struct stat& st) {
    return !(st.st_mode & S_IWOTH) && (!(st.st_mode & S_IWGRP) || privateGroup(st.st_gid));
}

bool closedOrSticky(const struct stat& st) { return closedToOthers(st) || (st.st_mode & S_ISVTX); }


// ".NAME.tmp-PID-N" with NAME an INI file's name, the update's backup or a download's
// file: the process that made it.
pid_t temporaryOwner(std::string_view name) {
    const size_t tag = name.rfind(".tmp-");
    if (name.empty() || name[0] != '.' || tag == std::string_view::npos) return 0;
    const std::string_view base = name.substr(1, tag - 1), rest = name.substr(tag + 5);
    if (!endsWith(base, ".ini") && !endsWith(base, ".BU") && !endsWith(base, ".part")) return 0;
    pid_t pid = 0;
    unsigned long n = 0;
    const auto [dash, bad] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (bad != std::errc() || dash == rest.data() + rest.size() || *dash != '-' || pid <= 0) return 0;
    const auto [end, badN] = std::from_chars(dash + 1, rest.data() + rest.size(), n);
    return badN == std::errc() && end == rest.data() + rest.size() && end != dash + 1 ? pid : 0;
}

// Renames without ever replacing an entry at `to`.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without that flag: the user's own folder, where only the user adds names.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return errno = EEXIST, -1;
    return ::rename(from.c_str(), to.c_str());
}

// The parts of `path` still to walk, pushed so that the first is taken next.
void pushParts(std::vector<std::string>& left, std::string_view path) {
    std::vector<std::string> parts;
    for (size_t at = 0; at < path.size();) {
        const size_t end = std::min(path.find('/', at), path.size());
        if (end > at && path.substr(at, end - at) != ".") parts.emplace_back(path.substr(at, end - at));
        at = end + 1;
    }
    left.insert(left.end(), parts.rbegin(), parts.rend());
}

// The entry `name` of the folder open on `dir`, opened once without following a link: its
// status and, for a link, where it leads. A look at the name, then a second one, could meet
// two entries swapped in between.
Fd openEntry(int dir, const char* name, struct stat& st, std::string& target) {
    Fd entry(::openat(dir, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    target.clear();
    if (!entry.ok() || ::fstat(entry.get(), &st) != 0) return Fd(-1);
    if (!S_ISLNK(st.st_mode)) return entry;
    char to[PATH_MAX];
    const ssize_t n = ::readlinkat(entry.get(), "", to, sizeof to);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof to) return errno = ENAMETOOLONG, Fd(-1);
    target.assign(to, static_cast<size_t>(n));
    return entry;
}

// The walk of rules 3 to 5 from / to `path`; `reached` holds the folder itself where the walk
// got that far.
FolderFault walk(const std::string& path, Fd& reached) {
    // A relative path would be judged from wherever the program was started.
    if (path.empty() || path[0] != '/') return {Why::Unknown, path.empty() ? "." : path};
    const Why otherOwner = ::geteuid() == 0 ? Why::AdminElsewhere : Why::OtherOwner;
    auto join = [](const std::string& dir, const std::string& name) { return (dir == "/" ? dir : dir + "/") + name; };
    std::vector<std::string> left;
    std::string at;
    Fd dir(-1);
    struct stat st {};
    auto fromTop = [&](std::string_view to) {
        pushParts(left, to);
        at = "/";
        dir = Fd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        return dir.ok() && ::fstat(dir.get(), &st) == 0;
    };
    if (!fromTop(path)) return {Why::Unknown, "/"};
    for (int links = 0;;) {
        // `dir`, at `at`, is on the way: every folder above it passed.
        if (left.empty()) {
            reached = std::move(dir);
            if (st.st_uid != ::geteuid()) return {otherOwner, at};
            if (!closedToOthers(st)) {
                // Made so by hand or by another program: what the program keeps there is its own.
                const Fd open(::openat(reached.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
                if (!open.ok() || ::fchmod(open.get(), st.st_mode & 07755) != 0) return {Why::OthersMayWrite, at};
            }
            return {};
        }
        if (!usersOrRoots(st.st_uid)) return {otherOwner, at};
        if (!closedOrSticky(st)) return {Why::OthersMayWrite, at};
        const std::string name = std::move(left.back());
        left.pop_back();
        struct stat entry {};
        std::string to;
        Fd next = openEntry(dir.get(), name.c_str(), entry, to);
        if (!next.ok()) {
            if (errno != ENOENT) return {whyOf(errno), join(at, name)};
            // Made now, where every folder above passed: judged by the folder it would be made
            // in, it could be another account's by the time it is used.
            if ((::mkdirat(dir.get(), name.c_str(), 0700) != 0 && errno != EEXIST) ||
                !(next = openEntry(dir.get(), name.c_str(), entry, to)).ok())
                return {whyOf(errno), at};
        }
        if (S_ISLNK(entry.st_mode)) {
            if (!usersOrRoots(entry.st_uid)) return {otherOwner, join(at, name)};
            if (++links > 40) return {Why::Unknown, join(at, name)};
            if (to[0] != '/') pushParts(left, to);
            else if (!fromTop(to)) return {Why::Unknown, "/"};
            continue;
        }
        // Judged by what was opened: whatever stood at the name a moment ago does not count.
        if (!S_ISDIR(entry.st_mode)) return {whyOf(ENOTDIR), join(at, name)};
        dir = std::move(next);
        st = entry;
        at = name == ".." ? folderOf(at) : join(at, name);
    }
}

} // namespace

std::string followLinks(std::string path, bool settings) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        // A plain entry tells itself in one call: its callers open it without following a link,
        // so that one swapped in meanwhile is refused. A link is judged from the entry read.
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        const Fd dir(::open(folderOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        struct stat link {}, folder {};
        std::string to;
        // Another account's link in a folder others may write may lead to any file of the user's.
        if (!dir.ok() || !openEntry(dir.get(), nameOf(path).c_str(), link, to).ok() || to.empty() ||
            ::fstat(dir.get(), &folder) != 0 || (settings && !usersOrRoots(link.st_uid)) ||
            !(closedToOthers(folder) || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid))
            return path;
        path = to.front() == '/' ? to : folderOf(path) + "/" + to;
    }
    return path;
}

bool mayReadSettings(int fd, const OwnFolder& settings) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && usersOrRoots(st.st_uid) && (st.st_nlink == 1 || settings.own());
}

void setAsideUntrusted(const std::string& path) {
    const std::string name = nameOf(path), stem = name.substr(0, name.rfind('.'));
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || st.st_uid == ::geteuid()) return;
    if (st.st_uid != 0) setAside(path, "other-account", stem);
    else if (::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0) setAside(path, "unreadable", stem);
}

bool setAside(const std::string& entry, const std::string& kind, const std::string& tag, const std::string& ending) {
    const std::string stem = folderOf(entry) + "/" + kind + "-" + tag + "-";
    std::optional<std::random_device> unforeseeable; // only once the usual names are taken
    unsigned long long n = 0;
    for (int tries = 0; tries < 100000; ++tries) {
        if (renameNoReplace(entry, stem + std::to_string(n) + ending) == 0) return syncFolder(folderOf(entry));
        if (errno != EEXIST && errno != ENOTEMPTY) return false;
        if (tries >= 99 && !unforeseeable) unforeseeable.emplace();
        n = tries < 99 ? n + 1 : (static_cast<unsigned long long>((*unforeseeable)()) << 32) ^ (*unforeseeable)();
    }
    return false;
}

void removeDeadTemporaries(const std::string& dir) {
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
    if (!d) return;
    while (const dirent* e = ::readdir(d.get())) {
        const pid_t pid = temporaryOwner(e->d_name);
        struct stat st {};
        if (pid <= 0 || pid == ::getpid() || ::fstatat(::dirfd(d.get()), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        if (::kill(pid, 0) == -1 && errno == ESRCH) ::unlinkat(::dirfd(d.get()), e->d_name, 0);
    }
}

} // namespace io

using namespace io;

struct OwnFolder::Judgement {
    std::string path;
    FolderFault fault;
    std::optional<uid_t> judgedFor;
    Fd held{-1};       // the folder the walk reached
    std::string reach; // the path through `held`
};

OwnFolder::OwnFolder(std::string path) : judged_(std::make_shared<Judgement>()) { judged_->path = std::move(path); }

const std::string& OwnFolder::path() const { return judged_->path; }

const FolderFault& OwnFolder::fault() const {
    Judgement& j = *judged_;
    if (j.judgedFor != ::geteuid()) {
        j.held = Fd(-1);
        j.fault = walk(j.path, j.held);
        j.judgedFor = ::geteuid();
        const std::string proc = "/proc/self/fd/" + std::to_string(j.held.get());
        struct stat held {}, there {};
        // Without /proc mounted, the path is all there is.
        const bool viaProc = j.held.ok() && ::fstat(j.held.get(), &held) == 0 && ::stat(proc.c_str(), &there) == 0 &&
                             held.st_dev == there.st_dev && held.st_ino == there.st_ino;
        j.reach = !j.held.ok() ? "" : viaProc ? proc : j.path;
    }
    return j.fault;
}

std::string OwnFolder::at(const std::string& name) const {
    fault();
    const std::string& reach = judged_->reach;
    return reach.empty() || name.empty() ? reach : reach + "/" + name;
}

std::string shown(const std::string& path) {
    constexpr std::string_view kHeld = "/proc/self/fd/";
    if (path.compare(0, kHeld.size(), kHeld) != 0) return path;
    const size_t end = std::min(path.find('/', kHeld.size()), path.size());
    char to[PATH_MAX];
    const ssize_t n = ::readlink(path.substr(0, end).c_str(), to, sizeof to);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof to) return path;
    std::string folder(to, static_cast<size_t>(n));
    if (endsWith(folder, " (deleted)")) folder.resize(folder.size() - 10);
    return folder + path.substr(end);
}

void removeLeftover(const std::string& path, const OwnFolder& settings) {
    struct stat st {};
    const bool inSettings = folderOf(path) == settings.at("");
    if (!settings.mayLook() || (inSettings && !settings.own()) || ::lstat(path.c_str(), &st) != 0) return;
    if ((S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) && st.st_uid == ::geteuid()) ::unlink(path.c_str());
    else if (S_ISDIR(st.st_mode) && inSettings) setAside(path, "in-the-way", nameOf(path), "");
}

bool isOwnFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

} // namespace platform
