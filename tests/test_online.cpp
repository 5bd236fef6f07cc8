// Online services seen from the window: the results update through its dialog, the
// contest image, sending, the publisher mode and the links. Downloads are answered by
// the fake platform; the real transfers are tested against a local server in tests/e2e.
#include <gtest/gtest.h>

#include <iostream>

#include "kill_during_saves.h"
#include "main/module_setting.h"
#include "platform/files.h"
#include "online/fichier_publie.h"
#include "online/frec.h"
#include "window_fixture.h"

using testwin::WindowTest;
using zentrafo::Marlix;

namespace {

namespace fs = std::filesystem;

const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                       "\x00\x02\x02\x44\x01\x00;",
                       35);
const std::string kUserFile = "[ButA]\n0=3\n1=1\n[EquipA]\n1=Mine\n";
// The sections the publisher adds to a saved forecast.
const std::string kPublishedSections = "[Lien]\n0=Site\n1=https://example.org/news\n[Mess]\n0=Bonjour\n[CV]\n0=1.1\n";

struct OnlineTest : WindowTest {
    // What the server answers for each path; a missing path fails like a dead server.
    std::map<std::string, std::string> served;
    void SetUp() override {
        fake.onDownload = [this](const std::string& url, const std::string& file) {
            const std::string path = url.substr(url.find('/', url.find("//") + 2));
            auto it = served.find(path);
            if (it == served.end()) return platform::Download::Failed;
            std::ofstream(file, std::ios::binary) << it->second;
            return platform::Download::Stored;
        };
    }
    // The user presses the update button and answers the dialog.
    void update(bool confirm) {
        fake.onModal = [this, confirm](forms::Form& f) {
            ASSERT_EQ(f.name(), "FREC");
            zentrafo::FREC* d = w->online.frec();
            ASSERT_NE(d, nullptr);
            (confirm ? d->Command1 : d->Command2)->click();
        };
        w->online.Command8->click();
    }
    bool has(const std::string& name) const { return fs::exists(program + "/" + name); }
    std::string downloadInProgress() const { return settingsStore().folder() + "/Zentrafo.ini.part"; }
    bool downloadLeft() const { return has("Zentrafo.ini.part") || fs::exists(downloadInProgress()); }
    // A forecast as the program saves it, with team A1 named and match 1 of group A scored;
    // the folder is left without a forecast.
    std::string savedForecast(const std::string& team, const std::string& score) {
        fs::remove(iniPath());
        Marlix& m = start();
        m.groups.group('A').team[1]->setText(team);
        m.groups.group('A').score[1]->setText(score);
        EXPECT_TRUE(m.fichier.SauveFichier());
        const std::string saved = folder.read("Zentrafo.ini");
        fs::remove(iniPath());
        return saved;
    }
};

TEST_F(OnlineTest, DialogShowsTheLanguageTextsAndCancelChangesNothing) {
    folder.put("Zentrafo.ini", kUserFile);
    Marlix& m = start();
    served["/Zentrafo.ini"] = kPublishedSections;
    fake.onModal = [&](forms::Form& f) {
        zentrafo::FREC* d = m.online.frec();
        EXPECT_EQ(f.caption, m.online.Command8->caption());
        EXPECT_EQ(d->Command1->caption(), m.MSG[16]);
        EXPECT_EQ(d->Command2->caption(), m.MSG[17]);
        EXPECT_EQ(d->Label1[1]->caption(), m.MSG[4]);
        EXPECT_EQ(d->Label1[0]->caption(), m.MSG[5]);
        EXPECT_EQ(d->Image2->picture(), "logo2019") << "the edition's logo";
        d->Command2->click();
    };
    m.online.Command8->click();
    EXPECT_EQ(m.online.frec(), nullptr);
    EXPECT_EQ(fake.unloadedForms, std::vector<std::string>{"FREC"});
    EXPECT_TRUE(fake.downloads.empty());
    EXPECT_EQ(folder.read("Zentrafo.ini"), kUserFile);
    EXPECT_EQ(m.groups.group('A').team[1]->text(), "Mine");

    // Loaded afresh each time, in the language of the moment.
    m.langage.lang_Click(1);
    std::string caption;
    fake.onModal = [&](forms::Form& f) {
        caption = f.caption;
        m.online.frec()->Command2->click();
    };
    m.online.Command8->click();
    EXPECT_EQ(caption, "Update");
}

TEST_F(OnlineTest, SuccessfulUpdateLoadsThePublishedFileAndMarksTheButton) {
    const std::string published = savedForecast("Published", "2") + kPublishedSections;
    // The forecast is a link the user made to a file kept elsewhere: the update writes there.
    fs::create_directory(program + "/kept");
    folder.put("kept/mine.ini", kUserFile);
    fs::create_symlink("kept/mine.ini", iniPath());
    const auto ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(iniPath(), ownerOnly);
    folder.put("Zentrafo.BU", "[ButA]\n0=9\n"); // stale, from an update cut short long ago
    Marlix& m = start();
    m.online.Image14->setVisible(true);
    served["/Zentrafo.ini"] = published;
    served["/imvosk.php"] = kGif;
    update(true);

    EXPECT_EQ(folder.read("Zentrafo.ini"), published);
    EXPECT_EQ(fs::status(iniPath()).permissions() & fs::perms::all, ownerOnly);
    EXPECT_TRUE(fs::is_symlink(iniPath()));
    EXPECT_FALSE(has("Zentrafo.BU"));
    EXPECT_FALSE(downloadLeft());
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(m.groups.group('A').team[1]->text(), "Published");
    EXPECT_EQ(m.groups.group('A').score[1]->text(), "2");
    EXPECT_EQ(m.online.Lablien->caption(), "Site");
    EXPECT_EQ(m.langage.Label10->caption(), "Bonjour");
    EXPECT_TRUE(m.ResultatsRecus);
    EXPECT_TRUE(m.fichier.Command3->enabled());
    EXPECT_EQ(settingsStore().get("data", "FirstUse"), "1");
    EXPECT_FALSE(m.online.Command8->fontBold());
    EXPECT_EQ(m.online.Command8->backColor(), 0xFFFFFFu);
    EXPECT_EQ(m.online.frec(), nullptr);
    ASSERT_FALSE(fake.busy.empty());
    EXPECT_FALSE(fake.busy.back());
    // The image in use is fetched once, after the results.
    ASSERT_EQ(fake.downloads.size(), 2u);
    EXPECT_NE(fake.downloads[1].find("/imvosk.php"), std::string::npos);
    EXPECT_FALSE(m.online.Image14->picture().empty());

    // The next save unlocks sending.
    m.fichier.Command3->click();
    EXPECT_TRUE(m.online.Command16->enabled());
}

TEST_F(OnlineTest, NewerVersionAnsweredYesEndsWithThePublishedFileInPlace) {
    const std::string newer = "[CV]\n0=9.9\n" + savedForecast("Published", "5");
    folder.put("Zentrafo.ini", kUserFile);
    Marlix& m = start();
    served["/Zentrafo.ini"] = newer;
    fake.nextAnswer = platform::AnsYes;
    EXPECT_THROW(update(true), platform::ProcessEnded);
    EXPECT_EQ(folder.read("Zentrafo.ini"), newer);
    EXPECT_FALSE(has("Zentrafo.BU"));
    EXPECT_EQ(fake.opened.back(), zentrafo::AdresseServeur() + "/foot.php");
    EXPECT_EQ(settingsStore().get("data", "FirstUse", "unset"), "unset");
    (void)m;
}

TEST_F(OnlineTest, StartUpPutsBackABackupAndRemovesPartialDownloads) {
    folder.put("Zentrafo.BU", kUserFile);
    folder.put("Zentrafo.ini.part", "[EquipA]\n1=Cut");
    fs::create_directories(settingsStore().folder());
    fs::copy_file(iniPath() + ".part", downloadInProgress());
    folder.put("imgtmp.gif.part", kGif.substr(0, 9));
    EXPECT_EQ(start().groups.group('A').team[1]->text(), "Mine");
    EXPECT_EQ(folder.read("Zentrafo.ini"), kUserFile);
    EXPECT_FALSE(has("Zentrafo.BU") || downloadLeft() || has("imgtmp.gif.part"));

    // Beside the forecast, which no update leaves less than whole, a backup goes: the user
    // who deletes the forecast later gets a fresh one, not this older content.
    folder.put("Zentrafo.BU", "[EquipA]\n1=Older\n");
    EXPECT_EQ(start().groups.group('A').team[1]->text(), "Mine");
    EXPECT_EQ(folder.read("Zentrafo.ini"), kUserFile);
    EXPECT_FALSE(has("Zentrafo.BU"));

    // A folder at the download's name, put there while the settings folder lay open to all,
    // is set aside: the next update lands.
    served["/Zentrafo.ini"] = savedForecast("Published", "2") + kPublishedSections;
    folder.put("Zentrafo.ini", kUserFile);
    fs::create_directories(downloadInProgress() + "/planted");
    fs::permissions(settingsStore().folder(), fs::perms::all);
    start();
    EXPECT_TRUE(fs::is_directory(settingsStore().folder() + "/in-the-way-Zentrafo.ini.part-0"));
    update(true);
    EXPECT_EQ(w->groups.group('A').team[1]->text(), "Published");
    EXPECT_FALSE(downloadLeft());
}

// Updated by its owner (not root, who may write anything), a forecast is replaced, read-only
// or in a folder closed to new files, and keeps its mode; where both are closed, the
// save's own failure message says so in the window's language, naming the forecast and the
// program's folder, and the file is as it was. In a folder open to all, another account's
// link or file at the backup's name is neither written through nor written: the update goes
// on without a backup, and no other account ever holds a copy of the private forecast.
TEST_F(OnlineTest, UpdateReplacesTheForecastWhereverTheSaveCould) {
    SKIP_UNLESS_ROOT();
    const std::string published = savedForecast("Published", "2") + kPublishedSections;
    served["/Zentrafo.ini"] = published;
    using P = fs::perms;
    const P readOnly = P::owner_read | P::group_read | P::others_read, closed = P::owner_read | P::owner_exec;
    const struct {
        const char* what;
        P folderMode, fileMode;
        bool replaced;
        int language = 0;
        std::string said = "n'ont pas pu être enregistrés dans le fichier\u00A0:\n",
                    button = "«\u00A0Mise\u00A0à\u00A0jour\u00A0»";
        bool othersBackupLink = false; // another account put a link at the backup's name
        bool othersBackupFile = false; // or his own empty file, open to all
        bool foreignGroup = false;     // the user's own file, of a group the user is not in
        bool refusedBefore = false;    // a save of it refused earlier in the run, for another cause
    } cases[] = {{"read-only forecast", P::owner_all, readOnly, true},
                 {.what = "the same, of a group the user is not in", .folderMode = P::owner_all, .fileMode = readOnly,
                  .replaced = true, .foreignGroup = true},
                 {"folder closed to new files", closed, P::owner_read | P::owner_write, true},
                 {"both closed", closed, readOnly, false},
                 {"both closed, in English", closed, readOnly, false, 1, "could not be saved to the file:\n", "“Update”"},
                 {"both closed, in Spanish", closed, readOnly, false, 2, "no se pudieron guardar en el archivo:\n",
                  "«Actualizar»"},
                 {.what = "another account's link as the backup, in a folder open to all", .folderMode = P::all,
                  .fileMode = P::owner_read | P::owner_write, .replaced = true, .othersBackupLink = true},
                 {.what = "another account's file as the backup, in a sticky folder", .folderMode = P::all | P::sticky_bit,
                  .fileMode = P::owner_read | P::owner_write, .replaced = true, .othersBackupFile = true},
                 {.what = "an unreadable forecast", .folderMode = P::owner_all, .fileMode = P::none, .replaced = false,
                  .refusedBefore = true}};
    const std::string victim = root + "/notes.txt", backup = program + "/Zentrafo.BU";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        folder.put("Zentrafo.ini", kUserFile);
        fs::permissions(iniPath(), c.fileMode);
        for (const auto& e : fs::recursive_directory_iterator(root))
            ASSERT_TRUE(testing_support::giveToOrdinaryUser(e.path()));
        ASSERT_TRUE(testing_support::giveToOrdinaryUser(root));
        if (c.foreignGroup) {
            ASSERT_EQ(::chown(iniPath().c_str(), static_cast<uid_t>(-1), 0), 0);
        }
        fs::permissions(program, c.folderMode);
        const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(24);
        if (c.othersBackupLink) {
            std::ofstream(victim) << "mine\n";
            ASSERT_TRUE(testing_support::giveToOrdinaryUser(victim));
            fs::create_symlink(victim, backup);
        } else if (c.othersBackupFile) {
            std::ofstream{backup};
            fs::permissions(backup, P::all);
            fs::last_write_time(backup, longAgo);
        }
        ASSERT_TRUE(!fs::exists(fs::symlink_status(backup)) || ::lchown(backup.c_str(), 1234, 1234) == 0);
        EXPECT_EQ(testing_support::statusAsOrdinaryUser([&] {
                      start().langage.lang_Click(c.language);
                      fake.boxes.clear(); // the start has named an unreadable forecast
                      if (c.refusedBefore && platform::writeWholeFile(iniPath(), "x")) return 2;
                      update(true);
                      if (c.replaced) return fake.boxes.empty() ? 0 : 1;
                      if (fake.boxes.size() != 1) return 1;
                      const std::string& told = fake.boxes[0].text;
                      auto says = [&told](const std::string& part) { return told.find(part) != std::string::npos; };
                      const bool right = says(c.said + iniPath() + "\n") &&
                                         says("\n" + (c.refusedBefore ? iniPath() : program) + "\n") &&
                                         says(c.button) && (c.language == 0 || !says("pas pu"));
                      if (!right) std::cerr << told << "\n";
                      return right ? 0 : 1;
                  }),
                  0);
        fs::permissions(program, P::owner_all);
        EXPECT_EQ(folder.read("Zentrafo.ini"), c.replaced ? published : kUserFile);
        EXPECT_EQ(fs::status(iniPath()).permissions() & P::all, c.fileMode);
        if (c.othersBackupLink) {
            EXPECT_EQ(folder.read("../notes.txt"), "mine\n");
            EXPECT_TRUE(fs::is_symlink(backup));
        }
        // His file is never written, not even for a moment.
        EXPECT_TRUE(!c.othersBackupFile || (fs::file_size(backup) == 0 && fs::last_write_time(backup) == longAgo));
        fs::remove(backup);
        EXPECT_FALSE(has("Zentrafo.BU") || downloadLeft());
        fs::permissions(iniPath(), P::owner_all);
    }
}

TEST_F(OnlineTest, ContestImageIsReplacedOnlyByAPictureThatDecodes) {
    Marlix& m = start();
    served["/imvosk.php"] = kGif;
    m.online.Image13->click();
    const std::string shown = m.online.Image13->picture();
    EXPECT_EQ(fs::path(shown).filename(), "imgtmp.gif");
    EXPECT_EQ(m.online.Image14->picture(), shown);
    EXPECT_EQ(m.online.Image14->width(), 15); // a picture of one pixel
    EXPECT_EQ(folder.read("imgtmp.gif"), kGif);

    for (const char* body : {"<html>Not found</html>", ""}) {
        served["/imvosk.php"] = body;
        m.online.Command20[0]->click();
        served.erase("/imvosk.php");
        m.online.Command20[0]->click();
        EXPECT_EQ(m.online.Image13->picture(), shown);
        EXPECT_EQ(m.online.Image14->picture(), shown);
        EXPECT_EQ(folder.read("imgtmp.gif"), kGif);
        EXPECT_FALSE(has("imgtmp.gif.part"));
    }
}

TEST_F(OnlineTest, SendingPutsThePathOnTheClipboardAndEncodesTheCredentials) {
    Marlix& m = start();
    m.online.Command16->setEnabled(true);
    m.online.Command16->click();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Pseudo ???");
    EXPECT_EQ(m.online.Text2[1]->backColor(), 0x0000FFu);
    EXPECT_TRUE(fake.opened.empty());
    EXPECT_TRUE(fake.clipboard.empty());

    m.online.Text2[1]->setText("Zoé & co");
    m.online.Text2[0]->setText("a+b #1=2%");
    m.online.Command16->click();
    EXPECT_EQ(fake.clipboard, program + "/Zentrafo.ini");
    EXPECT_EQ(fake.opened.back(),
              zentrafo::AdresseServeur() + "/EXPZentrafo.php?mdp=a%2Bb%20%231%3D2%25&pseudo=Zo%C3%A9%20%26%20co");
    m.online.Text2[0]->setText("");
    m.fichier.Text1->setText("Marlix2015");
    m.online.Command20[1]->click();
    EXPECT_EQ(fake.clipboard, program + "/Kestrava.ini");
    EXPECT_EQ(fake.opened.back(), zentrafo::AdresseServeur() + "/expELIMZentrafo.php?mdp=&pseudo=Zo%C3%A9%20%26%20co");
    m.online.Command17->click();
    EXPECT_EQ(fake.opened.back(), program + "/Marlix2015.ini");
}

TEST_F(OnlineTest, ClosingThePanelStoresTheIdentityAndReloadsTheImage) {
    ASSERT_TRUE(settingsStore().set("data", "pseudo", "Ancien"));
    Marlix& m = start();
    m.online.Frame20->setVisible(true);
    m.online.ChChargeImage->setValue(0);
    m.online.Command19->click();
    EXPECT_FALSE(m.online.Frame20->visible());
    EXPECT_TRUE(m.online.Image14->visible());
    EXPECT_EQ(settingsStore().get("data", "pseudo"), "Ancien"); // an empty box erases nothing
    EXPECT_EQ(settingsStore().get("data", "mdp", "unset"), "unset");
    EXPECT_EQ(settingsStore().get("data", "ChImage"), "0");
    EXPECT_EQ(fake.downloads.size(), 1u);
}

TEST_F(OnlineTest, PublisherModeOpensOnlyForTheAccessCode) {
    struct Case {
        const char* stored;
        int button, shift;
        const char* answer;
        bool asked, opened;
    };
    const Case cases[] = {
        {"", 2, 0, "4vasq", false, false},    {"", 2, 1, "4vasq", true, true},  {"", 2, 1, "4VASQ", true, false},
        {"", 2, 1, "", true, false},          {"", 4, 1, "4vasq", false, false}, {"4vasq", 4, 0, "", false, true},
        {"secret", 2, 1, "4vasq", true, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(settingsStore().set("data", "mdp", c.stored));
        Marlix& m = start();
        fake.inputs.clear();
        fake.inputAnswer = c.answer;
        m.views.Fraide->setVisible(true);
        forms::EventArgs press{c.button, c.shift};
        m.views.Label2->raise(forms::Ev::MouseDown, press);
        const std::string what = std::string(c.stored) + "/" + std::to_string(c.button) + "/" + c.answer;
        ASSERT_EQ(fake.inputs.size(), c.asked ? 1u : 0u) << what;
        if (c.asked) {
            EXPECT_TRUE(fake.inputs[0].masked);
            EXPECT_EQ(fake.inputs[0].prompt, "Mot de passe ?");
            EXPECT_EQ(fake.inputs[0].def, c.stored);
        }
        EXPECT_EQ(m.online.Frame20->visible(), c.opened) << what;
        EXPECT_EQ(m.views.Fraide->visible(), !c.opened) << what;
        EXPECT_TRUE(fake.downloads.empty());
    }
}

TEST_F(OnlineTest, PublisherFieldsComeFromTheFilesAndGoBackInOneWrite) {
    folder.put("Zentrafo.ini", "[Lien]\n0=Site\n[Mess]\n0=Bonjour\n1=Hello\n");
    folder.put("Kestrava.ini", "[Mess]\n0=Qualifs\n");
    ASSERT_TRUE(settingsStore().set("data", "mdp", "4vasq"));
    ASSERT_TRUE(settingsStore().set("data", "pseudo", "Auteur"));
    Marlix& m = start();
    m.online.Label2_MouseDown(2, 0);
    EXPECT_EQ(m.online.Text2[0]->text(), "4vasq");
    EXPECT_EQ(m.online.Text2[1]->text(), "Auteur");
    EXPECT_EQ(m.online.Text2[2]->text(), "1.1");
    EXPECT_EQ(m.online.Text2[3]->text(), "-");
    EXPECT_EQ(m.online.Text4[0]->text(), "Site");
    EXPECT_EQ(m.online.Text4[1]->text(), "-");
    EXPECT_EQ(m.online.Text3[1]->text(), "Hello");
    m.qualifiers.FraElim->setVisible(true);
    m.online.Label2_MouseDown(2, 0);
    EXPECT_EQ(m.online.Text3[0]->text(), "Qualifs");
    EXPECT_EQ(m.online.Text3[1]->text(), "-");

    m.online.Text2[3]->setText("1.2");
    m.online.Text3[2]->setText("Hola");
    m.online.Command18->click();
    EXPECT_EQ(m.online.Text2[3]->backColor(), 0x0000FFu);
    EXPECT_EQ(zentrafo::LireIni(fake, "Zentrafo", "CV", "0"), "1.2");
    EXPECT_EQ(zentrafo::LireIni(fake, "Zentrafo", "Mess", "2"), "Hola");
    EXPECT_EQ(zentrafo::LireIni(fake, "Kestrava", "Mess", "0"), "Qualifs");
    EXPECT_EQ(zentrafo::LireIni(fake, "Kestrava", "Mess", "2"), "Hola");
    EXPECT_TRUE(fake.boxes.empty());

    // A file that cannot be written is reported, and the other one is written all the same.
    fs::remove(program + "/Kestrava.ini");
    fs::create_directory(program + "/Kestrava.ini");
    m.online.Text3[2]->setText("¡Hola!");
    m.online.Command18->click();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_NE(fake.boxes[0].text.find("Kestrava.ini"), std::string::npos);
    EXPECT_EQ(zentrafo::LireIni(fake, "Zentrafo", "Mess", "2"), "¡Hola!");
}

TEST_F(OnlineTest, PressesOnTheContestImage) {
    Marlix& m = start();
    forms::Control& quit = *m.demarrage.Command5;
    forms::EventArgs left{1, 0}, right{2, 0}, shifted{1, 1};
    m.online.Image21->raise(forms::Ev::MouseDown, left);
    EXPECT_EQ(fake.downloads.size(), 1u);
    m.online.Image14->raise(forms::Ev::MouseDown, right);
    EXPECT_TRUE(m.online.Frame20->visible());
    EXPECT_GT(quit.zOrder(), m.online.Frame20->zOrder());
    EXPECT_TRUE(fake.inputs.empty());
    EXPECT_FALSE(m.online.Command16->enabled());
    m.online.Label17_6->raise(forms::Ev::MouseDown, shifted);
    EXPECT_TRUE(m.online.Command16->enabled());
    EXPECT_EQ(m.online.Shape9->backColor(), 0x00FF00u);
}

TEST_F(OnlineTest, BannerShowsOnHoverAndRestartsTheTimer) {
    Marlix& m = start();
    forms::Control* timer = m.infos.Timer1;
    timer->setEnabled(false);
    timer->setTag("5");
    m.online.Label25->raise(forms::Ev::MouseMove);
    EXPECT_TRUE(m.online.Image6->visible());
    EXPECT_TRUE(timer->timerEnabled());
    EXPECT_EQ(timer->tag(), "");
}

TEST_F(OnlineTest, EveryLinkOpensItsPage) {
    Marlix& m = start();
    const std::string site = zentrafo::AdresseServeur(), forum(zentrafo::kAdresseForum);
    const std::string don = std::string(zentrafo::kAdresseDon) +
                            "/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id=" + std::string(zentrafo::kBoutonDon) +
                            "&source=url";
    const std::vector<std::pair<forms::Control*, std::string>> links{
        {m.online.Image2, site + "/"},
        {m.online.Image5, site + "/"},
        {m.online.Label6[4], site + "/"},
        {m.online.Label9, site + "/foot.php"},
        {m.online.Label3, site + "/contacter.php?sub=Vosk%28f%29%20V1.1"},
        {m.online.Label4[0], forum + "/t145-trovanne-2012#986"},
        {m.online.Label4[1], forum + "/t146-mise-a-jour-trovanne"},
        {m.online.Label8, forum + "/t145-trovanne-2012#986"},
        {m.online.Image18[0], don},
        {m.online.Image18[1], don},
        {m.online.Label22[0], don},
        {m.online.Label22[2], don},
    };
    for (const auto& [control, address] : links) {
        fake.opened.clear();
        control->click();
        EXPECT_EQ(fake.opened, std::vector<std::string>{address}) << control->name() << control->index();
    }
    fake.opened.clear();
    m.online.Label6[3]->click();
    EXPECT_TRUE(fake.opened.empty());
}

TEST_F(OnlineTest, TheDownloadedLinkOpensOnlyWebAddresses) {
    Marlix& m = start();
    const std::vector<std::pair<std::string, bool>> tags{
        {"https://example.org/news?id=3#top", true}, {"HTTP://Example.org", true}, {"http://[::1]:8080/", true},
        {"", false}, {"file:///etc/passwd", false}, {"javascript:alert(1)", false}, {"/usr/bin/xterm", false},
        {"C:\\Windows\\calc.exe", false}, {"http://", false}, {"https:///path", false}, {"http://a.fr:x/", false},
        {"http://user@evil.example/", false}, {"http://a.fr/ rm", false}, {"ftp://a.fr/f", false},
    };
    for (const auto& [tag, opens] : tags) {
        fake.opened.clear();
        m.online.Lablien->setTag(tag);
        m.online.Lablien->click();
        EXPECT_EQ(fake.opened.size(), opens ? 1u : 0u) << tag;
    }
}

} // namespace
