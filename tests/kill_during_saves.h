#pragma once
// Child processes of the file tests: an ordinary account meeting the permissions a user
// meets, and children that save in a loop and are killed at a random moment, again and
// again, after which the file must be whole.
#include <gtest/gtest.h>

#include <grp.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

// Root, who runs the tests, may write anything: a child that must meet the permissions a
// user meets works on files given to an ordinary account, and becomes that account.
inline constexpr unsigned kOrdinaryUser = 65534;
inline bool giveToOrdinaryUser(const std::string& path) {
    return ::geteuid() != 0 || ::chown(path.c_str(), kOrdinaryUser, kOrdinaryUser) == 0;
}
inline bool becomeOrdinaryUser() {
    return ::geteuid() != 0 ||
           (::setgroups(0, nullptr) == 0 && ::setgid(kOrdinaryUser) == 0 && ::setuid(kOrdinaryUser) == 0);
}

// The exit status of a child that runs body() as the ordinary account (-1 when it did
// not exit, 2 when it could not become that account).
template <class Body> int statusAsOrdinaryUser(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(becomeOrdinaryUser() ? body() : 2);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Forks one child per function in `saves`; each calls its save(n) for n = first,
// first + 1, ... until it is killed. Once every child finished a first whole save, the
// parent calls meanwhile() again and again for a random time up to maxMicros (so a slow
// machine still lets the kills land during saves, not before the first one), then kills
// them all.
inline void killDuringSaves(int first, unsigned maxMicros, std::mt19937& rng,
                            const std::vector<std::function<void(int)>>& saves,
                            const std::function<void()>& meanwhile = [] { ::usleep(100); }) {
    int saved[2];
    ASSERT_EQ(::pipe(saved), 0);
    std::vector<pid_t> children;
    for (const auto& save : saves) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(saved[0]);
            for (int n = first;; ++n) {
                save(n);
                if (n == first) (void)!::write(saved[1], "s", 1);
            }
        }
        if (pid > 0) children.push_back(pid);
    }
    ::close(saved[1]);
    size_t started = 0;
    for (char ready = 0; started < children.size() && ::read(saved[0], &ready, 1) == 1;) ++started;
    ::close(saved[0]);
    if (started == saves.size()) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(rng() % maxMicros);
        do meanwhile();
        while (std::chrono::steady_clock::now() < end);
    }
    for (pid_t pid : children) {
        ::kill(pid, SIGKILL);
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    }
    ASSERT_EQ(children.size(), saves.size()) << "a child could not be made";
    ASSERT_EQ(started, saves.size()) << "a child never finished a save";
}

template <class Save> void killDuringSaves(int first, unsigned maxMicros, std::mt19937& rng, Save save) {
    killDuringSaves(first, maxMicros, rng, {std::function<void(int)>(save)});
}

} // namespace testing_support
