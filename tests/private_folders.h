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

class PrivateFolders : public ::testing::Environment {
public:
    void SetUp() override {
        namespace fs = std::filesystem;
        char tmpl[] = "/tmp/zentrafo-tests-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        fs::create_directory(root_ / "program");
        for (const auto& e : fs::directory_iterator(fs::path(ZENTRAFO_SOURCE_DIR) / "resources" / "runtime"))
            fs::copy_file(e.path(), root_ / "program" / e.path().filename());
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
