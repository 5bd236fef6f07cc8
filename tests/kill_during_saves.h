#pragma once
// Child processes of the file tests: an ordinary account meeting the permissions a user
// meets, and a child that saves in a loop and is killed at a random moment, again and
// again, after which the file must be whole.
#include <gtest/gtest.h>

#include <grp.h>

#include <csignal>
#include <random>
#include <string>
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

// Forks a child that calls save(n) for n = first, first + 1, ... until it is killed,
// and kills it at a random moment up to maxMicros after its first save was whole (so a
// slow machine still lets the kills land during saves, not before the first one).
template <class Save> void killDuringSaves(int first, unsigned maxMicros, std::mt19937& rng, Save save) {
    int saved[2];
    ASSERT_EQ(::pipe(saved), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(saved[0]);
        for (int n = first;; ++n) {
            save(n);
            if (n == first) (void)!::write(saved[1], "s", 1);
        }
    }
    ::close(saved[1]);
    char ready = 0;
    const bool started = ::read(saved[0], &ready, 1) == 1;
    ::close(saved[0]);
    if (started) ::usleep(rng() % maxMicros);
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(started) << "the child never finished a save";
}

} // namespace testing_support
