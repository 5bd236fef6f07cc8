#include <gtest/gtest.h>

#include "started_window.h"

using zentrafo::Group;
using zentrafo::Marlix;

namespace {

struct RoundOf16Test : StartedWindow {
    void SetUp() override {
        StartedWindow::SetUp();
        w.MSG[10] = "buts";
        w.groups.RecalculeTout();
    }
    std::string seat(int s) { return w.knockout.Huit[static_cast<size_t>(s)]->text(); }
    std::string shown(int s) { return w.groups.overview[static_cast<size_t>(s)]->text(); }
    std::string seating() { return w.groups.Frame11->tag(); }
};

TEST_F(RoundOf16Test, NothingPlayedShowsPlaceholdersAndDefaultSeating) {
    EXPECT_EQ(seating(), "3C|3D|3F|3E");
    EXPECT_EQ(w.calendrier.NbMatchsJoues, 0);
    EXPECT_EQ(w.groups.TexMeillTrois->text(), "");
    const char* expected[16] = {"2 Gr A", "2 Gr C", "1 Gr D", "3 Gr BEF", "1 Gr A", "3 Gr CDE", "2 Gr B", "1 Gr F",
                                "1 Gr C", "3 Gr ABF", "1 Gr E", "2 Gr D", "1 Gr B", "3 Gr ACD", "2 Gr F", "2 Gr E"};
    for (int s = 0; s < 16; ++s) {
        EXPECT_EQ(seat(s), "-");
        EXPECT_EQ(shown(s), expected[s]);
        EXPECT_FALSE(w.groups.overview[static_cast<size_t>(s)]->fontBold());
        EXPECT_EQ(w.groups.overview[static_cast<size_t>(s)]->foreColor(), 0u);
    }
    EXPECT_EQ(w.groups.Label15->caption(), " buts");
    EXPECT_EQ(w.groups.Label21->caption(), " buts");
    for (const Group& grp : w.groups.groups)
        for (auto* b : grp.score) EXPECT_EQ(b->backColor(), forms::ButtonFace);
}

TEST_F(RoundOf16Test, OneCompleteGroupSeatsItsTwoAndTheThirdOppositeItsWinner) {
    complete('A');
    EXPECT_EQ(seat(4), "A1");
    EXPECT_EQ(seat(0), "A2");
    // The first field names the group whose third meets 1A, complete or not.
    const std::string first = seating().substr(0, 2);
    EXPECT_EQ(seat(5), w.groups.NomTroisieme(first));
    EXPECT_NE(seat(5), "-");
    for (int s : {13, 9, 3}) EXPECT_EQ(seat(s), "-");
    EXPECT_EQ(shown(4), "A1");
    EXPECT_TRUE(w.groups.overview[4]->fontBold());
    EXPECT_EQ(w.groups.overview[4]->foreColor(), 0xC0u);
    // One score back to "-": the group's seats return to their placeholders.
    g('A').score[3]->setText("-");
    EXPECT_EQ(seat(4), "-");
    EXPECT_EQ(seat(5), "-");
    EXPECT_EQ(shown(4), "1 Gr A");
}

TEST_F(RoundOf16Test, GroupsAToDCompleteFillEveryThirdSeat) {
    for (char c : {'A', 'B', 'C', 'D'}) complete(c);
    for (int s : {5, 13, 9, 3}) EXPECT_NE(seat(s), "-") << s;
    EXPECT_EQ(shown(10), "1 Gr E");
    EXPECT_EQ(shown(15), "2 Gr E");
    EXPECT_EQ(shown(7), "1 Gr F");
    EXPECT_EQ(shown(14), "2 Gr F");
    EXPECT_EQ(seat(12), "B1");
    EXPECT_EQ(seat(11), "D2");
    // The thirds of four complete groups: all "C3" style names behind a seating string.
    const std::string s = seating();
    EXPECT_EQ(s.size(), 11u);
    EXPECT_EQ(seat(5), w.groups.NomTroisieme(s.substr(0, 2)));
}

TEST_F(RoundOf16Test, EqualThirdsAreSplitBySlotThenGroupLetter) {
    // Groups A and B play a goalless 1-2: their thirds are slot 4 with key 10.0000;
    // the other groups' thirds are slot 2 with the same key.
    play('A', 0, "0", "0");
    play('B', 0, "0", "0");
    EXPECT_EQ(w.groups.List3[2]->list(0), "A");
    EXPECT_EQ(seating(), "3E|3A|3B|3F"); // code ABEF: E and F beat C and D on the letter
}

TEST_F(RoundOf16Test, NamesShowFromTheEleventhMatchOrWhenKeysSpreadApart) {
    for (char c : {'A', 'B', 'C', 'D', 'E', 'F'}) play(c, 0, "0", "0");
    for (char c : {'A', 'B', 'C', 'D'}) play(c, 5, "1", "0");
    ASSERT_EQ(w.calendrier.NbMatchsJoues, 10);
    EXPECT_EQ(w.groups.TexMeillTrois->text(), "");
    play('E', 5, "1", "0");
    EXPECT_EQ(w.calendrier.NbMatchsJoues, 11);
    EXPECT_EQ(w.groups.TexMeillTrois->text(), "F4 / E4 / D4 / C4");
}

TEST_F(RoundOf16Test, SpreadOfOneShowsNamesEarly) {
    // Two draws: A's third has a point, every other third none.
    play('A', 0, "0", "0");
    play('A', 1, "0", "0");
    ASSERT_EQ(w.calendrier.NbMatchsJoues, 2);
    EXPECT_EQ(w.groups.TexMeillTrois->text().substr(0, 2), "A2");
    // An empty best name leaves no leading separator.
    w.groups.group('A').team[2]->setText("");
    w.groups.RecalculeTout();
    EXPECT_EQ(w.groups.TexMeillTrois->text().substr(0, 2), "F2");
}

TEST_F(RoundOf16Test, TeamNamedDashCountsAsAnEmptySeat) {
    g('A').team[1]->setText("-");
    complete('A');
    EXPECT_EQ(seat(4), "-");
    EXPECT_EQ(shown(4), "1 Gr A");
}

TEST_F(RoundOf16Test, GoalTotalCountsEveryStageButPenalties) {
    play('A', 0, "2", "");
    EXPECT_EQ(w.groups.Label15->caption(), "2 buts");
    EXPECT_EQ(g('A').score[1]->backColor(), 0xFFFFFFu);
    EXPECT_EQ(g('A').score[2]->backColor(), forms::ButtonFace);
    w.MSG[10] = "";
    w.groups.CompteButs();
    EXPECT_EQ(w.groups.Label15->caption(), "2 ");
    // Two scores of 400 figures: the total stays a number, as the tables' sums do.
    play('B', 0, std::string(400, '9'), std::string(400, '9'));
    EXPECT_EQ(w.groups.Label15->caption(), "1.79769313486232E+308 ");
}

TEST_F(RoundOf16Test, RowsReturnToDrawOrderOnlyWithoutAnyGroupScore) {
    g('B').score[0]->setText("");
    w.groups.RecalculeTout();
    // The empty box is an entered 0: B1 drew nothing yet, so slot 4 stays on top in every group.
    EXPECT_EQ(g('C').team[4]->top(), 690);
    g('B').score[0]->setText("-");
    w.groups.RecalculeTout();
    EXPECT_EQ(g('C').team[1]->top(), 690);
    EXPECT_EQ(g('C').team[4]->top(), 1635);
}

TEST_F(RoundOf16Test, ThirdsChangedDuringTheSeatingsYieldRunAnotherPass) {
    play('A', 0, "0", "0");
    play('A', 1, "0", "0"); // names shown: A2 leads the thirds
    const std::string before = w.groups.TexMeillTrois->text();
    ASSERT_FALSE(before.empty());
    int yields = 0;
    bool typed = false;
    fake.onYield = [&] {
        // The seventh yield of a pass is the seating's own, after the six tables.
        if (++yields == 7 && !typed) {
            typed = true;
            play('B', 2, "0", "0");
        }
    };
    fake.yields = 0;
    w.groups.RecalculeTout();
    EXPECT_TRUE(typed);
    // First pass: 7 yields plus the two typed boxes' seatings; second pass: 7 more.
    EXPECT_EQ(fake.yields, 7 + 2 + 7);
    EXPECT_NE(w.groups.TexMeillTrois->text(), before);
    EXPECT_EQ(w.groups.TexMeillTrois->text(), w.groups.TexMeillTrois->tag());
}

TEST_F(RoundOf16Test, UnlockOpensTeamNamesAndSaysSo) {
    EXPECT_TRUE(g('A').team[1]->locked());
    w.groups.Label12->click();
    for (const Group& grp : w.groups.groups)
        for (int s = 1; s <= 4; ++s) EXPECT_FALSE(grp.team[static_cast<size_t>(s)]->locked());
    for (auto* ne : w.qualifiers.NEElim) EXPECT_TRUE(ne->visible());
    EXPECT_FALSE(w.qualifiers.Frame22->visible());
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Equipes débloquées");
    EXPECT_EQ(fake.boxes[0].style, 64);
    EXPECT_EQ(fake.boxes[0].title, "OK");
}

TEST_F(RoundOf16Test, EditedNameReachesFixturesAndEmptiesTheSeats) {
    complete('C');
    ASSERT_EQ(seat(8), "C1");
    g('C').team[1]->setText("Chili");
    EXPECT_EQ(g('C').fixture[0]->caption(), "Chili");
    EXPECT_EQ(seat(8), "");
    EXPECT_EQ(shown(8), "C1"); // the overview waits for the next seating
}

struct ViewsTest : RoundOf16Test {
    void SetUp() override {
        w.MSG[1] = "Phase Finale";
        w.MSG[2] = "Phase de Groupes";
        RoundOf16Test::SetUp();
        w.views.Command1->setCaption(w.MSG[1]);
    }
};

TEST_F(ViewsTest, KnockoutButtonShowsTheSeatedBracketAndComesBack) {
    complete('A');
    w.knockout.Huit[4]->setText("stale");
    w.views.Command1->click();
    EXPECT_TRUE(w.knockout.Frame9->visible());
    EXPECT_EQ(w.views.Command1->caption(), "Phase de Groupes");
    EXPECT_EQ(w.views.Command1->picture(), w.views.ico[0]->picture());
    EXPECT_EQ(seat(4), "A1"); // re-seated on opening
    w.views.Command1->click();
    EXPECT_FALSE(w.knockout.Frame9->visible());
    EXPECT_EQ(w.views.Command1->caption(), "Phase Finale");
    EXPECT_EQ(w.views.Command1->picture(), w.views.ico[1]->picture());
}

TEST_F(ViewsTest, HelpOverTheBracketLeavesTheButtonOfferingGroups) {
    w.views.Command1->click();
    w.views.Command6->click();
    EXPECT_TRUE(w.views.Fraide->visible());
    EXPECT_FALSE(w.knockout.Frame9->visible());
    EXPECT_EQ(w.views.Command1->caption(), "Phase de Groupes");
    w.views.Command2->click();
    EXPECT_FALSE(w.views.Fraide->visible());
    w.views.Command1->click(); // only restores the caption
    EXPECT_FALSE(w.knockout.Frame9->visible());
    w.views.Command1->click();
    EXPECT_TRUE(w.knockout.Frame9->visible());
    w.views.Frame18->setVisible(true);
    w.views.Image11->click();
    EXPECT_FALSE(w.views.Frame18->visible());
    EXPECT_TRUE(w.knockout.Frame9->visible());
}

} // namespace
