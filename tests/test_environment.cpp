// Every test of this binary runs in a private program folder and a private configuration
// folder: the window's start-up stores the language setting and reads "Zentrafo.ini" and
// the language files from the program's folder ("." for the fake platform), and no test
// may touch the user's real settings or depend on files left in the current folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PrivateFolders : public ::testing::Environment {
public:
    void SetUp() override {
        char tmpl[] = "/tmp/zentrafo-tests-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        fs::create_directory(root_ / "program");
        // The build's program folder holds the runtime files; the sources have them too.
        for (const auto& e : fs::directory_iterator(fs::path(ZENTRAFO_SOURCE_DIR) / "resources" / "runtime"))
            fs::copy_file(e.path(), root_ / "program" / e.path().filename());
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        previous_ = fs::current_path();
        fs::current_path(root_ / "program");
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }

private:
    fs::path root_, previous_;
};

[[maybe_unused]] const auto* const kFolders = ::testing::AddGlobalTestEnvironment(new PrivateFolders);

} // namespace
