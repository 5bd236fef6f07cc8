// Start-up as a user meets it: the first view chosen by the clock, the welcome panel,
// the stored display mode and identity, the quit button, and a start that survives
// damaged input.
#include <gtest/gtest.h>

#include "platform/ini.h"
#include "window_fixture.h"

using testwin::WindowTest;
using zentrafo::Marlix;

namespace {

TEST_F(WindowTest, TheClockChoosesTheFirstView) {
    struct Case {
        platform::DateTime now;
        bool knockout, dayPanel, qualifiers;
    };
    const Case cases[] = {
        {{2019, 3, 30, 23, 59, 59}, false, false, true},
        {{2019, 3, 31, 0, 0, 0}, false, false, false},
        {{2019, 3, 31, 0, 0, 1}, false, true, false},
        {{2019, 6, 19, 23, 59, 59}, false, true, false},
        {{2019, 6, 20, 0, 0, 0}, false, false, false},
        {{2019, 6, 20, 0, 0, 1}, true, false, false},
        {{2026, 1, 1, 12, 0, 0}, true, false, false},
    };
    for (const Case& c : cases) {
        fake.clock = c.now;
        Marlix& w = start();
        const std::string at = std::to_string(c.now.month) + "/" + std::to_string(c.now.day);
        EXPECT_EQ(w.knockout.Frame9->visible(), c.knockout) << at;
        EXPECT_EQ(w.views.Command1->caption(), c.knockout ? w.MSG[2] : w.MSG[1]) << at;
        EXPECT_EQ(w.views.Frame18->visible(), c.dayPanel) << at;
        EXPECT_EQ(w.infos.Timer1->timerEnabled(), c.dayPanel) << at;
        EXPECT_EQ(w.qualifiers.Label24[2]->visible(), c.qualifiers) << at;
        // The day and month lists open on today.
        EXPECT_EQ(w.infos.Combo3->listCount(), 31);
        EXPECT_EQ(w.infos.Combo4->list(11), "12");
        EXPECT_EQ(w.infos.Combo3->text(), (c.now.day < 10 ? "0" : "") + std::to_string(c.now.day)) << at;
        EXPECT_EQ(w.infos.Combo4->text(), (c.now.month < 10 ? "0" : "") + std::to_string(c.now.month)) << at;
    }
}

TEST_F(WindowTest, WelcomePanelGreetsAFirstTimeUserForFiveTicks) {
    Marlix& w = start();
    auto& d = w.demarrage;
    ASSERT_TRUE(d.Frame21->visible());
    ASSERT_TRUE(d.Timer2->timerEnabled());
    EXPECT_EQ(d.Frame21->left(), 0);
    for (int tick = 1; tick <= 4; ++tick) {
        d.Timer2->raise(forms::Ev::Timer);
        EXPECT_TRUE(d.Frame21->visible()) << tick;
    }
    EXPECT_EQ(d.Timer2->tag(), "5");
    d.Timer2->raise(forms::Ev::Timer);
    EXPECT_FALSE(d.Frame21->visible());
    EXPECT_FALSE(d.Timer2->timerEnabled());
    EXPECT_EQ(d.Timer2->tag(), "6");

    ASSERT_TRUE(settingsStore().set("data", "FirstUse", "1"));
    Marlix& again = start();
    EXPECT_FALSE(again.demarrage.Frame21->visible());
    EXPECT_FALSE(again.demarrage.Timer2->timerEnabled());
}

TEST_F(WindowTest, StartUpWritesVersionCaptionPointersAndTheWindowCaption) {
    fake.major = 2;
    fake.minor = 14;
    ASSERT_TRUE(settingsStore().set("data", "langue", "1"));
    Marlix& w = start();
    EXPECT_EQ(w.demarrage.Label7->caption(), "Dravello Féminine 2019 Version: 2.14");
    EXPECT_EQ(w.online.Label6[4]->caption(), "Pellomir");
    EXPECT_EQ(w.form.caption, w.views.Label2->caption());
    EXPECT_EQ(w.form.caption, "Dravello Women's 2019");
    EXPECT_EQ(w.demarrage.Command5->caption(), "Quit");
    EXPECT_EQ(w.infos.Command15->caption(), "Calendar");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(w.langage.lang[static_cast<size_t>(i)]->mouseIcon(), "hand");
    EXPECT_EQ(w.online.Label6[4]->mouseIcon(), "hand");
    EXPECT_EQ(w.online.Lablien->mouseIcon(), "");
    // The bracket's copies of the broadcaster logos, and the toolbar pictures.
    EXPECT_EQ(w.infos.ImChaine[5]->picture(), w.infos.ImChaine[1]->picture());
    EXPECT_EQ(w.infos.ImChaine[9]->picture(), w.infos.ImChaine[8]->picture());
    EXPECT_FALSE(w.infos.ImChaine[9]->picture().empty());
    EXPECT_EQ(w.qualifiers.Command23->picture(), w.fichier.Command3->picture());
}

TEST_F(WindowTest, ColumnsOfEveryGroupLineUpOnGroupA) {
    Marlix& w = open();
    auto& gs = w.groups;
    gs.group('B').points[2]->setLeft(5);
    gs.group('F').header[1]->setLeft(7);
    gs.group('A').difference[3]->setLeft(9);
    w.Form_Load();
    EXPECT_EQ(gs.group('B').points[2]->left(), gs.group('A').points[1]->left());
    EXPECT_EQ(gs.group('F').header[1]->left(), gs.group('A').header[1]->left());
    EXPECT_EQ(gs.group('A').difference[3]->left(), gs.group('A').difference[1]->left());
}

TEST_F(WindowTest, APseudonymShowsTheContestImageWithoutDownloadingWhenTicked) {
    ASSERT_TRUE(settingsStore().set("data", "pseudo", "Zizou"));
    Marlix& w = start();
    EXPECT_EQ(w.online.ChChargeImage->value(), 1);
    EXPECT_TRUE(w.qualifiers.Command22_5->visible());
    EXPECT_TRUE(w.online.Image14->visible());
    EXPECT_EQ(w.online.Image14->mouseIcon(), "hand");
    EXPECT_TRUE(fake.downloads.empty());

    ASSERT_TRUE(settingsStore().set("data", "pseudo", ""));
    Marlix& none = start();
    EXPECT_FALSE(none.qualifiers.Command22_5->visible());
    EXPECT_FALSE(none.online.Image14->visible());
}

TEST_F(WindowTest, ReducedModeIsStoredRestoredAndNeverDrifts) {
    ASSERT_TRUE(settingsStore().set("data", "reduit", "1"));
    Marlix& w = start();
    auto& d = w.demarrage;
    EXPECT_EQ(d.Command14->caption(), "Passer en mode normal");
    EXPECT_DOUBLE_EQ(w.form.zoom, 0.85);
    EXPECT_EQ(w.form.fontStep, -1);
    EXPECT_TRUE(w.infos.Terrain[10]->stretch());
    EXPECT_FALSE(w.online.Image13->stretch());
    EXPECT_FALSE(w.online.Image14->stretch());
    EXPECT_FALSE(w.infos.Image15->stretch());

    // Scores typed in reduced mode still rank: the model keeps the design's positions.
    auto& a = w.groups.group('A');
    a.score[2]->setText("0");
    a.score[3]->setText("3");
    EXPECT_EQ(a.team[4]->top(), zentrafo::kRowTop[0]);

    w.views.Fraide->setVisible(true);
    d.Command14->click();
    EXPECT_FALSE(w.views.Fraide->visible());
    EXPECT_EQ(w.form.zoom, 1.0);
    EXPECT_EQ(w.form.fontStep, 0);
    for (int i = 0; i < 101; ++i) d.Command14->click();
    EXPECT_EQ(w.form.zoom, 0.85);
    d.Command14->click();
    EXPECT_EQ(w.form.zoom, 1.0);
    EXPECT_TRUE(w.infos.Terrain[10]->stretch()); // images keep stretching in normal mode

    w.Form_Unload();
    EXPECT_EQ(settingsStore().get("data", "reduit"), "0");
    ASSERT_TRUE(settingsStore().set("data", "reduit", "yes"));
    EXPECT_EQ(start().form.zoom, 1.0);
}

TEST_F(WindowTest, AForeignCaptionEnlargesFirstThenReducesBackToTheDesign) {
    Marlix& w = start();
    auto& mode = *w.demarrage.Command14;
    mode.setCaption("Switch to reduced mode");
    mode.click();
    EXPECT_DOUBLE_EQ(w.form.zoom, 1.0 / 0.85);
    EXPECT_EQ(w.form.fontStep, 1);
    EXPECT_EQ(mode.caption(), "Passer en mode réduit");
    mode.click();
    EXPECT_EQ(w.form.zoom, 1.0);
    EXPECT_EQ(w.form.fontStep, 0);
    EXPECT_EQ(mode.caption(), "Passer en mode normal");
}

TEST_F(WindowTest, DamagedInputLeavesAUsableWindow) {
    const char* files[] = {
        "\xff\xfe\x00garbage\n[Match\n0=(((\n",
        "[Match]\n0=/\n1=PDP(\n12=ABC/ /\n100=((((((((((((((\n500=99/99/99 99:99\n",
        "[ButA]\n0=99999999999999999999\n[Match]\n0=PDP(TF1) 08/06/19\n",
    };
    fake.clock = {2019, 6, 8, 12, 0, 0};
    for (const char* f : files) {
        folder.put("Zentrafo.ini", f);
        Marlix& w = start();
        EXPECT_TRUE(w.ChargementFini);
        EXPECT_TRUE(w.views.Frame18->visible());
        EXPECT_EQ(w.form.caption, w.views.Label2->caption());
        for (forms::Control* c : w.groups.group('A').fixture) c->raise(forms::Ev::MouseMove);
    }
}

} // namespace
