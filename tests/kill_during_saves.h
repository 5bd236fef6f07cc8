#pragma once
// Child processes of the file tests: an ordinary account meeting the permissions a user
// meets, another process holding a file's lock, and children that save in a loop and are
// killed at a random moment, again and again, after which the file must be whole.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <string>
#include <vector>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

// A test that acts as other accounts (gives files away, becomes another account, plants
// another account's files) runs as root, as in CI; for anyone else it says so in one line
// and is skipped. It comes first in the test, or in its fixture's SetUp.
#define SKIP_UNLESS_ROOT() \
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: it acts as other accounts (sudo bash scripts/test.sh runs it)"

namespace testing_support {

// Root, who runs the tests, may write anything: a child that must meet the permissions a
// user meets works on files given to an ordinary account, and becomes that account. Run by
// an ordinary account, the tests are that account already, and these do nothing.
inline constexpr unsigned kOrdinaryUser = 65534;
inline bool giveToOrdinaryUser(const std::string& path) {
    return ::geteuid() != 0 || ::chown(path.c_str(), kOrdinaryUser, kOrdinaryUser) == 0;
}
// Another account, `uid` with a group of the same number and the groups `also`.
inline bool becomeAccount(unsigned uid, std::initializer_list<gid_t> also = {}) {
    return ::geteuid() != 0 || (::setgroups(also.size(), also.begin()) == 0 && ::setgid(uid) == 0 && ::setuid(uid) == 0);
}
inline bool becomeOrdinaryUser() { return becomeAccount(kOrdinaryUser); }

// The exit status of a child that runs body() (-1 when it did not exit).
template <class Body> int statusOfChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// The same as the ordinary account (2 when the child could not become that account).
template <class Body> int statusAsOrdinaryUser(Body body) {
    return statusOfChild([&] { return becomeOrdinaryUser() ? body() : 2; });
}

// Another process that holds a lock (flock's LOCK_SH or LOCK_EX) on a file for 30 seconds,
// having opened it for reading only, as any account that may read the file can: its pid
// once the lock is held (for endChild), or -1.
inline pid_t holdLock(const std::string& path, int how) {
    int held[2];
    if (::pipe(held) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd >= 0 && ::flock(fd, how) == 0 && ::write(held[1], "l", 1) == 1) ::sleep(30);
        ::_exit(0);
    }
    char c;
    const bool ok = ::close(held[1]) == 0 && pid > 0 && ::read(held[0], &c, 1) == 1;
    ::close(held[0]);
    return ok ? pid : -1;
}
// The pid of a process that has ended.
inline pid_t deadPid() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}
inline bool endChild(pid_t pid) { return pid > 0 && ::kill(pid, SIGKILL) == 0 && ::waitpid(pid, nullptr, 0) == pid; }

// Forks a child per function in `saves` that calls save(n) for n = first, first + 1, ...
// until it is killed; once each finished a first save, calls meanwhile() for a random
// time up to maxMicros (so a slow machine still lets the kills land during saves, not
// before the first one), then kills them all.
inline void killDuringSaves(int first, unsigned maxMicros, std::mt19937& rng,
                            const std::vector<std::function<void(int)>>& saves,
                            const std::function<void()>& meanwhile = [] { ::usleep(100); }) {
    int saved[2];
    ASSERT_EQ(::pipe(saved), 0);
    std::vector<pid_t> children;
    for (const auto& save : saves)
        if (const pid_t pid = ::fork(); pid == 0) {
            for (int n = first;; ++n) {
                save(n);
                if (n == first) (void)!::write(saved[1], "s", 1);
            }
        } else if (pid > 0) {
            children.push_back(pid);
        }
    ::close(saved[1]);
    size_t started = 0;
    // A child that died before its first save must not leave the parent waiting forever.
    for (pollfd in{saved[0], POLLIN, 0}; started < children.size() && ::poll(&in, 1, 30000) == 1; ++started)
        if (char ready; ::read(saved[0], &ready, 1) != 1) break;
    ::close(saved[0]);
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(rng() % maxMicros);
         started == saves.size() && std::chrono::steady_clock::now() < end;)
        meanwhile();
    for (pid_t pid : children) EXPECT_TRUE(endChild(pid));
    ASSERT_EQ(started, saves.size()) << "a child never finished a save";
}

template <class Save> void killDuringSaves(int first, unsigned maxMicros, std::mt19937& rng, Save save) {
    killDuringSaves(first, maxMicros, rng, {std::function<void(int)>(save)});
}

} // namespace testing_support
