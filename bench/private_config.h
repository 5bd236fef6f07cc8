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

// A fresh program folder "<root>/program" beside the build (on the same disk, so saves
// cost what they cost the user), holding the shipped language files.
inline std::filesystem::path programFolder(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path root = fs::current_path() / (".bench-" + name + "-" + std::to_string(::getpid()));
    fs::create_directories(root / "program");
    for (const char* f : {"langFr.txt", "langEn.txt", "langSp.txt"})
        if (fs::exists(f)) fs::copy_file(f, root / "program" / f, fs::copy_options::overwrite_existing);
    return root;
}

} // namespace bench_support
