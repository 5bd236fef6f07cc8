// The whole program from launch to its first painted window, beside an empty Qt window
// launched the same way on the same machine; the ratio of the two medians is the cost
// of the program's own start-up. Both run offscreen, in a private configuration folder.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "private_config.h"
#include "qt/launch_probe.h"

extern char** environ;

namespace {

// Run as the empty window when this benchmark launches itself for the comparison.
const bool kEmptyWindowChild = [] {
    if (!std::getenv("ZENTRAFO_BENCH_EMPTY_WINDOW")) return false;
    int argc = 1;
    char name[] = "empty";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QWidget window;
    window.resize(17535 / 15, 9900 / 15);
    zqt::quitWhenShownIfAsked(&window);
    window.show();
    std::_Exit(QApplication::exec());
}();

std::string besideMe(const char* name) {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

bool launch(const std::string& path) {
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void timeLaunch(benchmark::State& state, const std::string& path, bool empty) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("ZENTRAFO_QUIT_WHEN_SHOWN", "1", 1);
    if (empty)
        ::setenv("ZENTRAFO_BENCH_EMPTY_WINDOW", "1", 1);
    else
        ::unsetenv("ZENTRAFO_BENCH_EMPTY_WINDOW");
    for (auto _ : state)
        if (!launch(path)) {
            state.SkipWithError(("launch failed: " + path).c_str());
            break;
        }
    ::unsetenv("ZENTRAFO_BENCH_EMPTY_WINDOW");
    ::unsetenv("ZENTRAFO_QUIT_WHEN_SHOWN");
}

void BM_LaunchToShownProgram(benchmark::State& state) { timeLaunch(state, besideMe("zentrafo"), false); }
void BM_LaunchToShownEmptyWindow(benchmark::State& state) { timeLaunch(state, besideMe("bench_qt"), true); }
BENCHMARK(BM_LaunchToShownEmptyWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LaunchToShownProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
