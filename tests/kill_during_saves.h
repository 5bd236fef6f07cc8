#pragma once
// Crash safety of a file: a child process saves in a loop and is killed at a random
// moment, again and again; after each kill the file must be whole.
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

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
