#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "kill_during_saves.h"
#include "platform/ini.h"
#include "window_fixture.h"

using testwin::WindowTest;
using zentrafo::Marlix;

namespace {

TEST_F(WindowTest, FirstStartIsFrenchWithTheImageBoxTicked) {
    Marlix& w = start();
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(w.LangueCourante, 0);
    EXPECT_EQ(w.views.Command1->caption(), "Phase Finale");
    EXPECT_EQ(w.fichier.Command3->caption(), "Sauve");
    EXPECT_EQ(w.online.ChChargeImage->value(), 1);
    EXPECT_EQ(w.online.Frame20->left(), 45);
    EXPECT_EQ(w.fichier.Text1->text(), "Zentrafo");
    EXPECT_TRUE(w.ChargementFini);
    // The language applied at start-up is stored at once.
    EXPECT_EQ(settingsStore().get("data", "langue"), "0");
    EXPECT_EQ(settingsStore().get("data", "ChImage", "none"), "none");
}

TEST_F(WindowTest, StoredLanguageAndImageChoiceAreApplied) {
    struct Case {
        const char* langue;
        const char* image;
        int lang;
        int value;
    };
    const Case cases[] = {
        {"2", "0", 2, 0},   {"1", "1", 1, 1},  {"1.5", "2", 2, 2}, {"0.5", "1", 0, 1}, // halves to even
        {"abc", "x", 0, 0}, {"", "", 0, 0},    {"7", "5", 0, 1},   {"-3", "-1", 0, 1}, // out of range: defaults
        {"99999999999999999999999", "1e400", 0, 1}, // a huge number; "1e400" reads 1
    };
    for (const Case& c : cases) {
        auto store = settingsStore();
        ASSERT_TRUE(store.set("data", "langue", c.langue));
        ASSERT_TRUE(store.set("data", "ChImage", c.image));
        Marlix& w = start();
        EXPECT_EQ(w.LangueCourante, c.lang) << c.langue;
        EXPECT_EQ(w.online.ChChargeImage->value(), c.value) << c.image;
        EXPECT_EQ(settingsStore().get("data", "langue"), std::to_string(c.lang)) << c.langue;
    }
    ASSERT_TRUE(settingsStore().set("data", "langue", "2"));
    EXPECT_EQ(start().fichier.Command3->caption(), "Guardar");
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(WindowTest, LanguageIsInPlaceBeforeTheFileAsksItsQuestion) {
    ASSERT_TRUE(settingsStore().set("data", "langue", "1"));
    folder.put("Zentrafo.ini", "[CV]\n0=1.2\n[Mess]\n1=Tonight!\n");
    fake.nextAnswer = platform::AnsNo;
    Marlix& w = start();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_NE(fake.boxes[0].text.find("new version"), std::string::npos) << fake.boxes[0].text;
    // No: the start goes on, and the message of the day is the loaded file's.
    EXPECT_TRUE(w.ChargementFini);
    EXPECT_EQ(w.langage.Label10->caption(), "Tonight!");
}

TEST_F(WindowTest, StartUpLoadsTheFileQuietlyThenRecalculates) {
    folder.put("Zentrafo.ini",
            "[ButA]\n0=3\n1=0\n2=1\n3=1\n4=2\n5=0\n6=0\n7=2\n8=1\n9=0\n10=2\n11=2\n"
            "[EquipA]\n1=France\n2=Corée\n3=Norvège\n4=Nigeria\n");
    Marlix& w = start();
    auto& a = w.groups.group('A');
    // France wins twice and loses once: 6 points and first place in a complete group.
    EXPECT_EQ(a.points[1]->caption(), "6");
    EXPECT_EQ(a.team[1]->top(), zentrafo::kRowTop[0]);
    EXPECT_EQ(a.fixture[0]->caption(), "France");
    EXPECT_EQ(a.team[1]->foreColor(), forms::rgb(255, 0, 0));
    // From now on an edit recomputes at once.
    a.score[1]->setText("5");
    EXPECT_EQ(a.points[1]->caption(), "3");
}

TEST_F(WindowTest, ClosingKeepsDisplayModeAndIdentityButNeverErases) {
    auto store = settingsStore();
    ASSERT_TRUE(store.set("data", "pseudo", "ancien"));
    ASSERT_TRUE(store.set("data", "mdp", "motdepasse"));
    Marlix& w = start();

    w.Form_Unload(); // empty boxes, normal display mode
    EXPECT_EQ(store.get("data", "pseudo"), "ancien");
    EXPECT_EQ(store.get("data", "mdp"), "motdepasse");
    EXPECT_EQ(store.get("data", "reduit"), "0");

    forms::Control& mode = *w.demarrage.Command14;
    mode.setCaption("Passer en mode normal");
    w.online.Text2[1]->setText("Zizou 10");
    w.Form_Unload();
    EXPECT_EQ(store.get("data", "reduit"), "1");
    EXPECT_EQ(store.get("data", "pseudo"), "Zizou 10");
    EXPECT_EQ(store.get("data", "mdp"), "motdepasse");

    mode.setCaption("Passer en mode réduit");
    w.online.Text2[0]->setText(" p@ss ");
    w.Form_Unload();
    EXPECT_EQ(store.get("data", "reduit"), "0");
    EXPECT_EQ(store.get("data", "mdp"), " p@ss ");

    mode.setCaption("autre chose");
    ASSERT_TRUE(store.set("data", "reduit", "1"));
    w.Form_Unload();
    EXPECT_EQ(store.get("data", "reduit"), "1");
}

TEST_F(WindowTest, SettingsLiveInTheUsersPrivateConfigurationFolder) {
    SKIP_UNLESS_ROOT();
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("XDG_CONFIG_HOME", (root + "/xdg").c_str(), 1);
    // Made open to every account by some other hand: closed to others' writes. Another
    // account had planted there a link to one of the user's files as the settings: the
    // settings start afresh and the file stays as it was.
    const std::string folder = root + "/xdg/Zentrafo", victim = root + "/program-of-the-user";
    std::filesystem::create_directories(folder);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    std::ofstream(victim) << "#!/bin/sh\necho mine\n";
    std::filesystem::create_symlink(victim, folder + "/settings.ini");
    ASSERT_EQ(::lchown((folder + "/settings.ini").c_str(), 1234, 1234), 0);
    {
        Marlix w(fake);
        w.Form_Load();
        w.online.Text2[0]->setText("secret");
        w.Form_Unload();
    }
    // Where the settings folder is another account's (root's, from a run under sudo), nothing
    // is kept, and the start of the user's next run says so once, naming that folder, though
    // the language it reads there is the one it would store; the run's settings last until it
    // closes.
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        ASSERT_TRUE(testing_support::giveToOrdinaryUser(e.path()));
    ASSERT_TRUE(testing_support::giveToOrdinaryUser(root));
    ASSERT_EQ(::chown(folder.c_str(), 0, 0), 0);
    EXPECT_EQ(testing_support::statusAsOrdinaryUser([&] {
                  Marlix w(fake);
                  w.Form_Load();
                  const bool told = fake.boxes.size() == 1;
                  w.online.Text2[1]->setText("Zizou");
                  w.Form_Unload();
                  if (!told || w.reglages.get("pseudo") != "Zizou") return 1;
                  w.langage.lang_Click(1);
                  w.langage.lang_Click(2);
                  w.Form_Unload();
                  const std::string& text = fake.boxes[0].text;
                  const bool right = fake.boxes.size() == 1 && text.find(":\n" + folder + "\n") != std::string::npos &&
                                     text.find("appartient à un autre compte") != std::string::npos;
                  if (!right) std::cerr << text << "\n";
                  return right ? 0 : 2;
              }),
              0);
    saved ? ::setenv("XDG_CONFIG_HOME", saved->c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");

    const std::string file = root + "/xdg/Zentrafo/settings.ini";
    EXPECT_EQ(platform::readIni(file, "data", "langue"), "0");
    EXPECT_EQ(platform::readIni(file, "data", "mdp"), "secret");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_EQ(testing_support::slurp(victim), "#!/bin/sh\necho mine\n");
    EXPECT_TRUE(std::filesystem::is_symlink(folder + "/other-account-settings-0.ini"));
}

} // namespace
