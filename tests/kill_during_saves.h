#pragma once
// Child processes of the file tests: an ordinary account meeting the permissions a user
// meets, and children that save in a loop and are killed at a random moment, again and
// again, after which the file must be whole.
#include <gtest/gtest.h>

#include <grp.h>
#include <poll.h>

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
    for (pid_t pid : children) {
        ::kill(pid, SIGKILL);
        EXPECT_EQ(::waitpid(pid, nullptr, 0), pid);
    }
    ASSERT_EQ(started, saves.size()) << "a child never finished a save";
}

template <class Save> void killDuringSaves(int first, unsigned maxMicros, std::mt19937& rng, Save save) {
    killDuringSaves(first, maxMicros, rng, {std::function<void(int)>(save)});
}

} // namespace testing_support
