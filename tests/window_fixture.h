#pragma once
// A main window on a private program folder (holding the shipped language files) and a
// private settings folder, so that each test starts from a known installation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include "main/marlix.h"
#include "private_folders.h"
#include "platform/fake_platform.h"
#include "platform/settings.h"

namespace testwin {

namespace fs = std::filesystem;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = testing_support::makeTempDir("wintest");
        program = root + "/program";
        testing_support::copyRuntimeFiles(program);
        fake.folder = program;
    }
    void TearDown() override {
        w.reset();
        fs::remove_all(root);
    }

    platform::Settings settingsStore() const { return platform::Settings::inFolder(root + "/config/Zentrafo"); }
    // A new window on the same folders, as the next run of the program.
    zentrafo::Marlix& open() {
        w.reset();
        w = std::make_unique<zentrafo::Marlix>(fake, settingsStore());
        return *w;
    }
    zentrafo::Marlix& start() {
        open();
        w->Form_Load();
        return *w;
    }

    std::string iniPath() const { return program + "/Zentrafo.ini"; }
    void putFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(program + "/" + name, std::ios::binary) << bytes;
    }
    std::string readFile(const std::string& name) const {
        std::ifstream in(program + "/" + name, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    std::string root, program;
    platform::FakePlatform fake;
    std::unique_ptr<zentrafo::Marlix> w;
};

} // namespace testwin
