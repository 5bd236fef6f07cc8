// The setups users already have, and those others could make against them: for each, what a
// user meets when a setting is stored, when the forecast is saved by rename (the program's
// folder takes new files) and in place (it does not), and whether a save cut short is put
// back whole at the next start. Every change to the file layer runs them all; a setup found
// later gets a row here.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sched.h>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "kill_during_saves.h"
#include "private_folders.h"
#include "platform/files.h"
#include "platform/in_place_rewrite.h"
#include "platform/ini.h"
#include "platform/settings.h"

namespace {

namespace fs = std::filesystem;
using platform::Why;
using testing_support::slurp;

constexpr unsigned kUser = testing_support::kOrdinaryUser, kOther = 1234, kMember = 4322, kRoot = 0;
constexpr unsigned kDaemon = 1; // its group is its own alone on Debian
constexpr gid_t kTeam = 4321;   // a group with other members

// One home and one program folder, under a fresh folder that root owns, removed with it.
struct Paths {
    std::string top = testing_support::makeTempDir("zentrafo-setup"), home = top + "/home", config = home + "/.config",
                settings = config + "/Zentrafo", program = top + "/program", file = program + "/Zentrafo.ini",
                victim = top + "/victim", rootsFile = top + "/roots-file", scratch = top + "/scratch",
                // Root's leftovers of a killed download and of a dead save, which no run may remove.
                rootsPart = program + "/Zentrafo.ini.part",
                rootsTemporary = program + "/.Zentrafo.ini.tmp-" + std::to_string(testing_support::deadPid()) + "-0";
    Paths() = default;
    Paths(const Paths&) = delete;
    ~Paths() { testing_support::removeTree(top); }
};
using Step = std::function<void(const Paths&)>;

// Done, or refused naming `named` (a folder, or the file) and why.
struct Outcome {
    std::string Paths::*named = nullptr;
    Why why = Why::Unknown;
};
const Outcome kDone{};
const std::nullopt_t kNoInPlace = std::nullopt; // no folder closed to new files applies

struct Row {
    const char* what;
    Step arrange;
    Outcome setting, byRename;
    std::optional<Outcome> inPlace;
    bool cutPutBack;
    struct {
        unsigned account = kUser;
        gid_t alsoIn = 0;               // a group the account is also in
        const char* languageRead = "0"; // at the start
        rlim_t sizeLimit = RLIM_INFINITY;
        Step after = [](const Paths&) {};
        Step meanwhile = nullptr; // by root, once a start has judged the settings folder
        Step mend = nullptr;      // by the account, once a setting was refused
    } also = {};
};
void PrintTo(const Row& row, std::ostream* out) { *out << row.what; }

void own(const std::string& path, unsigned uid, unsigned gid, unsigned mode) {
    ASSERT_EQ(::lchown(path.c_str(), uid, gid), 0) << path;
    if (!fs::is_symlink(path)) {
        ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
    }
}
void folder(const std::string& path, unsigned uid, unsigned gid, unsigned mode) {
    fs::create_directories(path);
    own(path, uid, gid, mode);
}
void put(const std::string& path, const std::string& bytes, unsigned uid, unsigned gid, unsigned mode) {
    std::ofstream(path, std::ios::binary) << bytes;
    own(path, uid, gid, mode);
}
void link(const std::string& to, const std::string& at, unsigned uid) {
    fs::remove_all(at);
    fs::create_symlink(to, at);
    own(at, uid, uid, 0);
}
unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
bool fileIs(const std::string& path, unsigned uid, unsigned gid, unsigned mode) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && st.st_uid == uid && st.st_gid == gid && (st.st_mode & 07777) == mode;
}
// ~/.config and the settings folder open to a group with other members.
void shared(const Paths& p) {
    own(p.config, kUser, kTeam, 0770);
    folder(p.settings, kUser, kTeam, 0770);
}
const Step kAsIs = [](const Paths&) {};
Outcome at(std::string Paths::*named, Why why) { return {named, why}; }
const std::string kRootsSettings = "[data]\nlangue=1\n";
// The account database as a start reads it, with an entry too long for any buffer after the
// real ones: it cannot be read to its end.
bool brokenAccountDatabase(const Paths& p) {
    std::ofstream(p.top + "/passwd") << slurp("/etc/passwd") << "long:x:9:9:" << std::string(1 << 16, 'x') << ":/:/\n";
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount((p.top + "/passwd").c_str(), "/etc/passwd", nullptr, MS_BIND, nullptr) == 0;
}

// A run as root keeps no recovery copy in another account's home.
const Outcome kAdminElsewhere = at(&Paths::home, Why::AdminElsewhere);

const Row kSetups[] = {
    // Setups users have.
    {"a plain home", kAsIs, kDone, kDone, kDone, true},
    {"umask 002, the user's private group", [](const Paths& p) {
         for (const std::string& f : {p.home, p.config, p.program}) own(f, kDaemon, kDaemon, 0775);
         folder(p.settings, kDaemon, kDaemon, 0775);
         own(p.file, kDaemon, kDaemon, 0664);
     }, kDone, kDone, kDone, true, {.account = kDaemon, .after = [](const Paths& p) {
         // Where the account database cannot be read to its end, the group may be anyone's.
         EXPECT_EQ(testing_support::statusOfChild([&] {
             if (!brokenAccountDatabase(p) || !testing_support::becomeAccount(kDaemon)) return 2;
             return platform::Settings::inFolder(p.settings).keepable() ? 1 : 0;
         }), 0); }}},
    {"umask 002, an account the account database does not know", [](const Paths& p) {
         for (const std::string& f : {p.home, p.config, p.program}) own(f, kOther, kOther, 0775);
         folder(p.settings, kOther, kOther, 0775);
         own(p.file, kOther, kOther, 0664);
     }, at(&Paths::home, Why::OthersMayWrite), kDone, at(&Paths::home, Why::OthersMayWrite), false, {.account = kOther}},
    {"the settings folder a link of the user's (a dotfile manager's)", [](const Paths& p) {
         folder(p.home + "/dots/zentrafo", kUser, kUser, 0700);
         link("../dots/zentrafo", p.settings, kUser);
     }, kDone, kDone, kDone, true, {.after = [](const Paths& p) { EXPECT_TRUE(fs::exists(p.home + "/dots/zentrafo/settings.ini")); }}},
    {"~/.config a link of the user's", [](const Paths& p) {
         folder(p.home + "/dots/config", kUser, kUser, 0700);
         link(p.home + "/dots/config", p.config, kUser);
     }, kDone, kDone, kDone, true},
    {"a settings folder of root's, 0700, with root's settings, left by an older run under sudo", [](const Paths& p) {
         folder(p.settings, kRoot, kRoot, 0700);
         put(p.settings + "/settings.ini", "[data]\nlangue=1\n", kRoot, kRoot, 0600);
     }, at(&Paths::settings, Why::OtherOwner), kDone, at(&Paths::settings, Why::OtherOwner), false},
    {"root's settings, readable, in the user's folder", [](const Paths& p) {
         folder(p.settings, kUser, kUser, 0700);
         put(p.settings + "/settings.ini", "[data]\nlangue=1\n", kRoot, kRoot, 0644);
     }, kDone, kDone, kDone, true, {.languageRead = "1", .after = [](const Paths& p) {
         EXPECT_TRUE(fileIs(p.settings + "/settings.ini", kUser, kUser, 0600)); }}},
    {"root's settings, unreadable, in the user's folder", [](const Paths& p) {
         folder(p.settings, kUser, kUser, 0700);
         put(p.settings + "/settings.ini", "[data]\nlangue=1\n", kRoot, kRoot, 0600);
     }, kDone, kDone, kDone, true, {.after = [](const Paths& p) {
         EXPECT_TRUE(fs::exists(p.settings + "/unreadable-settings-0.ini")); }}},
    {"the forecast a link of the user's to a file in another folder", [](const Paths& p) {
         folder(p.home + "/forecasts", kUser, kUser, 0755);
         fs::rename(p.file, p.home + "/forecasts/Zentrafo.ini");
         link(p.home + "/forecasts/Zentrafo.ini", p.file, kUser);
     }, kDone, kDone, kDone, true, {.after = [](const Paths& p) { EXPECT_TRUE(fs::is_symlink(p.file)); }}},
    {"a group's forecast in a 2775 folder, saved by two members in turn", [](const Paths& p) {
         own(p.program, kRoot, kTeam, 02775);
         own(p.file, kRoot, kTeam, 0664);
     }, kDone, kDone, kDone, true, {.alsoIn = kTeam, .after = [](const Paths& p) {
         EXPECT_EQ(testing_support::statusOfChild([&] {
                       if (!testing_support::becomeAccount(kMember, {kTeam})) return 2;
                       platform::setRecoveryFolder(p.top + "/member-settings");
                       return platform::writeIni(p.file, "S", "k", "member") ? 0 : 1;
                   }), 0);
         EXPECT_TRUE(fileIs(p.file, kMember, kTeam, 0664) && slurp(p.file) == "[S]\nk=member\n");
     }}},
    {"the user's forecast in a sticky program folder open to all, another account's files at the temporaries' likely names",
     [](const Paths& p) { own(p.program, kRoot, kRoot, 01777); }, kDone, kDone, kDone, true, {.meanwhile = [](const Paths& p) {
         for (int n = 0; n < 100; ++n)
             put(p.program + "/.Zentrafo.ini.tmp-" + std::to_string(::getppid()) + "-" + std::to_string(n), "", kOther, kOther, 0644);
     }}},
    {"another member's forecast the group shares, in a sticky program folder", [](const Paths& p) {
         own(p.program, kRoot, kRoot, 01777);
         own(p.file, kOther, kTeam, 0664);
     }, kDone, kDone, kDone, true, {.alsoIn = kTeam, .after = [](const Paths& p) { EXPECT_TRUE(fileIs(p.file, kOther, kTeam, 0664)); }}},
    {"a shared install's forecast, another account's open to all, in its folder closed to new files", [](const Paths& p) {
         own(p.program, kOther, kOther, 0555);
         own(p.file, kOther, kOther, 0666);
     }, kDone, kDone, kDone, true, {.after = [](const Paths& p) { EXPECT_TRUE(fileIs(p.file, kOther, kOther, 0666)); }}},
    {"the user's own forecast of a group the user is not in", [](const Paths& p) { own(p.file, kUser, kRoot, 0664); },
     kDone, kDone, kDone, true, {.after = [](const Paths& p) { EXPECT_TRUE(fileIs(p.file, kUser, kRoot, 0664)); }}},
    // Saved by rename with the user's group, which gets no more than everyone.
    {"the same, the settings folder another account's", [](const Paths& p) {
         own(p.file, kUser, kRoot, 0664);
         folder(p.settings, kOther, kOther, 0755);
     }, at(&Paths::settings, Why::OtherOwner), kDone, at(&Paths::settings, Why::OtherOwner), false,
     {.after = [](const Paths& p) { EXPECT_TRUE(fileIs(p.file, kUser, kUser, 0644)); }}},
    {"a read-only forecast", [](const Paths& p) { own(p.file, kUser, kUser, 0444); },
     kDone, at(&Paths::file, Why::FileProtected), at(&Paths::file, Why::FileProtected), false},
    {"another account's forecast the user may only read, in the user's folder", [](const Paths& p) {
         own(p.file, kOther, kOther, 0644); }, kDone, at(&Paths::file, Why::FileProtected), at(&Paths::file, Why::FileProtected), false},
    {"a read-only settings disk", [](const Paths& p) { folder(p.settings, kUser, kUser, 0500); },
     at(&Paths::settings, Why::ReadOnly), kDone, at(&Paths::settings, Why::ReadOnly), false},
    {"the same, writable again before the setting is stored once more (at Quit)", [](const Paths& p) {
         folder(p.settings, kUser, kUser, 0500); }, at(&Paths::settings, Why::ReadOnly), kDone, kDone, true,
     {.mend = [](const Paths& p) { ::chmod(p.settings.c_str(), 0700); }}},
    {"a first run, the settings folder to be made in a sticky folder open to all, another account racing to make it",
     [](const Paths& p) { own(p.config, kRoot, kRoot, 01777); }, kDone, kDone, kDone, true,
     {.after = [](const Paths& p) { EXPECT_TRUE(fileIs(p.settings, kUser, kUser, 0700)); },
      .meanwhile = [](const Paths& p) {
          if (::mkdir(p.settings.c_str(), 0777) != 0) return;
          folder(p.settings, kOther, kOther, 0777);
          link(p.victim, p.settings + "/settings.ini", kOther);
      }}},
    {"the settings folder, in a sticky folder, deleted during the run and made again by another account", [](const Paths& p) {
         own(p.config, kRoot, kRoot, 01777);
         folder(p.settings, kUser, kUser, 0700);
     }, at(&Paths::settings, Why::Missing), kDone, at(&Paths::settings, Why::OtherOwner), false, {.meanwhile = [](const Paths& p) {
         if (!fileIs(p.settings, kUser, kUser, 0700)) return;
         fs::remove_all(p.settings);
         folder(p.settings, kOther, kOther, 0777);
     }}},
    {"a full disk", kAsIs, at(&Paths::settings, Why::Full), at(&Paths::program, Why::Full), at(&Paths::settings, Why::Full),
     false, {.sizeLimit = 8}},
    {"a home under another account's folder", [](const Paths& p) { own(p.top, kOther, kOther, 0755); },
     at(&Paths::top, Why::OtherOwner), kDone, at(&Paths::top, Why::OtherOwner), false},

    // Setups others make: nothing of theirs is read or written through.
    {"another account's link at the forecast's name, in a folder open to all", [](const Paths& p) {
         own(p.program, kUser, kUser, 0777);
         link(p.victim, p.file, kOther);
     }, kDone, at(&Paths::file, Why::OthersLink), kNoInPlace, false},
    {"the same, in a sticky folder open to all", [](const Paths& p) {
         own(p.program, kRoot, kRoot, 01777);
         link(p.victim, p.file, kOther);
     }, kDone, at(&Paths::file, Why::OthersLink), kNoInPlace, false},
    {"another account's hard link to the user's file at the forecast's name", [](const Paths& p) {
         own(p.program, kUser, kUser, 0777);
         fs::remove(p.file);
         put(p.victim, "[S]\nk=old\n", kUser, kUser, 0644);
         fs::create_hard_link(p.victim, p.file);
     }, kDone, kDone, kNoInPlace, false},
    {"another account's pipe at the forecast's name, in a sticky folder", [](const Paths& p) {
         own(p.program, kRoot, kRoot, 01777);
         fs::remove(p.file);
         ASSERT_EQ(::mkfifo(p.file.c_str(), 0666), 0);
         own(p.file, kOther, kOther, 0666);
     }, kDone, at(&Paths::file, Why::NotAFile), kNoInPlace, false},
    {"another account's link at ~/.config, to a folder of the user's with the user's settings", [](const Paths& p) {
         folder(p.home + "/dots/config/Zentrafo", kUser, kUser, 0700);
         put(p.home + "/dots/config/Zentrafo/settings.ini", kRootsSettings, kUser, kUser, 0600);
         link(p.home + "/dots/config", p.config, kOther);
     }, at(&Paths::config, Why::OtherOwner), kDone, at(&Paths::config, Why::OtherOwner), false},
    {"the settings folder another account made first, open to all, in a sticky folder, with his link to the user's file",
     [](const Paths& p) {
         own(p.config, kRoot, kRoot, 01777);
         folder(p.settings, kOther, kOther, 0777);
         put(p.home + "/other.ini", kRootsSettings, kUser, kUser, 0644);
         link(p.home + "/other.ini", p.settings + "/settings.ini", kOther);
         put(p.home + "/" + fs::path(p.rootsTemporary).filename().string(), "mine\n", kUser, kUser, 0644);
     }, at(&Paths::settings, Why::OtherOwner), kDone, at(&Paths::settings, Why::OtherOwner), false,
     {.after = [](const Paths& p) { EXPECT_TRUE(fs::exists(p.home + "/" + fs::path(p.rootsTemporary).filename().string())); }}},
    {"another account's settings, planted while the settings folder lay open", [](const Paths& p) {
         folder(p.settings, kUser, kUser, 0777);
         put(p.settings + "/settings.ini", "[data]\nlangue=1\n", kOther, kOther, 0644);
     }, kDone, kDone, kDone, true, {.after = [](const Paths& p) {
         EXPECT_TRUE(modeOf(p.settings) == 0755 && fs::exists(p.settings + "/other-account-settings-0.ini")); }}},
    {"another member's settings in a settings folder a shared group may write", [](const Paths& p) {
         shared(p);
         put(p.settings + "/settings.ini", "[data]\nlangue=1\n", kMember, kTeam, 0644);
     }, at(&Paths::config, Why::OthersMayWrite), kDone, at(&Paths::config, Why::OthersMayWrite), false},
    {"another member's link there, to the user's file", [](const Paths& p) {
         shared(p);
         put(p.victim, "[data]\nlangue=1\n", kUser, kUser, 0644);
         link(p.victim, p.settings + "/settings.ini", kMember);
     }, at(&Paths::config, Why::OthersMayWrite), kDone, at(&Paths::config, Why::OthersMayWrite), false},
    {"another member's entry there at the name of the forecast's recovery copy", [](const Paths& p) {
         shared(p);
         put(p.settings + "/" + platform::in_place::copyNameOf(p.file), "theirs\n", kMember, kTeam, 0644);
     }, at(&Paths::config, Why::OthersMayWrite), kDone, at(&Paths::config, Why::OthersMayWrite), false},
    {"another member's hard link there, to the user's forecast the group shares", [](const Paths& p) {
         shared(p);
         put(p.victim, "[data]\nlangue=1\n", kUser, kTeam, 0664);
         fs::create_hard_link(p.victim, p.settings + "/settings.ini");
     }, at(&Paths::config, Why::OthersMayWrite), kDone, at(&Paths::config, Why::OthersMayWrite), false},
    // A run as root with the user's HOME (sudo): nothing under that home is made, read,
    // changed or removed, whatever links the user put there.
    {"a run as root, nothing made yet", kAsIs, kAdminElsewhere, kDone, kAdminElsewhere, false,
     {.account = kRoot, .after = [](const Paths& p) { EXPECT_FALSE(fs::exists(p.settings)); }}},
    {"a run as root, ~/.config a link of the user's to root's folder open to all", [](const Paths& p) {
         link(p.scratch, p.config, kUser); }, kAdminElsewhere, kDone, kAdminElsewhere, false,
     {.account = kRoot}},
    {"a run as root, ~/.config/Zentrafo a link of the user's to root's folder open to all", [](const Paths& p) {
         link(p.scratch, p.settings, kUser); }, kAdminElsewhere, kDone, kAdminElsewhere, false,
     {.account = kRoot}},
    {"a run as root, settings.ini a link of the user's to root's file", [](const Paths& p) {
         folder(p.settings, kUser, kUser, 0700);
         link(p.rootsFile, p.settings + "/settings.ini", kUser);
     }, kAdminElsewhere, kDone, kAdminElsewhere, false, {.account = kRoot, .after = [](const Paths& p) {
         EXPECT_EQ(std::distance(fs::directory_iterator(p.settings), fs::directory_iterator()), 1); }}},
};

// The plain home: the user's, ~/.config 0700 without the program's folder yet, and the user's
// forecast in the user's program folder with root's leftovers beside it; root's file and root's
// folder open to all, and a file of the user's that no save may write.
void plainHome(const Paths& p) {
    own(p.top, kRoot, kRoot, 0755);
    folder(p.home, kUser, kUser, 0755);
    folder(p.config, kUser, kUser, 0700);
    folder(p.program, kUser, kUser, 0755);
    put(p.file, "[S]\nk=old\n", kUser, kUser, 0644);
    put(p.victim, "mine\n", kUser, kUser, 0644);
    put(p.rootsFile, kRootsSettings, kRoot, kRoot, 0600);
    folder(p.scratch, kRoot, kRoot, 01777);
    for (const std::string& leftover : {p.rootsPart, p.rootsTemporary}) put(leftover, "root's\n", kRoot, kRoot, 0644);
}

// A folder that takes no new file while this lives: write-protected, or for root, whom no
// mode stops, immutable.
struct NoNewFiles {
    const std::string dir;
    const bool root;
    const unsigned mode = modeOf(dir);
    const bool ok = root ? std::system(("chattr +i " + dir).c_str()) == 0 : ::chmod(dir.c_str(), mode & ~0222u) == 0;
    ~NoNewFiles() { root ? (void)std::system(("chattr -i " + dir).c_str()) : (void)::chmod(dir.c_str(), mode); }
};

class Setups : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        SKIP_UNLESS_ROOT();
        plainHome(p);
    }

    // The exit status of `body`, given the settings as a start of the program by the row's
    // account judged them; the row's `meanwhile` runs once they are judged.
    template <class Body> int atStart(Body body) {
        const auto& also = GetParam().also;
        return testing_support::statusOfChild([&] {
            int judged[2];
            if (::pipe(judged) != 0) return 91;
            const pid_t other = also.meanwhile ? ::fork() : -1;
            if (other == 0) {
                char c;
                if (::read(judged[0], &c, 1) == 1) also.meanwhile(p);
                ::_exit(0);
            }
            if (!(also.alsoIn ? testing_support::becomeAccount(also.account, {also.alsoIn})
                              : testing_support::becomeAccount(also.account)))
                return 90;
            const rlimit limit{also.sizeLimit, also.sizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            platform::Settings settings = platform::Settings::inFolder(p.settings);
            platform::setRecoveryFolder(settings.place());
            platform::recoverUnfinishedSaves({p.file, settings.filePath()});
            platform::removeLeftover(p.rootsPart, settings.place());
            if (other > 0 && (::write(judged[1], "j", 1) != 1 || ::waitpid(other, nullptr, 0) != other)) return 92;
            return body(settings);
        });
    }
    // Whether what happened is `expected`, the message naming the right place.
    bool met(bool done, const Outcome& expected, const char* what) const {
        const platform::SaveFailure& f = platform::lastSaveFailure();
        const bool ok = done == !expected.named && (done || (f.why == expected.why && f.folder == p.*expected.named));
        if (!ok) std::fprintf(stderr, "%s: done %d, why %d, named %s\n", what, done, int(f.why), f.folder.c_str());
        return ok;
    }
    // A save of the forecast, then what the file holds; another account's pipe stays as it
    // was, and no one reads from it.
    void save(const std::string& value, const Outcome& expected) {
        const bool plain = fs::is_regular_file(p.file);
        const std::string before = plain ? slurp(p.file) : "";
        EXPECT_EQ(atStart([&](auto&) { return met(platform::writeIni(p.file, "S", "k", value), expected, "save") ? 0 : 1; }), 0);
        if (plain) EXPECT_EQ(slurp(p.file), expected.named ? before : "[S]\nk=" + value + "\n");
        else EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(p.file)));
    }
    // A rewrite in place killed once its old content is kept; then `state` written over the
    // file, as the cut rewrite or a later save left it.
    void cutAt(const std::string& state) {
        EXPECT_EQ(atStart([&](auto&) {
                      platform::onRecoveryCopyKept = [] { ::raise(SIGKILL); };
                      return platform::writeIni(p.file, "S", "k", "cut") ? 0 : 1;
                  }),
                  -1);
        std::ofstream(p.file, std::ios::binary | std::ios::trunc) << state;
    }

    const Paths p;
};

TEST_P(Setups, SettingsSavesAndCutSavesAreWhatTheUserExpects) {
    const Row& s = GetParam();
    ASSERT_NO_FATAL_FAILURE(s.arrange(p));
    const std::string victim = slurp(p.victim);

    // A setting: kept for the next run, or the one box naming the folder at fault; the run
    // keeps it meanwhile. The folder is judged at the start; a disk that refuses the write, or a
    // folder gone since, says so at the setting, and once the disk takes writes again the next
    // setting stores every value.
    const bool disk = s.setting.why == Why::ReadOnly || s.setting.why == Why::Full || s.setting.why == Why::Missing;
    EXPECT_EQ(atStart([&](platform::Settings& settings) {
                  if (settings.get("data", "langue", "0") != s.also.languageRead) return 1;
                  if (!met(settings.set("data", "langue", "2"), s.setting, "setting") || settings.get("data", "langue") != "2")
                      return 2;
                  // Another value refused, then a third stored: the file holds every value of the run.
                  if (s.also.mend && settings.set("data", "reduit", "1")) return 4;
                  if (s.also.mend) s.also.mend(p);
                  if (s.also.mend && !met(settings.set("data", "pseudo", "Zizou"), kDone, "a third setting")) return 4;
                  return met(settings.keepable(), disk ? kDone : s.setting, "start") ? 0 : 3;
              }),
              0);
    EXPECT_EQ(atStart([&](auto&) { return platform::Settings::inFolder(p.settings).get("data", "langue", "0") == "2" ? 1 : 0; }),
              s.setting.named && !s.also.mend ? 0 : 1);

    save("renamed", s.byRename);
    if (s.inPlace) {
        const NoNewFiles closed{fs::canonical(p.file).parent_path(), s.also.account == kRoot}; // a link's target's
        ASSERT_TRUE(closed.ok);
        save("in place", *s.inPlace);
        if (s.cutPutBack) {
            // Cut with the shorter new content over the old, not yet cut to its length: put back.
            const std::string before = slurp(p.file), cut = "[S]\nk=cut\n";
            cutAt(cut + before.substr(cut.size()));
            EXPECT_EQ(std::count_if(fs::directory_iterator(p.settings), fs::directory_iterator(), [](const auto& e) {
                          return e.path().filename().string().rfind("unfinished-", 0) == 0;
                      }),
                      1);
            EXPECT_EQ(atStart([&](auto&) { return platform::readWholeFile(p.file) == before ? 0 : 1; }), 0);
            EXPECT_EQ(slurp(p.file), before);
            // Cut again, then saved by someone who could not see the copy, the two contents
            // mixed inside one sector: that save counts.
            const std::string mix = cut.substr(0, 7) + before.substr(7);
            cutAt(mix);
            EXPECT_EQ(atStart([&](auto&) { return platform::readWholeFile(p.file) == mix ? 0 : 1; }), 0);
            EXPECT_EQ(slurp(p.file), mix);
        }
    }
    EXPECT_EQ(slurp(p.victim), victim);
    EXPECT_EQ(slurp(p.rootsFile), kRootsSettings);
    EXPECT_TRUE(modeOf(p.scratch) == 01777 && fs::is_empty(p.scratch));
    EXPECT_TRUE(fs::exists(p.rootsPart) && fs::exists(p.rootsTemporary));
    s.also.after(p);
}

INSTANTIATE_TEST_SUITE_P(, Setups, ::testing::ValuesIn(kSetups), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.what; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

// The user's forecast a link of the user's, in the user's folder open to all; another account
// swaps its own link, to another file of the user's, with it, again and again: no save lands there.
TEST(SwappedLinks, NoSaveWritesThroughALinkSwappedInMeanwhile) {
    SKIP_UNLESS_ROOT();
    const Paths p;
    plainHome(p);
    own(p.program, kUser, kUser, 0777);
    fs::rename(p.file, p.home + "/Zentrafo.ini");
    link(p.home + "/Zentrafo.ini", p.file, kUser);
    link(p.victim, p.program + "/theirs", kOther);
    const pid_t racer = ::fork();
    if (racer == 0) {
        while (testing_support::becomeAccount(kOther))
            ::renameat2(AT_FDCWD, p.file.c_str(), AT_FDCWD, (p.program + "/theirs").c_str(), RENAME_EXCHANGE);
        ::_exit(0);
    }
    EXPECT_EQ(testing_support::statusOfChild([&] {
                  int saved = 0;
                  if (!testing_support::becomeAccount(kUser)) return 2;
                  platform::setRecoveryFolder(p.settings); // the victim's folder takes no new file: rewritten in place
                  // A busy machine can leave the racer swapping through 300 saves in a row:
                  // go on, within a bound, until one lands.
                  for (int i = 0; i < 300 || (!saved && i < 30000); ++i)
                      saved += platform::writeIni(p.file, "S", "k", std::to_string(i));
                  return saved > 0 ? 0 : 1;
              }),
              0);
    EXPECT_TRUE(testing_support::endChild(racer));
    EXPECT_EQ(slurp(p.victim), "mine\n");
}

} // namespace
