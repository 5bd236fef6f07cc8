#pragma once
// A main window on a private program folder (holding the shipped language files) and a
// private settings folder, so that each test starts from a known installation.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "main/marlix.h"
#include "private_folders.h"
#include "platform/fake_platform.h"
#include "platform/settings.h"

namespace testwin {

namespace fs = std::filesystem;

class WindowTest : public ::testing::Test {
protected:
    WindowTest() { fake.folder = program; }
    void TearDown() override { w.reset(); }

    platform::Settings settingsStore() const { return platform::Settings::inFolder(folder.config + "/Zentrafo"); }
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
    std::string iniPath() const { return folder.path("Zentrafo.ini"); }

    testing_support::ProgramFolder folder;
    const std::string &root = folder.root, &program = folder.program;
    platform::FakePlatform fake;
    std::unique_ptr<zentrafo::Marlix> w;
};

} // namespace testwin
