#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "kill_during_saves.h"
#include "private_folders.h"
#include "platform/files.h"
#include "platform/in_place_rewrite.h"
#include "platform/ini.h"
#include "platform/settings.h"

using platform::Settings;
namespace fs = std::filesystem;

namespace {

// Runs after every folder this test binary makes (mkdir and mkdirat are interposed below),
// so that a test may swap it the moment it is made.
std::function<void()> afterMkdir;

} // namespace

extern "C" int mkdirat(int dir, const char* path, mode_t mode) {
    const int made = static_cast<int>(::syscall(SYS_mkdirat, dir, path, mode));
    if (made == 0 && afterMkdir) afterMkdir();
    return made;
}
extern "C" int mkdir(const char* path, mode_t mode) { return mkdirat(AT_FDCWD, path, mode); }

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
    // Kept for the run only.
    EXPECT_EQ(s.get("data", "langue", "0"), "1");
    EXPECT_EQ(Settings::inFolder(dir + "/blocked/Zentrafo").get("data", "langue", "0"), "0");
}

TEST_F(SettingsTest, OnlyTheUsersOrRootsSettingsAreReadAndOnlyInAFolderOfTheirOwn) {
    // What the start meets in the settings folder, and whether the user's next setting is
    // then kept: root's settings (a run under sudo that kept HOME) are the user's as far as
    // the user may read them, and the next setting makes them the user's own file; another
    // account's are set aside under a name that says so. Where another account may move the
    // settings folder, nothing is written there.
    // A folder above that only the user's private group may write is closed; one that a
    // group with other members may write is not, and the setting then names it.
    const unsigned user = testing_support::kOrdinaryUser, daemon = 1; // daemon's group is its own on Debian
    const struct {
        const char* what;
        unsigned owner, mode, parentOwner, parentMode;
        const char* language; // read at the start
        const char* aside;    // the name the old file is set aside under, "" when none
        bool kept;
        unsigned parentGroup = 0, account = user; // the parent's owner's group when 0
    } cases[] = {
        {"root's, readable", 0, 0644, user, 0755, "1", "", true},
        {"root's, unreadable", 0, 0600, user, 0755, "0", "unreadable-settings-0.ini", true},
        {"another account's", 1234, 0644, user, 0755, "0", "other-account-settings-0.ini", true},
        {"the user's, in another account's folder open to all", user, 0600, 1234, 0777, "1", "", false},
        {"the user's, under a folder the user's private group may write", daemon, 0600, daemon, 0775, "1", "", true, 0, daemon},
        {"another member's, under a folder a shared group may write", 1234, 0644, user, 0775, "0", "", false, 4321},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string parent = dir + "/xdg", settings = parent + "/Zentrafo", file = settings + "/settings.ini";
        fs::create_directories(settings);
        std::ofstream(file) << "[data]\nlangue=1\n";
        ASSERT_EQ(::chown(file.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        ASSERT_EQ(::chown(settings.c_str(), c.account, c.account), 0);
        ASSERT_EQ(::chown(parent.c_str(), c.parentOwner, c.parentGroup ? c.parentGroup : c.parentOwner), 0);
        ASSERT_EQ(::chmod(parent.c_str(), c.parentMode), 0);
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
        EXPECT_EQ(testing_support::statusOfChild([&] {
                      if (!testing_support::becomeAccount(c.account)) return 2;
                      platform::setRecoveryFolder(settings);
                      platform::recoverUnfinishedSaves({file});
                      Settings s = Settings::inFolder(settings);
                      if (s.get("data", "langue", "0") != c.language) return 3;
                      if (s.set("data", "pseudo", "Zizou") != c.kept) return 1;
                      return s.get("data", "langue", "0") == c.language && (c.kept || platform::lastSaveFailure().folder == parent) ? 0 : 4;
                  }),
                  0);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, c.kept ? c.account : c.owner);
        EXPECT_EQ(st.st_mode & 0777, c.kept ? 0600u : c.mode);
        EXPECT_EQ(platform::readIni(file, "data", "pseudo"), c.kept ? "Zizou" : "");
        if (*c.aside) EXPECT_EQ(platform::readIni(settings + "/" + c.aside, "data", "langue"), "1");
        EXPECT_EQ(std::distance(fs::directory_iterator(settings), fs::directory_iterator()), *c.aside ? 2 : 1);
        fs::remove_all(parent);
    }

    // Run as root with the user's HOME: root makes nothing in the user's folders, and hands
    // nothing to the user nor closes anything through a link the user puts, even the moment
    // a folder is made; it says why its settings are not kept. The user's are kept after.
    const std::string home = dir + "/home", config = home + "/.config", settings = config + "/Zentrafo";
    const std::string victim = dir + "/victim", scratch = dir + "/scratch";
    std::ofstream(victim) << "root's\n";
    ASSERT_EQ(::chmod(victim.c_str(), 0600), 0);
    fs::create_directories(scratch);
    const struct {
        const char* what;
        bool configOfRoots;
        std::string linkAt, swapAt, to; // a link left at linkAt, or put at swapAt once that folder is made
    } roots[] = {{"nothing there yet", false, "", "", ""},
                 {"a link left at the settings folder, to root's folder open to all", false, settings, "", scratch},
                 {"the folder on the way swapped for a link once made", false, "", config, victim},
                 {"the settings folder swapped for a link once made, in root's folder", true, "", settings, scratch}};
    for (const auto& r : roots) {
        SCOPED_TRACE(r.what);
        fs::create_directories(r.configOfRoots || !r.linkAt.empty() ? config : home);
        if (!r.linkAt.empty()) fs::create_symlink(r.to, r.linkAt);
        for (const std::string& p : {home, config, r.linkAt})
            if (!p.empty() && fs::exists(fs::symlink_status(p)))
                ASSERT_EQ(::lchown(p.c_str(), r.configOfRoots && p == config ? 0 : user, user), 0);
        ASSERT_EQ(::chmod(scratch.c_str(), 01777), 0);
        afterMkdir = [&] {
            if (!r.swapAt.empty() && fs::is_directory(fs::symlink_status(r.swapAt))) fs::remove(r.swapAt), fs::create_symlink(r.to, r.swapAt);
        };
        EXPECT_TRUE(!Settings::inFolder(settings).set("data", "langue", "1") && !platform::lastSaveFailure().folder.empty());
        afterMkdir = nullptr;
        struct stat v {}, sc {};
        ASSERT_TRUE(::stat(victim.c_str(), &v) == 0 && ::stat(scratch.c_str(), &sc) == 0);
        EXPECT_TRUE(v.st_uid == 0 && (v.st_mode & 07777) == 0600 && (sc.st_mode & 07777) == 01777);
        EXPECT_EQ(fs::exists(config), r.configOfRoots || !r.linkAt.empty());
        fs::remove_all(home);
    }
    fs::create_directories(home);
    ASSERT_EQ(::chown(home.c_str(), user, user), 0);
    EXPECT_EQ(testing_support::statusAsOrdinaryUser([&] { return Settings::inFolder(settings).set("data", "langue", "2") ? 0 : 1; }),
              0);
    EXPECT_EQ(platform::readIni(settings + "/settings.ini", "data", "langue"), "2");
}

} // namespace
