#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "private_folders.h"
#include "platform/ini.h"
#include "platform/settings.h"

using platform::Settings;
namespace fs = std::filesystem;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
            const char* v = std::getenv(name);
            saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
    }
    void TearDown() override {
        for (auto& [name, v] : saved) v ? ::setenv(name.c_str(), v->c_str(), 1) : ::unsetenv(name.c_str());
    }
    static unsigned modeOf(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0xFFFFu;
    }

    testing_support::ProgramFolder folder{false};
    const std::string dir = folder.root;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(SettingsTest, DefaultsAndEmptyValues) {
    Settings s = Settings::inFolder(dir + "/Zentrafo");
    // Fresh profile: every read gives the caller's default and writes nothing.
    EXPECT_EQ(s.get("data", "langue", "0"), "0");
    EXPECT_EQ(s.get("data", "ChImage", "1"), "1");
    EXPECT_EQ(s.get("data", "reduit"), "");
    EXPECT_FALSE(fs::exists(s.filePath()));

    ASSERT_TRUE(s.set("data", "ChImage", ""));
    EXPECT_EQ(s.get("data", "ChImage", "1"), ""); // stored empty is not missing
    ASSERT_TRUE(s.set("data", "reduit", "1 "));
    EXPECT_EQ(s.get("DATA", "Reduit"), "1 ");    // kept exactly, trailing blank included
    EXPECT_EQ(s.get("data", "langue", "0"), "0");

    // Storing what is already stored leaves the file alone; a new value replaces it.
    struct stat before {}, after {};
    ASSERT_EQ(::stat(s.filePath().c_str(), &before), 0);
    ASSERT_TRUE(s.set("data", "reduit", "1 "));
    ASSERT_EQ(::stat(s.filePath().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    ASSERT_TRUE(s.set("data", "reduit", "0"));
    EXPECT_EQ(s.get("data", "reduit"), "0");
}

TEST_F(SettingsTest, PasswordStaysAsTypedInAPrivateFile) {
    Settings s = Settings::inFolder(dir + "/cfg/Zentrafo");
    const std::string pw = " p@ss=w\"rd; \xC3\xA9t\xC3\xA9 ";
    ASSERT_TRUE(s.set("data", "pseudo", "Zizou"));
    ASSERT_TRUE(s.set("data", "mdp", pw));
    ASSERT_TRUE(s.set("data", "pseudo", "Zizou2"));
    EXPECT_EQ(s.get("data", "mdp"), pw);
    EXPECT_EQ(s.get("data", "pseudo"), "Zizou2");
    EXPECT_EQ(modeOf(dir + "/cfg"), 0700u);
    EXPECT_EQ(modeOf(dir + "/cfg/Zentrafo"), 0700u);
    EXPECT_EQ(modeOf(s.filePath()), 0600u);

    // A second store on the same folder (the next run) sees the same values.
    EXPECT_EQ(Settings::inFolder(dir + "/cfg/Zentrafo").get("data", "mdp"), pw);
}

TEST_F(SettingsTest, FolderComesFromTheEnvironment) {
    ::setenv("XDG_CONFIG_HOME", (dir + "/xdg/").c_str(), 1);
    ::setenv("HOME", (dir + "/home").c_str(), 1);
    Settings s("Zentrafo");
    EXPECT_EQ(s.filePath(), dir + "/xdg/Zentrafo/settings.ini");
    ASSERT_TRUE(s.set("data", "FirstUse", "1"));
    EXPECT_EQ(platform::readIni(dir + "/xdg/Zentrafo/settings.ini", "data", "FirstUse"), "1");

    // Unset or relative: the user's own configuration folder.
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(Settings("Zentrafo").filePath(), dir + "/home/.config/Zentrafo/settings.ini");
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    Settings h("Zentrafo");
    EXPECT_EQ(h.filePath(), dir + "/home/.config/Zentrafo/settings.ini");
    EXPECT_EQ(h.get("data", "FirstUse"), "");
}

TEST_F(SettingsTest, UnwritableStoreReportsFailure) {
    // A file where the folder should be.
    std::ofstream(dir + "/blocked") << "x";
    Settings s = Settings::inFolder(dir + "/blocked/Zentrafo");
    EXPECT_FALSE(s.set("data", "langue", "1"));
    // Kept for the run only.
    EXPECT_EQ(s.get("data", "langue", "0"), "1");
    EXPECT_EQ(Settings::inFolder(dir + "/blocked/Zentrafo").get("data", "langue", "0"), "0");
}

} // namespace
