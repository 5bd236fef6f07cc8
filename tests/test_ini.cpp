#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "kill_during_saves.h"
#include "private_folders.h"
#include "platform/files.h"
#include "platform/in_place_rewrite.h"
#include "platform/ini.h"

using platform::IniBatch;
using platform::IniFile;
using platform::readIni;
using platform::writeIni;
namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {
// Unlinking a path that holds this fails as on a disk turned read-only (unlink is
// interposed below for this test binary), once another program, when set, has written
// the file `writtenMeanwhile` in place without its lock.
std::string unlinkRefused, writtenMeanwhile;
} // namespace

extern "C" int unlink(const char* path) {
    if (!unlinkRefused.empty() && std::strstr(path, unlinkRefused.c_str())) {
        if (!writtenMeanwhile.empty()) std::ofstream(writtenMeanwhile, std::ios::binary | std::ios::trunc) << "[S]\nk=other\n";
        return errno = EROFS, -1;
    }
    return static_cast<int>(::syscall(SYS_unlinkat, AT_FDCWD, path, 0));
}

namespace {

class IniTest : public ::testing::Test {
protected:
    // Children, and the test itself, acting as an ordinary account must reach the folders.
    void SetUp() override {
        fs::permissions(folder.root, fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add);
        fs::create_directories(recovery);
    }
    void TearDown() override { platform::setRecoveryFolder({}); }

    void put(const std::string& bytes) { folder.put("Zentrafo.ini", bytes); }
    std::string content() const { return folder.read("Zentrafo.ini"); }
    // Anything a save left beside the file or in the recovery folder.
    std::vector<std::string> strays(const std::string& in = {}) const {
        std::vector<std::string> out;
        for (const std::string& d : {in.empty() ? dir : in, recovery})
            for (auto& e : fs::directory_iterator(d))
                if (e.path().filename() != "Zentrafo.ini") out.push_back(e.path().filename());
        return out;
    }
    // The next start of the program, as far as files go, by the user who saves.
    void nextStart() {
        inChild(0, [&] {
            platform::recoverUnfinishedSaves({file});
            return 0;
        });
    }
    void giveToUser(std::initializer_list<std::string> paths) const {
        for (const std::string& path : paths) ASSERT_TRUE(testing_support::giveToOrdinaryUser(path)) << path;
    }
    // Runs `body` in a child process as an ordinary account and checks the status it
    // exits with.
    template <class Body> void inChild(int expected, Body body) {
        EXPECT_EQ(testing_support::statusAsOrdinaryUser([&] {
                      platform::setRecoveryFolder(recovery);
                      return body();
                  }),
                  expected);
    }

    testing_support::ProgramFolder folder{false};
    const std::string dir = folder.program, file = folder.path("Zentrafo.ini"), recovery = folder.config + "/Zentrafo";
};

TEST_F(IniTest, ReadResultRules) {
    // Missing file: the default, or the empty text when none is given.
    EXPECT_EQ(readIni(file, "Score", "1", "-"), "-");
    EXPECT_EQ(readIni(file, "Score", "1"), "");
    EXPECT_EQ(readIni(file, "Score", "1", ""), "");

    put("[ButBAR]\n1=3\n2=\n3 = 4 \n[Other]\n4=x\n");
    EXPECT_EQ(readIni(file, "butbar", "1", "-"), "3");
    EXPECT_EQ(readIni(file, "BUTBAR", "2", "-"), "");  // stored empty beats the default
    EXPECT_EQ(readIni(file, "ButBAR", "3", "-"), "4"); // blanks around "=" and the value
    EXPECT_EQ(readIni(file, "ButBAR", "4", "-"), "-"); // key of another section
    EXPECT_EQ(readIni(file, "Missing", "1", "d"), "d");
    EXPECT_EQ(readIni(file, "Missing", "1"), "");

    // Nothing is cached: a file replaced between two calls is read afresh.
    put("[ButBAR]\n1=7\n");
    EXPECT_EQ(readIni(file, "ButBAR", "1", "-"), "7");
}

TEST_F(IniTest, LongValuesAreCutTo1023Characters) {
    put("[S]\na=" + std::string(1500, 'x') + "\nb=" + std::string(1023, 'y') + "\n");
    EXPECT_EQ(readIni(file, "S", "a"), std::string(1023, 'x'));
    EXPECT_EQ(readIni(file, "S", "b"), std::string(1023, 'y'));

    // Characters, not bytes: accented text is never cut inside a character.
    std::string e;
    for (int i = 0; i < 1500; ++i) e += "\xC3\xA9";
    ASSERT_TRUE(writeIni(file, "S", "c", e));
    EXPECT_EQ(readIni(file, "S", "c"), e.substr(0, 2 * 1023));
}

TEST_F(IniTest, WritesKeepEveryOtherLine) {
    ASSERT_TRUE(writeIni(file, "Score", "1", "2"));
    EXPECT_EQ(content(), "[Score]\n1=2\n");
    ASSERT_TRUE(writeIni(file, "Score", "2", "0"));
    EXPECT_EQ(content(), "[Score]\n1=2\n2=0\n");

    put("; made by hand\n[CV]\nV=1.1\n\n[Score]\n1 = 2\nnot an entry\n2=0\n; end of scores\n"
        "[Unknown]\nz=9\n");
    ASSERT_TRUE(writeIni(file, "score", "1", "5"));  // replaced in place, key spelling kept
    ASSERT_TRUE(writeIni(file, "SCORE", "3", "1"));  // new key after the section's last entry
    ASSERT_TRUE(writeIni(file, "Lien", "0", "http://x/y?a=b")); // new section at the end
    EXPECT_EQ(content(), "; made by hand\n[CV]\nV=1.1\n\n[Score]\n1 =5\nnot an entry\n2=0\n3=1\n"
                         "; end of scores\n[Unknown]\nz=9\n[Lien]\n0=http://x/y?a=b\n");
    EXPECT_EQ(readIni(file, "Lien", "0"), "http://x/y?a=b");
}

TEST_F(IniTest, EmptyValueKeepsTheKey) {
    ASSERT_TRUE(writeIni(file, "Score", "1", "3"));
    ASSERT_TRUE(writeIni(file, "Score", "1", ""));
    EXPECT_EQ(content(), "[Score]\n1=\n");
    EXPECT_EQ(readIni(file, "Score", "1", "-"), "");
}

TEST_F(IniTest, ToleratesMarksLineEndsNulAndLongLines) {
    std::string longLine(2'000'000, 'q');
    put("\xEF\xBB\xBF[A]\r\nk=v1\r\nno equals sign\r\n\r\nn=a\0b\n"s + longLine + "\n[B]\rm=w\rx\0=1\n"s +
        "[C]\nlast=end");
    EXPECT_EQ(readIni(file, "A", "k"), "v1");
    EXPECT_EQ(readIni(file, "A", "n"), "ab");
    EXPECT_EQ(readIni(file, "B", "m"), "w");
    EXPECT_EQ(readIni(file, "B", "x"), "1");
    EXPECT_EQ(readIni(file, "C", "last"), "end");

    // A rewrite is UTF-8 with LF only and keeps the long line whole.
    ASSERT_TRUE(writeIni(file, "A", "k", "v2"));
    std::string c = content();
    EXPECT_EQ(c.find('\r'), std::string::npos);
    EXPECT_EQ(c.rfind("\xEF\xBB\xBF", 0), std::string::npos);
    EXPECT_NE(c.find("\n" + longLine + "\n"), std::string::npos);
    EXPECT_EQ(readIni(file, "A", "k"), "v2");
    EXPECT_EQ(readIni(file, "C", "last"), "end");

    // Saved as UTF-16 by an editor, in either byte order: read as such, saved as UTF-8.
    for (bool littleEndian : {true, false}) {
        SCOPED_TRACE(littleEndian);
        std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t u : std::u16string(u"[EquipA]\r\n1=Cor\u00E9e \U0001F3C6\r\n2=B\r\n")) {
            const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
            bytes += littleEndian ? std::string{lo, hi} : std::string{hi, lo};
        }
        put(bytes);
        EXPECT_EQ(readIni(file, "EquipA", "1"), "Cor\xC3\xA9" "e \xF0\x9F\x8F\x86");
        ASSERT_TRUE(writeIni(file, "EquipA", "2", "Chili"));
        EXPECT_EQ(content(), "[EquipA]\n1=Cor\xC3\xA9" "e \xF0\x9F\x8F\x86\n2=Chili\n");
    }
}

TEST_F(IniTest, TypedTextCannotBreakTheFile) {
    ASSERT_TRUE(writeIni(file, "Eq", "1", "France\r\n[Score]\n1=9\r2=9"));
    EXPECT_EQ(readIni(file, "Eq", "1"), "France [Score] 1=9 2=9");
    EXPECT_EQ(readIni(file, "Score", "1", "-"), "-");
    EXPECT_EQ(content(), "[Eq]\n1=France [Score] 1=9 2=9\n");

    // Blanks and quotes the reader would strip come back exactly as typed.
    for (std::string v : {" lead", "trail ", "\"quoted\"", "'single'", "\"", " ", "a \"b\" c", "x=y;z"}) {
        ASSERT_TRUE(writeIni(file, "Eq", "2", v));
        EXPECT_EQ(readIni(file, "Eq", "2", "-"), v);
    }
}

TEST_F(IniTest, FailedSaveLeavesTheOldFile) {
    IniFile doc;
    doc.set("S", "k", "v");
    EXPECT_FALSE(doc.saveAtomic(dir + "/no/such/folder/x.ini"));

    // A folder in place of the file: nothing replaced, nothing left behind.
    fs::create_directory(dir + "/Zentrafo.ini");
    EXPECT_FALSE(doc.saveAtomic(file));
    EXPECT_FALSE(writeIni(file, "S", "k", "v"));
    EXPECT_EQ(readIni(file, "S", "k", "d"), "d");
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_TRUE(strays().empty());
    fs::remove(file);

    // Up to the reading bound a save is written and read back; past it, refused.
    const std::string nearBound = "[S]\nk=old\n;" + std::string(platform::kMaxFileBytes - 20, 'x') + "\n";
    put(nearBound);
    EXPECT_FALSE(writeIni(file, "S", "k", std::string(12, 'n')));
    EXPECT_TRUE(content() == nearBound);
    ASSERT_TRUE(writeIni(file, "S", "k", std::string(11, 'n'))); // kMaxFileBytes exactly
    EXPECT_EQ(readIni(file, "S", "k"), std::string(11, 'n'));

    // A full disk, simulated with a file size limit that leaves room for the recovery
    // copy only: in a folder open to new files and in one closed to them. The limit's
    // signal keeps its default action, which would end the program.
    for (unsigned folderMode : {0755u, 0555u}) {
        SCOPED_TRACE(folderMode);
        put("[S]\nk=old\n");
        giveToUser({dir, file, folder.config, recovery});
        ASSERT_EQ(::chmod(dir.c_str(), folderMode), 0);
        inChild(0, [&] {
            ::signal(SIGXFSZ, SIG_DFL);
            const rlim_t size = content().size() + file.size() + 1;
            rlimit lim{size, size};
            ::setrlimit(RLIMIT_FSIZE, &lim);
            IniBatch batch(file);
            batch.set("S", "k", std::string(10000, 'n'));
            const bool committed = batch.commit();
            return !committed && batch.pending() == 1 ? 0 : 1;
        });
        ASSERT_EQ(::chmod(dir.c_str(), 0700), 0);
        EXPECT_EQ(content(), "[S]\nk=old\n");
        EXPECT_TRUE(strays().empty());
    }
}

TEST_F(IniTest, UnreadableFileIsNeverReplaced) {
    // A file the user may not read, in a folder the user may write: a write must not
    // take it for empty and replace it.
    put("[S]\nk=old\nother=kept\n");
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    inChild(0, [&] { return !writeIni(file, "S", "k", "new") && readIni(file, "S", "k", "d") == "d" ? 0 : 1; });
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    EXPECT_EQ(content(), "[S]\nk=old\nother=kept\n");
}

TEST_F(IniTest, SaveKeepsPermissionsAndBatchWritesOnce) {
    put("[S]\nk=old\n");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    IniBatch batch(file);
    for (int i = 0; i < 184; ++i) batch.set("G" + std::to_string(i % 6), std::to_string(i), std::to_string(i * 7));
    EXPECT_TRUE(fs::exists(file) && content() == "[S]\nk=old\n"); // nothing before commit
    ASSERT_TRUE(batch.commit());
    EXPECT_EQ(batch.pending(), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(readIni(file, "S", "k"), "old");
    EXPECT_EQ(readIni(file, "G3", "183"), "1281");
    EXPECT_EQ(readIni(file, "g0", "0"), "0");
    EXPECT_TRUE(strays().empty());
}

TEST_F(IniTest, SavesInPlaceHoldAgainstLocksAndACopyThatStays) {
    // In a folder closed to new files: a lock any reader may keep holds start and save
    // briefly, whatever signals the program inherits blocked, then the save fails; no locks,
    // it goes on. CopyStays: the disk of the settings turns read-only before the copy can be
    // removed; the save says so, naming the settings folder, and the file holds the old
    // content at once, or what another program wrote meanwhile, or when a file size limit
    // cuts the rewrite one sector in, the old content.
    enum Lock { HeldElsewhere, HeldEverySignalBlocked, Unsupported, CopyStays, CopyStaysWrittenMeanwhile, CutBySizeLimit };
    const struct {
        const char* what;
        bool saved;
        Lock lock;
    } cases[] = {{"file locked by another process", false, HeldElsewhere},
                 {"the same, every signal blocked", false, HeldEverySignalBlocked},
                 {"file system without locks", true, Unsupported},
                 {"a file size limit cutting the rewrite before its new content is whole", false, CutBySizeLimit},
                 {"the copy not removable once the file is rewritten", false, CopyStays},
                 {"the same, another program writing the file meanwhile", false, CopyStaysWrittenMeanwhile}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool cut = c.lock == CutBySizeLimit;
        const std::string old = "[S]\nk=old\n" + (cut ? ";" + std::string(600, 'x') + "\n" : ""),
                          left = c.lock == CopyStaysWrittenMeanwhile ? "[S]\nk=other\n" : old;
        put(old);
        giveToUser({folder.config, recovery, dir, file});
        ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
        const pid_t holder = c.lock == HeldElsewhere || c.lock == HeldEverySignalBlocked
                                 ? testing_support::holdLock(file, LOCK_EX)
                                 : 0;
        ASSERT_NE(holder, -1);
        inChild(c.saved ? 0 : 1, [&] {
            if (c.lock == Unsupported) platform::lockCall = [](int, int) { return errno = ENOLCK, -1; };
            if (c.lock == CopyStays || c.lock == CopyStaysWrittenMeanwhile) unlinkRefused = "/unfinished-";
            if (c.lock == CopyStaysWrittenMeanwhile) writtenMeanwhile = file;
            static constexpr rlimit kSector{512, 512};
            if (cut) platform::onRecoveryCopyKept = [] { ::setrlimit(RLIMIT_FSIZE, &kSector); };
            sigset_t all;
            sigfillset(&all);
            if (c.lock == HeldEverySignalBlocked) ::sigprocmask(SIG_BLOCK, &all, nullptr);
            const auto start = std::chrono::steady_clock::now();
            platform::recoverUnfinishedSaves({file});
            if (readIni(file, "S", "k", "unread") != "old") return 3;
            IniBatch batch(file);
            batch.set("S", "k", "new");
            // Not a measure of speed: a lock waited for until its holder ends shows here.
            const bool committed = batch.commit(), waited = std::chrono::steady_clock::now() - start > std::chrono::seconds(8);
            // Nor may the wait's own signal cut another blocking call short afterwards.
            struct sigaction after {};
            ::sigaction(SIGURG, nullptr, &after);
            const platform::SaveFailure& failure = platform::lastSaveFailure();
            if (c.lock >= CopyStays &&
                (content() != left || readIni(file, "S", "k") != (c.lock == CopyStaysWrittenMeanwhile ? "other" : "old") ||
                 failure.folder != (cut ? dir : recovery) || failure.why != (cut ? platform::Why::Full : platform::Why::ReadOnly)))
                return 6;
            return waited ? 4 : after.sa_handler != SIG_DFL ? 5 : committed ? 0 : 1;
        });
        testing_support::endChild(holder);
        nextStart();
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
        EXPECT_EQ(content(), c.saved ? "[S]\nk=new\n" : left);
        // A copy that what was written since made stale is set aside at the next start.
        EXPECT_EQ(strays().size(), c.lock == CopyStaysWrittenMeanwhile ? 1u : 0u);
    }
}

TEST(IniFuzz, RandomBytesNeverBreakTheReader) {
    std::mt19937 rng(20190601);
    const std::string alphabet = "[]=;\"' \t\r\n\0abcSk\xEF\xBB\xBF\xC3\xA9\xE9\x80\xFF"s;
    for (int iter = 0; iter < 4000; ++iter) {
        std::string bytes(rng() % 300, ' ');
        for (char& c : bytes) c = rng() % 4 ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng());
        IniFile doc = IniFile::parse(bytes);
        std::string once = doc.serialize();
        ASSERT_EQ(IniFile::parse(once).serialize(), once) << "iteration " << iter;

        // Whatever surrounds it, a value set is the value read, before and after a save.
        std::string v(rng() % 40, ' ');
        for (char& c : v) c = static_cast<char>(' ' + rng() % 95);
        doc.set("S", "k", v);
        ASSERT_EQ(doc.get("s", "K"), v) << "iteration " << iter;
        ASSERT_EQ(IniFile::parse(doc.serialize()).get("S", "k"), v) << "iteration " << iter;
    }
}

TEST_F(IniTest, KilledSavesOfTwoCopiesLeaveOneWholeDocument) {
    SKIP_UNLESS_ROOT();
    // Two forecasts with the same keys in the same order: either saved over the other is it.
    auto section = [](size_t i) { return "Score" + std::to_string(i % 8); };
    auto value = [](int d, size_t i) { return d ? "Equipe num\xC3\xA9ro " + std::to_string(i) : std::to_string(i % 5); };
    IniFile doc[2];
    for (int d = 0; d < 2; ++d)
        for (size_t i = 0; i < 184; ++i) doc[d].set(section(i), std::to_string(i), value(d, i));
    const std::string text[2] = {doc[0].serialize(), doc[1].serialize()};
    auto whole = [&](const std::optional<std::string>& s) { return s && (*s == text[0] || *s == text[1]); };
    // Two copies of the program save at once: one its forecast, the other, which starts
    // afresh each time, its own over the file it reads.
    auto copyOfTheProgram = [&](int round, bool starts) -> std::function<void(int)> {
        return [&, round, starts](int n) {
            if (n == round && !testing_support::becomeOrdinaryUser()) ::_exit(2);
            platform::setRecoveryFolder(recovery);
            if (!starts) return (void)doc[n % 2].saveAtomic(file);
            platform::recoverUnfinishedSaves({file});
            IniBatch batch(file);
            for (size_t i = 0; i < 184; ++i) batch.set(section(i), std::to_string(i), value((n + 1) % 2, i));
            batch.commit();
        };
    };
    std::mt19937 rng(7);
    platform::setRecoveryFolder(recovery);
    // Reads as the user who saves: only the owner of the recovery copies trusts them.
    auto readAsUser = [&] {
        (void)!::seteuid(testing_support::kOrdinaryUser);
        const bool mixed = !whole(platform::readWholeFile(file));
        return (void)!::seteuid(0), mixed;
    };
    // A folder where the save makes a temporary file, and one closed to new files where it
    // rewrites the file in place; reads meanwhile (with pauses, so the saves run) see no mix.
    for (unsigned folderMode : {0755u, 0555u}) {
        SCOPED_TRACE(folderMode);
        ASSERT_TRUE(doc[0].saveAtomic(file));
        giveToUser({dir, file, folder.config, recovery});
        ASSERT_EQ(::chmod(dir.c_str(), folderMode), 0);
        int saw[2] = {0, 0}, leftSomething = 0, mixes = 0;
        for (int round = 0; round < 150; ++round) {
            ASSERT_NO_FATAL_FAILURE(testing_support::killDuringSaves(
                round, 3000, rng, {copyOfTheProgram(round, false), copyOfTheProgram(round, true)},
                [&] { mixes += readAsUser(), ::usleep(100); }));
            leftSomething += !strays().empty();
            nextStart();
            const std::string now = content();
            ASSERT_TRUE(whole(now) && mixes == 0) << "round " << round << ", " << mixes << " mixes read";
            saw[now == text[1]]++;
            ASSERT_TRUE(strays().empty()) << "round " << round;
        }
        // Both documents were caught on disk, and kills left work for the next start, so
        // the kills did land during saves.
        EXPECT_GT(saw[0], 0);
        EXPECT_GT(saw[1], 0);
        EXPECT_GT(leftSomething, 0);
    }
    // A rewrite killed once it kept its copy: the copy holds text[0]; the file is then
    // saved as text[1], so that a copy put back shows.
    ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
    inChild(0, [&] { return doc[0].saveAtomic(file) ? 0 : 1; });
    EXPECT_EQ(testing_support::statusAsOrdinaryUser([&] {
                  platform::setRecoveryFolder(recovery);
                  platform::onRecoveryCopyKept = [] { ::raise(SIGKILL); };
                  return doc[1].saveAtomic(file) ? 0 : 1;
              }),
              -1);
    std::string copyName, copy0;
    for (auto& e : fs::directory_iterator(recovery))
        if (e.path().filename().string()[0] != '.') copyName = e.path().filename(), copy0 = testing_support::slurp(e.path());
    ASSERT_FALSE(copyName.empty()) << "the killed rewrite left no recovery copy";
    const std::string own = recovery + "/" + copyName, other = recovery + "/unfinished-0123456789abcdef.ini";
    // A file of the user's that no copy may write, and a whole copy that names it.
    const std::string victim = folder.root + "/authorized_keys";
    std::ofstream(victim) << "mine\n";
    giveToUser({victim});
    std::string namingVictim = copy0;
    namingVictim.replace(copy0.find(file), file.size(), victim);
    // What the start does with the copy, as the read before it shows: the copy's old
    // content where the file holds a state the killed rewrite could have left, the file
    // otherwise. Entries of other kinds, planted by another account before the folder was
    // closed: a link is never followed, a folder is set aside even when every usual name
    // for that is taken, and the save goes on.
    enum Kind { File, Link, Folder };
    const std::string hash = copyName.substr(11, 16), stem = recovery + "/damaged-" + hash + "-";
    IniFile savedSince = IniFile::parse(text[1]);
    savedSince.set(section(0), "0", "saved since by another account");
    const unsigned user = testing_support::kOrdinaryUser, stranger = 1234;
    const size_t sector = 512; // what a disk writes whole
    ASSERT_GT(text[0].size(), 2 * sector);
    const struct {
        const char* what;
        std::string at, bytes;
        unsigned owner;
        bool bySave;
        unsigned folderMode;
        const char* aside; // the name it is set aside under; "" when left, nullptr when put back
        Kind kind = File;
        bool othersFolder = false;
        std::string fileNow{}; // text[1] when empty
    } planted[] = {
        {"lost its last byte, met by the start", own, copy0.substr(0, copy0.size() - 1), user, false, 0755, "damaged"},
        {"lost its last byte, met by the next save", own, copy0.substr(0, copy0.size() - 1), user, true, 0755, "damaged"},
        {"unchecked, naming the file", own, file + '\0' + "[S]\nk=planted\n", user, false, 0755, "damaged"},
        {"whole, naming another file", own, namingVictim, user, false, 0755, "damaged"},
        {"unchecked, of another name and file", other, victim + '\0' + "planted\n", user, false, 0755, ""},
        {"whole, of another name and file", other, namingVictim, user, false, 0755, ""},
        {"whole, made by another account", own, copy0, stranger, false, 0755, "other-account"},
        {"whole, left by a run as root", own, copy0, 0, false, 0755, nullptr},
        {"the user's own, in a folder that lay open to all", own, copy0, user, false, 0777, nullptr},
        {"whole, the file saved since by another account", own, copy0, user, false, 0755, "superseded", File, false,
         savedSince.serialize()},
        {"the same, met by the next save", own, copy0, user, true, 0755, "superseded", File, false,
         savedSince.serialize()},
        {"whole, the file's sectors written out of order by a power cut", own, copy0, user, false, 0755, nullptr, File,
         false, text[1].substr(0, sector) + text[0].substr(sector, sector) + text[1].substr(2 * sector)},
        {"whole, the file saved since with each byte the old or the new one's", own, copy0, user, false, 0755,
         "superseded", File, false, text[1].substr(0, sector + 1) + text[0].substr(sector + 1, sector - 1) + text[1].substr(2 * sector)},
        {"a link, in another account's folder open to all", own, victim, stranger, false, 0777, "", Link, true},
        {"a folder, every usual name taken, met by the next save", own, "", stranger, true, 0755, "other-account", Folder},
    };
    for (const auto& p : planted) {
        SCOPED_TRACE(p.what);
        const std::string fileNow = p.fileNow.empty() ? text[1] : p.fileNow;
        put(fileNow);
        if (p.kind == Link) fs::create_symlink(p.bytes, p.at);
        if (p.kind == Folder) {
            fs::create_directory(p.at);
            std::ofstream(p.at + "/inside") << "x";
            for (int n = 0; n < 100; ++n)
                std::ofstream(recovery + "/other-account-" + hash + "-" + std::to_string(n) + ".ini") << "taken";
        }
        if (p.kind == File) std::ofstream(p.at, std::ios::binary) << p.bytes;
        ASSERT_EQ(::lchown(p.at.c_str(), p.owner, p.owner), 0);
        if (p.othersFolder) {
            ASSERT_EQ(::chown(recovery.c_str(), 0, 0), 0);
        }
        ASSERT_EQ(::chmod(recovery.c_str(), p.folderMode), 0);
        const std::string expected = p.bySave ? text[0] : p.aside ? fileNow : text[0];
        // The start first closes a folder that lay open: until then no copy there counts.
        if (!p.bySave && p.folderMode == 0755) inChild(0, [&] { return platform::readWholeFile(file) == expected ? 0 : 1; });
        if (p.bySave) inChild(0, [&] { return doc[0].saveAtomic(file) ? 0 : 1; });
        else nextStart();
        giveToUser({recovery});
        ASSERT_EQ(::chmod(recovery.c_str(), 0755), 0);
        EXPECT_TRUE(content() == expected);
        EXPECT_EQ(testing_support::slurp(victim), "mine\n");
        EXPECT_EQ(fs::exists(fs::symlink_status(p.at)), p.aside && !*p.aside);
        EXPECT_EQ(strays().size(), p.kind == Folder ? 101u : p.aside ? 1u : 0u);
        if (p.aside && *p.aside)
            for (const std::string& name : strays()) {
                EXPECT_EQ(name.rfind(std::string(p.aside) + "-" + hash + "-", 0), 0u) << name;
            }
        for (auto& e : fs::directory_iterator(recovery)) fs::remove_all(e.path());
    }

    // Cut short while another process only reads the file: the start shows the whole copy,
    // not the cut file, and keeps it while the lock is held; a save by rename then takes
    // its place for good, and the next start puts nothing older back.
    put(text[1].substr(0, sector) + text[0].substr(sector));
    std::ofstream(own, std::ios::binary) << copy0;
    giveToUser({own});
    IniFile edited = IniFile::parse(text[0]);
    edited.set(section(0), "0", "9");
    const pid_t reader = testing_support::holdLock(file, LOCK_SH);
    ASSERT_NE(reader, -1);
    nextStart();
    inChild(0, [&] { return platform::readWholeFile(file) == text[0] ? 0 : 1; });
    EXPECT_TRUE(fs::exists(own));
    ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
    inChild(0, [&] { return writeIni(file, section(0), "0", "9") ? 0 : 1; });
    testing_support::endChild(reader);
    nextStart();
    EXPECT_TRUE(content() == edited.serialize());
    EXPECT_TRUE(strays().empty());
    ASSERT_EQ(::chmod(dir.c_str(), 0700), 0);

    // The temporary file of a save still running is not a leftover; those of a killed
    // download of the results or of the contest image are.
    const std::string running = dir + "/.Zentrafo.ini.tmp-" + std::to_string(::getpid()) + "-0";
    const std::string dead = std::to_string(testing_support::deadPid());
    const std::string downloads[] = {recovery + "/.Zentrafo.ini.part.tmp-" + dead + "-3",
                                     dir + "/.imgtmp.gif.part.tmp-" + dead + "-4"};
    for (const std::string& f : {running, downloads[0], downloads[1]}) std::ofstream(f) << "x";
    giveToUser({downloads[0], downloads[1]});
    nextStart();
    EXPECT_TRUE(fs::exists(running));
    for (const std::string& f : downloads) EXPECT_FALSE(fs::exists(f)) << f;
}

TEST_F(IniTest, ReadsMeetOneWholeVersionWhileAnotherProcessRewritesInPlace) {
    // Small files on a disk in memory: a whole rewrite on another processor takes little
    // longer than a read.
    std::string base = fs::is_directory("/dev/shm") ? "/dev/shm/zentrafo-XXXXXX" : "/tmp/zentrafo-XXXXXX";
    ASSERT_TRUE(::mkdtemp(base.data()));
    const testing_support::RemovedAtEnd removed{base};
    const std::string program = base + "/program", path = program + "/Zentrafo.ini", settings = base + "/Zentrafo";
    fs::create_directories(program);
    fs::create_directories(settings);
    const std::string versions[2] = {"[S]\nk=" + std::string(300, 'a') + "\n",
                                     "[S]\nk=" + std::string(900, 'b') + "\n"};
    std::ofstream(path, std::ios::binary) << versions[0];
    giveToUser({base, program, path, settings});
    ASSERT_EQ(::chmod(program.c_str(), 0555), 0);
    auto asUser = [&] {
        platform::setRecoveryFolder(settings);
        return testing_support::becomeOrdinaryUser();
    };
    const pid_t writer = ::fork();
    if (writer == 0) {
        if (!asUser()) ::_exit(2);
        for (int n = 0;; ++n) platform::writeWholeFile(path, versions[n % 2]);
    }
    ASSERT_GT(writer, 0);
    EXPECT_EQ(testing_support::statusOfChild([&] {
                  if (!asUser()) return 2;
                  int seen[2] = {0, 0}, failed = 0, reads = 0;
                  for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
                       std::chrono::steady_clock::now() < end; ++reads) {
                      const auto got = platform::readWholeFile(path);
                      if (!got) ++failed;
                      else if (*got == versions[0] || *got == versions[1]) ++seen[*got == versions[1]];
                      else return 1; // a mix
                  }
                  return seen[0] && seen[1] && failed * 100 <= reads ? 0 : 3;
              }),
              0);
    testing_support::endChild(writer);
}

} // namespace
