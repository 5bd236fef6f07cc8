#pragma once
// Every benchmark binary constructs windows, whose start-up stores the language
// setting: keep that out of the user's real configuration folder.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace bench_support {

inline const bool kPrivateConfig = [] {
    namespace fs = std::filesystem;
    static std::string dir =
        (fs::temp_directory_path() / ("zentrafo-bench-config-" + std::to_string(::getpid()))).string();
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    std::atexit([] { fs::remove_all(dir); });
    return true;
}();

} // namespace bench_support
