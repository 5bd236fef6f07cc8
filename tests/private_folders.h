#pragma once
// Every test binary runs in a private program folder and a private configuration
// folder: the window's start-up stores the language setting and reads "Zentrafo.ini"
// and the language files from the program's folder ("." for the fake platform), and no
// test may touch the user's real settings or depend on files left in the current folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>

namespace testing_support {

// A file's bytes as they stand on disk ("" when it cannot be read).
inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Opens a test's folder, and every folder in it, to its owner: a test may leave one
// read-only or shut, which stops an ordinary account (not root) from removing what it holds.
inline void openToOwner(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::symlink_status(path, ec).type() != fs::file_type::directory) return;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) openToOwner(it->path());
}
// Removes a test's folder and all it holds, however the test left it. It never throws, since
// it runs in destructors.
inline void removeTree(const std::filesystem::path& path) {
    openToOwner(path);
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

// A folder that goes (removeTree) when the object does, however the test ends.
struct RemovedAtEnd {
    std::string path;
    ~RemovedAtEnd() { removeTree(path); }
};

// A fresh folder under /tmp, for the caller to remove (removeTree).
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

// One installation of the program for one test: the program folder (with the shipped
// files, or bare) and a settings folder beside it, all removed with the object.
struct ProgramFolder {
    const std::string root = makeTempDir("zentrafo"), program = root + "/program", config = root + "/config";

    explicit ProgramFolder(bool shippedFiles = true) {
        shippedFiles ? copyRuntimeFiles(program) : (void)std::filesystem::create_directories(program);
    }
    ~ProgramFolder() { removeTree(root); }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    std::string path(const std::string& name) const { return program + "/" + name; }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const { return slurp(path(name)); }
    // A starting file as the build lays it beside the program for a new user.
    void putStarting(const std::string& name) const {
        put(name, slurp(std::filesystem::path(ZENTRAFO_SOURCE_DIR) / "resources" / "initial" / name));
    }
};

class PrivateFolders : public ::testing::Environment {
public:
    void SetUp() override {
        folder_.emplace();
        ::setenv("XDG_CONFIG_HOME", folder_->config.c_str(), 1);
        // Qt's runtime folder as well: unset, Qt makes one in /tmp that outlives the run.
        const std::string runtime = folder_->root + "/runtime";
        std::filesystem::create_directory(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_->program);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        folder_.reset();
    }

private:
    std::optional<ProgramFolder> folder_;
    std::filesystem::path previous_;
};

} // namespace testing_support
