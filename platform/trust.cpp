// Whom the program trusts.
//
// 1. Entries. The user's own entries are trusted, and root's (left by a run under sudo that
//    kept the user's HOME). In the settings folder no other account's entry is ever read,
//    written or written through; the start sets it aside (rule 6), and root's that the
//    user may not read with it.
// 2. Closed folders. A folder is closed when no other account may add, remove or rename an
//    entry in it: others may not write it, and its group may only where that group is the
//    user's private group (the user's primary group, with no other member and no other
//    account's primary group), as Debian's ssh allows.
// 3. A folder of one's own is the user's and closed, and is reached through folders of the
//    user's or root's, each closed or sticky, with no link of another account's on the way:
//    no one else can put an entry in it, or move it and put another in its place. A folder
//    not made yet is judged by the folder it would be made in. Where a folder is not one's
//    own, the first folder at fault from the top is named, and why.
// 4. Links. In a folder that is not closed, a link is followed only when the user or the
//    folder's owner made it (the kernel's protected_symlinks rule, applied where the
//    program follows links itself).
// 5. Making and closing. Folders are made 0700, and only in a folder of the user's or
//    root's: a run as root makes nothing in another account's folder (its settings are then
//    not kept there). No owner or mode is ever changed through a path: only what was opened
//    without following a link is closed, and only where the folder that holds it is the
//    user's or root's and closed or sticky, so that nobody could have swapped it. A run as
//    root therefore hands nothing to the account whose HOME it uses.
// 6. Setting aside and removing. An entry is set aside by renaming it, in its folder, to a
//    name no save or start looks at and that is free (a name taken is never replaced), past
//    the first hundred with numbers no one can foresee. A killed download's leftover is
//    removed only when it is the user's, and only in a folder of the user's own or the
//    program's; a dead save's temporary, only when it is the user's or root's.
#include "platform/trust.h"

#include <cerrno>
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
#include "platform/in_place_rewrite.h"

namespace platform {

namespace io {

bool usersOrRoots(uid_t uid) { return uid == ::geteuid() || uid == 0; }

namespace {

// The user's primary group, when no other account has it as its own and its member list
// names no one else. Looked up once per group: the account database may be a remote one.
bool privateGroup(gid_t gid) {
    static std::mutex lock;
    static std::map<gid_t, bool> known;
    const std::lock_guard<std::mutex> held(lock);
    if (const auto it = known.find(gid); it != known.end()) return it->second;
    std::vector<char> buffer(1 << 16);
    passwd me {}, other {};
    group g {};
    passwd* found = nullptr;
    group* gfound = nullptr;
    bool mine = ::getpwuid_r(::geteuid(), &me, buffer.data(), buffer.size() / 2, &found) == 0 && found &&
                me.pw_gid == gid &&
                ::getgrgid_r(gid, &g, buffer.data() + buffer.size() / 2, buffer.size() / 2, &gfound) == 0 && gfound;
    for (char** member = mine ? g.gr_mem : nullptr; member && *member; ++member)
        mine = mine && std::strcmp(*member, me.pw_name) == 0;
    if (mine) {
        std::vector<char> scratch(1 << 14);
        ::setpwent();
        while (mine && ::getpwent_r(&other, scratch.data(), scratch.size(), &found) == 0 && found)
            mine = other.pw_gid != gid || other.pw_uid == me.pw_uid;
        ::endpwent();
    }
    return known[gid] = mine;
}

bool closedOrSticky(const struct stat& st) { return closedToOthers(st) || (st.st_mode & S_ISVTX); }

// Another account's link in a folder others may write may point at any file of the user's.
bool mayFollow(const std::string& link) {
    struct stat at {}, dir {};
    if (::lstat(link.c_str(), &at) != 0 || ::stat(folderOf(link).c_str(), &dir) != 0) return false;
    return closedToOthers(dir) || at.st_uid == ::geteuid() || at.st_uid == dir.st_uid;
}

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

// Renames without ever replacing an entry at `to`.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without that flag: the user's own folder, where only the user adds names.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return errno = EEXIST, -1;
    return ::rename(from.c_str(), to.c_str());
}

} // namespace

bool closedToOthers(const struct stat& st) {
    return !(st.st_mode & S_IWOTH) && (!(st.st_mode & S_IWGRP) || privateGroup(st.st_gid));
}

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

Entry settingsEntry(const std::string& path) {
    struct stat st {};
    const std::string& settings = in_place::recoveryFolder();
    if (settings.empty() || folderOf(path) != settings || ::lstat(path.c_str(), &st) != 0) return Entry::Elsewhere;
    return st.st_uid == ::geteuid() ? Entry::Users : st.st_uid == 0 ? Entry::Roots : Entry::Others;
}

bool mayRead(int fd, const std::string& path) {
    const std::string& settings = in_place::recoveryFolder();
    struct stat st {};
    return settings.empty() || folderOf(path) != settings || (::fstat(fd, &st) == 0 && usersOrRoots(st.st_uid));
}

void setAsideUntrusted(const std::string& path) {
    const std::string name = nameOf(path), stem = name.substr(0, name.rfind('.'));
    const Entry entry = settingsEntry(path);
    if (entry == Entry::Others) setAside(path, "other-account", stem);
    if (entry == Entry::Roots && ::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0)
        setAside(path, "unreadable", stem);
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
            !S_ISREG(st.st_mode) || !usersOrRoots(st.st_uid))
            continue;
        if (::kill(pid, 0) == -1 && errno == ESRCH) ::unlinkat(::dirfd(d.get()), e->d_name, 0);
    }
}

} // namespace io

using namespace io;

FolderFault ownFolderFault(const std::string& path) {
    // A link on the way that another account made could be pointed elsewhere at any time.
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        struct stat st {};
        if ((pos == path.size() || path[pos] == '/') && ::lstat(path.substr(0, pos).c_str(), &st) == 0 &&
            S_ISLNK(st.st_mode) && !usersOrRoots(st.st_uid))
            return {Why::OtherOwner, path.substr(0, pos)};
    }
    std::string dir = path;
    char* resolved = nullptr;
    while (!(resolved = ::realpath(dir.c_str(), nullptr))) {
        if (errno != ENOENT || dir == folderOf(dir)) return {Why::Unknown, path};
        dir = folderOf(dir);
    }
    const bool made = dir == path;
    dir = resolved;
    std::free(resolved);
    // Whoever may write a folder on the way may move the folder and put another there: the
    // first such folder from the top is named, the cause of any below.
    std::vector<std::string> way{made ? folderOf(dir) : dir};
    while (way.back() != "/") way.push_back(folderOf(way.back()));
    struct stat st {};
    for (auto up = way.rbegin(); up != way.rend(); ++up) {
        if (::stat(up->c_str(), &st) != 0) return {Why::Unknown, *up};
        if (!usersOrRoots(st.st_uid)) return {Why::OtherOwner, *up};
        if (!closedOrSticky(st)) return {Why::OthersMayWrite, *up};
    }
    if (!made) return {Why::Unknown, path};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {Why::Unknown, dir};
    if (st.st_uid != ::geteuid()) return {Why::OtherOwner, dir};
    if (!closedToOthers(st)) return {Why::OthersMayWrite, dir};
    return {};
}

bool isOwnFolder(const std::string& path) { return ownFolderFault(path).folder.empty(); }

bool makePrivateFolders(const std::string& path) {
    if (path.empty()) return false;
    // Folders on the way need only be searched; the last is opened to be closed.
    constexpr int kWay = O_PATH | O_DIRECTORY | O_CLOEXEC, kLast = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    Fd dir(::open(path[0] == '/' ? "/" : ".", kWay));
    for (size_t pos = path.find_first_not_of('/'); dir.ok(); pos = path.find_first_not_of('/', pos)) {
        if (pos == std::string::npos) return true;
        const size_t end = std::min(path.find('/', pos), path.size());
        const std::string name = path.substr(pos, end - pos);
        pos = end;
        const bool last = path.find_first_not_of('/', pos) == std::string::npos;
        struct stat parent {}, st {};
        if (::fstat(dir.get(), &parent) != 0) return false;
        if (usersOrRoots(parent.st_uid) && ::mkdirat(dir.get(), name.c_str(), 0700) != 0 && errno != EEXIST) return false;
        Fd next(::openat(dir.get(), name.c_str(), last ? kLast : kWay));
        // A link of the user's at the last part is followed, and nothing is changed through it.
        if (last && !next.ok() && (errno == ELOOP || errno == EACCES)) next = Fd(::openat(dir.get(), name.c_str(), kWay));
        else if (last && next.ok() && ::fstat(next.get(), &st) == 0 && st.st_uid == ::geteuid() && !closedToOthers(st) &&
                 usersOrRoots(parent.st_uid) && closedOrSticky(parent))
            // Made so by hand or by another program: what the program keeps there is its own.
            ::fchmod(next.get(), st.st_mode & 07755);
        dir = std::move(next);
    }
    return false;
}

void removeLeftover(const std::string& path, bool inProgramFolder) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return;
    const bool own = isOwnFolder(folderOf(path));
    if (!own && !inProgramFolder) return;
    if ((S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) && st.st_uid == ::geteuid()) ::unlink(path.c_str());
    else if (own && S_ISDIR(st.st_mode)) setAside(path, "in-the-way", nameOf(path), "");
}

} // namespace platform
