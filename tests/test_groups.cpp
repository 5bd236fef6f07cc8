#include <gtest/gtest.h>

#include "groups/sorter_item.h"
#include "started_window.h"

using zentrafo::Group;
using zentrafo::ItemForm;
using zentrafo::readItem;

namespace {

struct GroupsTest : StartedWindow {
    Group& A() { return w.groups.group('A'); }
    int rank(Group& g, int slot) {
        int top = g.team[static_cast<size_t>(slot)]->top();
        for (int r = 0; r < 4; ++r)
            if (zentrafo::kRowTop[static_cast<size_t>(r)] == top) return r + 1;
        return 0;
    }
};

TEST_F(GroupsTest, FreshWindowShowsDrawOrderAndEmptyFigures) {
    for (Group& g : w.groups.groups) {
        for (int s = 1; s <= 4; ++s) {
            EXPECT_EQ(rank(g, s), s);
            EXPECT_EQ(g.team[static_cast<size_t>(s)]->text(), std::string(1, g.letter) + std::to_string(s));
            EXPECT_EQ(g.played[static_cast<size_t>(s)]->caption(), "");
            EXPECT_EQ(g.points[static_cast<size_t>(s)]->caption(), "0");
            EXPECT_EQ(g.team[static_cast<size_t>(s)]->foreColor(), 0u);
            EXPECT_FALSE(g.team[static_cast<size_t>(s)]->fontBold());
        }
        EXPECT_EQ(g.sorter->list(0), "10.0000x 1");
        EXPECT_EQ(g.lots->caption(), "");
    }
}

TEST_F(GroupsTest, OneMatchRanksTheWinnerFirst) {
    play(A(), 0, "2", "1");
    auto& g = A();
    EXPECT_EQ(rank(g, 1), 1);
    EXPECT_EQ(g.points[1]->caption(), "3");
    EXPECT_EQ(g.goalsFor[1]->caption(), "2");
    EXPECT_EQ(g.goalsAgainst[1]->caption(), "1");
    EXPECT_EQ(g.difference[1]->caption(), "1");
    EXPECT_EQ(g.played[1]->caption(), "1");
    EXPECT_EQ(g.difference[2]->caption(), "-1");
    EXPECT_EQ(g.played[2]->caption(), "1");
    EXPECT_EQ(g.points[2]->caption(), "0");
    // Slots 3 and 4 are equal at 10.0000: the higher slot takes the better place.
    EXPECT_EQ(rank(g, 4), 2);
    EXPECT_EQ(rank(g, 3), 3);
    EXPECT_EQ(rank(g, 2), 4);
    EXPECT_EQ(g.played[2]->top(), 1650);
    EXPECT_EQ(g.sorter->list(3), "13.0120x 1");
}

TEST_F(GroupsTest, HalfEnteredMatchCountsGoalsButNoPoints) {
    auto& g = A();
    g.score[0]->setText("3");
    EXPECT_EQ(g.played[1]->caption(), "");
    EXPECT_EQ(g.points[1]->caption(), "0");
    EXPECT_EQ(g.goalsFor[1]->caption(), "3");
    EXPECT_EQ(g.goalsAgainst[2]->caption(), "3");
    EXPECT_EQ(rank(g, 1), 1);
}

TEST_F(GroupsTest, LettersBlanksAndEmptyCountAsScores) {
    auto& g = A();
    play(g, 0, "3abc", "");
    EXPECT_EQ(g.points[1]->caption(), "3");
    EXPECT_EQ(g.played[2]->caption(), "1");
    play(g, 1, "xyz", "  2");
    EXPECT_EQ(g.points[4]->caption(), "3");
    EXPECT_EQ(g.goalsFor[4]->caption(), "2");
}

TEST_F(GroupsTest, CompleteGroupMarksQualifiedTeamsAndOneDashClearsIt) {
    auto& g = A();
    complete('A');
    // Slot 1: 7 pts, slot 2: 6 pts, slot 3: 4 pts, slot 4: 0.
    EXPECT_EQ(rank(g, 1), 1);
    EXPECT_EQ(rank(g, 2), 2);
    for (int s : {1, 2}) {
        EXPECT_EQ(g.team[static_cast<size_t>(s)]->foreColor(), 255u);
        EXPECT_TRUE(g.team[static_cast<size_t>(s)]->fontBold());
    }
    for (int s : {3, 4}) {
        EXPECT_EQ(g.team[static_cast<size_t>(s)]->foreColor(), w.CouleurNonQualifie);
        EXPECT_FALSE(g.team[static_cast<size_t>(s)]->fontBold());
    }
    g.score[7]->setText("-");
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(g.team[static_cast<size_t>(s)]->foreColor(), 0u);
        EXPECT_FALSE(g.team[static_cast<size_t>(s)]->fontBold());
    }
}

TEST_F(GroupsTest, DrawingOfLotsLiftsTheClickedTeam) {
    w.MSG[3] = "Tirage au sort !";
    auto& g = A();
    // Every match drawn 1-1: all four equal, notice shown, slot 4 on top.
    for (int m = 0; m < 6; ++m) play(g, m, "1", "1");
    EXPECT_EQ(g.lots->caption(), "Tirage au sort !");
    EXPECT_EQ(rank(g, 4), 1);
    g.team[1]->click();
    EXPECT_EQ(g.team[1]->tag(), "1");
    EXPECT_EQ(rank(g, 1), 1);
    // Three teams still equal: the notice stays.
    EXPECT_EQ(g.lots->caption(), "Tirage au sort !");
    g.team[2]->click();
    g.team[3]->click();
    // 1, 2 and 3 marked alike and 4 not: 1, 2, 3 equal again.
    EXPECT_EQ(g.lots->caption(), "Tirage au sort !");
    EXPECT_EQ(rank(g, 4), 4);
}

TEST_F(GroupsTest, ClickWithoutNoticeSetsNoMarkButRecomputes) {
    auto& g = A();
    w.ChargementFini = false;
    play(g, 0, "-2", "1"); // typed while the window loads: cleaned, not computed
    EXPECT_EQ(g.score[0]->text(), "2");
    EXPECT_EQ(g.points[1]->caption(), "0");
    g.team[2]->click();
    EXPECT_EQ(g.team[2]->tag(), "");
    EXPECT_EQ(g.points[1]->caption(), "3");
    // With no text 3 in the language table, a tie shows an empty notice and sets no mark.
    w.MSG[3] = "";
    for (int m = 0; m < 6; ++m) play(g, m, "0", "0");
    EXPECT_EQ(g.lots->caption(), "");
    g.team[1]->click();
    EXPECT_EQ(g.team[1]->tag(), "");
}

TEST_F(GroupsTest, MarkKeepsCountingAfterTheTieIsGone) {
    w.MSG[3] = "lots";
    auto& g = A();
    g.team[1]->setTag("1");
    w.groups.CalculGroupeA();
    EXPECT_EQ(g.sorter->list(3), "10.0001x 1");
}

// Equality is that of the computed floating keys, not of the shown text.
TEST_F(GroupsTest, FloatingKeysDecideTheNotice) {
    w.MSG[3] = "lots";
    auto& g = A();
    // Slot 1: 4 points, difference 1, 3 goals for; slot 2: 4 points, difference 0, 13 for.
    play('A', {"0", "0", "0", "0", "3", "0", "9", "10", "2", "0", "3", "4"});
    ASSERT_EQ(g.points[1]->caption(), "4");
    ASSERT_EQ(g.points[2]->caption(), "4");
    ASSERT_EQ(g.goalsFor[2]->caption(), "13");
    EXPECT_EQ(g.lots->caption(), "lots");
    EXPECT_EQ(rank(g, 2), 2); // the higher slot wins the unresolved tie
    EXPECT_EQ(rank(g, 1), 3);

    // Difference 1 with 4 for against difference 0 with 14 for: the keys differ in their
    // last bit, so no notice although both items read 14.0140.
    play(g, 2, "4", "0");
    play(g, 4, "3", "0");
    play(g, 5, "4", "5");
    ASSERT_EQ(g.goalsFor[1]->caption(), "4");
    ASSERT_EQ(g.goalsFor[2]->caption(), "14");
    EXPECT_EQ(g.lots->caption(), "");
    EXPECT_EQ(g.sorter->list(1), "14.0140x 1");
    EXPECT_EQ(g.sorter->list(2), "14.0140x 2");
    EXPECT_EQ(rank(g, 2), 2);
}

TEST_F(GroupsTest, DashesTypedWithAScoreGoAndTheTableCountsTheRest) {
    play(A(), 0, "1-3", "1"); // every score box cleans alike: the cases are the knockout's
    EXPECT_EQ(A().score[0]->text(), "13");
    EXPECT_EQ(A().goalsFor[1]->caption(), "13");
}

TEST_F(GroupsTest, MouseDownSelectsTheFirstTwoCharacters) {
    auto& g = A();
    g.score[0]->setText("123");
    g.score[0]->raise(forms::Ev::MouseDown);
    EXPECT_EQ(g.score[0]->selStart(), 0);
    EXPECT_EQ(g.score[0]->selLength(), 2);
    g.score[1]->raise(forms::Ev::MouseDown);
    EXPECT_EQ(g.score[1]->selLength(), 1); // "-" alone
}

TEST_F(GroupsTest, TrueScoresAreShownCountedAndRankedInNumericOrder) {
    auto& g = A();
    play(g, 0, "150", "120");
    EXPECT_EQ(g.points[1]->caption(), "3");
    EXPECT_EQ(g.points[2]->caption(), "0");
    EXPECT_EQ(g.goalsFor[1]->caption(), "150");
    EXPECT_EQ(g.goalsAgainst[1]->caption(), "120");
    EXPECT_EQ(w.groups.Label15->caption(), "270 " + w.MSG[10]);
    // Far beyond the key's two digits, and far below zero, the order still follows the numbers.
    struct Case {
        const char* typed;
        const char* shown;
        std::array<int, 4> slotsBestFirst;
    };
    for (const Case& c : {Case{"99999999999", "99999999999", {3, 1, 2, 4}},
                          Case{"100000000000000000000", "1E+20", {3, 1, 2, 4}},
                          Case{"1e300", "1", {1, 3, 4, 2}}}) {
        play(g, 1, c.typed, "0");
        EXPECT_EQ(g.goalsFor[3]->caption(), c.shown);
        for (int r = 0; r < 4; ++r) EXPECT_EQ(rank(g, c.slotsBestFirst[static_cast<size_t>(r)]), r + 1) << c.typed;
    }
    // One point each for slots 3 and 4, with differences of -1997 and -1998: the higher
    // slot, worse by one goal, ranks last.
    play('A', {"0", "0", "0", "0", "998", "0", "0", "999", "0", "999", "999", "0"});
    EXPECT_EQ(g.difference[4]->caption(), "-1998");
    const std::array<int, 4> bestFirst{2, 1, 3, 4};
    for (int r = 0; r < 4; ++r) EXPECT_EQ(rank(g, bestFirst[static_cast<size_t>(r)]), r + 1);
    // Absurd texts in every box: four items, in the order of their numbers.
    for (int m = 0; m < 6; ++m) play(g, m, std::string(399, '9'), m % 2 ? "123456789" : std::string(399, '9'));
    for (int r = 0; r < 3; ++r)
        EXPECT_LE(readItem(ItemForm::Group, g.sorter->list(r)).key, readItem(ItemForm::Group, g.sorter->list(r + 1)).key);
    for (int s = 1; s <= 4; ++s) EXPECT_GE(rank(g, s), 1);
}

TEST_F(GroupsTest, FixtureLabelsFollowSlotsNotRanks) {
    auto& g = w.groups.group('C');
    play(g, 1, "5", "0");
    g.team[3]->setText("Chile");
    const char* expected[12] = {"C1", "C2", "Chile", "C4", "C1", "Chile", "C4", "C2", "C4", "C1", "C2", "Chile"};
    for (int j = 0; j < 12; ++j) EXPECT_EQ(g.fixture[static_cast<size_t>(j)]->caption(), expected[j]);
    EXPECT_EQ(g.fixture[2]->backColor(), g.team[3]->backColor());
    EXPECT_TRUE(w.groups.group('A').team[1]->locked());
    EXPECT_FALSE(g.team[1]->locked());
}

} // namespace
