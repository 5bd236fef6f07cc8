#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>

#include "kill_during_saves.h"
#include "private_folders.h"
#include "platform/in_place_rewrite.h"
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
    // Fresh profile: every read gives the caller's default and creates nothing.
    EXPECT_EQ(s.get("data", "langue", "0"), "0");
    EXPECT_EQ(s.get("data", "ChImage", "1"), "1");
    EXPECT_EQ(s.get("data", "reduit"), "");
    EXPECT_FALSE(fs::exists(dir + "/Zentrafo"));

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
    EXPECT_EQ(s.get("data", "langue", "0"), "0");
}

TEST_F(SettingsTest, OnlyTheUsersOrRootsSettingsAreReadAndOnlyInAFolderOfTheirOwn) {
    // What the start meets in the settings folder, and whether the user's next setting is
    // then kept: root's settings (a run under sudo that kept HOME) are the user's as far as
    // the user may read them, and the next setting makes them the user's own file; another
    // account's are set aside under a name that says so. Where another account may move the
    // settings folder, nothing is written there.
    const unsigned user = testing_support::kOrdinaryUser;
    const struct {
        const char* what;
        unsigned owner, mode, parentOwner, parentMode;
        const char* language; // read at the start
        const char* aside;    // the name the old file is set aside under, "" when none
        bool kept;
    } cases[] = {
        {"root's, readable", 0, 0644, user, 0755, "1", "", true},
        {"root's, unreadable", 0, 0600, user, 0755, "0", "unreadable-settings-0.ini", true},
        {"another account's", 1234, 0644, user, 0755, "0", "other-account-settings-0.ini", true},
        {"the user's, in another account's folder open to all", user, 0600, 1234, 0777, "1", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string parent = dir + "/xdg", settings = parent + "/Zentrafo", file = settings + "/settings.ini";
        fs::create_directories(settings);
        std::ofstream(file) << "[data]\nlangue=1\n";
        ASSERT_EQ(::chown(file.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        ASSERT_EQ(::chown(settings.c_str(), user, user), 0);
        ASSERT_EQ(::chown(parent.c_str(), c.parentOwner, c.parentOwner), 0);
        ASSERT_EQ(::chmod(parent.c_str(), c.parentMode), 0);
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
        EXPECT_EQ(testing_support::statusAsOrdinaryUser([&] {
                      platform::setRecoveryFolder(settings);
                      platform::recoverUnfinishedSaves({file});
                      Settings s = Settings::inFolder(settings);
                      if (s.get("data", "langue", "0") != c.language) return 3;
                      return s.set("data", "pseudo", "Zizou") == c.kept && s.get("data", "langue", "0") == c.language ? 0 : 1;
                  }),
                  0);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, c.kept ? user : c.owner);
        EXPECT_EQ(st.st_mode & 0777, c.kept ? 0600u : c.mode);
        EXPECT_EQ(platform::readIni(file, "data", "pseudo"), c.kept ? "Zizou" : "");
        if (*c.aside) EXPECT_EQ(platform::readIni(settings + "/" + c.aside, "data", "langue"), "1");
        EXPECT_EQ(std::distance(fs::directory_iterator(settings), fs::directory_iterator()), *c.aside ? 2 : 1);
        fs::remove_all(parent);
    }

    // Run as root before the user ever ran it: the folder it makes in the user's home is
    // the user's, whose settings are then kept there; root's are not.
    const std::string home = dir + "/home", settings = home + "/.config/Zentrafo";
    fs::create_directories(home);
    ASSERT_EQ(::chown(home.c_str(), user, user), 0);
    EXPECT_FALSE(Settings::inFolder(settings).set("data", "langue", "1"));
    struct stat st {};
    ASSERT_EQ(::stat(settings.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, user);
    EXPECT_EQ(testing_support::statusAsOrdinaryUser([&] { return Settings::inFolder(settings).set("data", "langue", "2") ? 0 : 1; }),
              0);
    EXPECT_EQ(platform::readIni(settings + "/settings.ini", "data", "langue"), "2");
}

} // namespace
