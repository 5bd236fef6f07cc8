#pragma once
// Every test binary runs in a private program folder and a private configuration
// folder: the window's start-up stores the language setting and reads "Zentrafo.ini"
// and the language files from the program's folder ("." for the fake platform), and no
// test may touch the user's real settings or depend on files left in the current folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace testing_support {

// A fresh folder under /tmp, removed with the object.
inline std::string makeTempDir(const char* prefix) {
    std::string tmpl = std::string("/tmp/") + prefix + "-XXXXXX";
    if (!::mkdtemp(tmpl.data())) ADD_FAILURE() << "cannot create a temporary folder";
    return tmpl;
}

// A program folder as the build lays it out: the files shipped beside the program.
inline void copyRuntimeFiles(const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(fs::path(ZENTRAFO_SOURCE_DIR) / "resources" / "runtime"))
        fs::copy_file(e.path(), to / e.path().filename());
}

class PrivateFolders : public ::testing::Environment {
public:
    void SetUp() override {
        namespace fs = std::filesystem;
        root_ = makeTempDir("zentrafo-tests");
        copyRuntimeFiles(root_ / "program");
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        previous_ = fs::current_path();
        fs::current_path(root_ / "program");
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(root_);
    }

private:
    std::filesystem::path root_, previous_;
};

} // namespace testing_support
