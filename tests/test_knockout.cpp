#include <gtest/gtest.h>

#include <string>

#include "forms/form.h"
#include "platform/text.h"
#include "started_window.h"

using forms::Control;
using zentrafo::KnockoutStage;
using zentrafo::Marlix;

namespace {

struct KnockoutTest : StartedWindow {
    KnockoutStage& ko = w.knockout;
    void seat() {
        for (size_t i = 0; i < 16; ++i) ko.Huit[i]->setText("T" + std::to_string(i));
    }
    // Types one tie: penalties first, then the goals, as a user completes a row.
    template <size_t N>
    static void play(std::array<Control*, N>& goals, std::array<Control*, N>& pen, size_t k, const char* a,
                     const char* b, const char* pa = "-", const char* pb = "-") {
        pen[2 * k]->setText(pa);
        pen[2 * k + 1]->setText(pb);
        goals[2 * k]->setText(a);
        goals[2 * k + 1]->setText(b);
    }
    bool won(const Control* c) const { return c->backColor() == w.CouleurVainqueur && c->foreColor() == 0xFFFFFFu; }
    bool plain(const Control* c) const { return c->backColor() == 0xFFFFFFu && c->foreColor() == 0u; }
};

TEST_F(KnockoutTest, BracketRowsReadLeftToRightInsideTheView) {
    EXPECT_FALSE(ko.Frame9->visible());
    EXPECT_EQ(ko.Frame10->caption(), "Huitième de Finale");
    EXPECT_EQ(ko.Frame14->caption(), "Petite Finale");
    auto rowsOf = [&](auto& team, auto& goals, auto& pen, Control* frame) {
        for (size_t i = 0; i < team.size(); i += 2) {
            const std::array<Control*, 6> row{team[i], goals[i], pen[i], pen[i + 1], goals[i + 1], team[i + 1]};
            for (size_t c = 0; c < 6; ++c) {
                EXPECT_EQ(row[c]->parent(), frame);
                EXPECT_EQ(row[c]->top(), row[0]->top());
                EXPECT_LE(row[c]->left() + row[c]->width(), frame->width());
                EXPECT_LE(row[c]->top() + row[c]->height(), frame->height());
                if (c > 0) {
                    EXPECT_GE(row[c]->left(), row[c - 1]->left() + row[c - 1]->width());
                }
            }
            EXPECT_TRUE(team[i]->locked() && plain(team[i]));
            EXPECT_EQ(goals[i]->text(), "-");
            EXPECT_EQ(pen[i]->text(), "-");
            EXPECT_EQ(pen[i]->backColor(), 0x808080u);
        }
        EXPECT_EQ(frame->parent(), ko.Frame9);
        EXPECT_LE(frame->left() + frame->width(), ko.Frame9->width());
    };
    rowsOf(ko.Huit, ko.Buthui, ko.ButPen, ko.Frame10);
    rowsOf(ko.Qua, ko.ButQua, ko.ButPen4, ko.Frame12);
    rowsOf(ko.DEM, ko.ButDem, ko.ButPen2, ko.Frame13);
    rowsOf(ko.FIN, ko.ButFIN, ko.ButPenFIN, ko.Frame15);
    rowsOf(ko.pf, ko.Butpetfin, ko.ButPenpetfin, ko.Frame14);
    // Later rounds stand to the right of the rounds that feed them.
    EXPECT_LT(ko.Frame10->left(), ko.Frame12->left());
    EXPECT_LT(ko.Frame12->left(), ko.Frame13->left());
    EXPECT_LT(ko.Frame13->left(), ko.Frame15->left());
    EXPECT_EQ(ko.pod[3]->caption(), " ");
    EXPECT_EQ(ko.pod[1]->caption(), "");
    EXPECT_FALSE(ko.Image8->visible());
    EXPECT_EQ(ko.Image8->picture(), "trophy");
}

TEST_F(KnockoutTest, EntryStripsHyphensSelectsOnPressAndWaitsForReadyFlag) {
    seat();
    const std::pair<const char*, const char*> cases[] = {{"-3", "3"}, {"3-", "3"}, {"1-2", "12"}, {"-", "-"}, {"--", ""}};
    for (Control* box : {ko.ButQua[3], ko.ButPenpetfin[0], ko.Buthui[1]})
        for (auto [typed, kept] : cases) {
            box->setText(typed);
            EXPECT_EQ(box->text(), kept) << typed;
        }
    ko.ButPen[0]->setText("21");
    ko.ButPen[0]->select(1, 1);
    ko.ButPen[0]->raise(forms::Ev::MouseDown);
    EXPECT_EQ(ko.ButPen[0]->selStart(), 0);
    EXPECT_EQ(ko.ButPen[0]->selLength(), 2);
    // "--" left an empty box: a played side with no goal, beaten by a single goal.
    ko.Buthui[0]->setText("1");
    EXPECT_EQ(ko.Qua[0]->text(), "T0");

    // A stripped entry decides its tie as typed without the "-".
    ko.Buthui[2]->setText("3-");
    ko.Buthui[3]->setText("1");
    EXPECT_EQ(ko.Qua[1]->text(), "T2");

    w.ChargementFini = false;
    play(ko.Buthui, ko.ButPen, 2, "-2", "1");
    EXPECT_EQ(ko.Buthui[4]->text(), "2");
    EXPECT_EQ(ko.Qua[2]->text(), "");
    EXPECT_TRUE(plain(ko.Huit[4]));
}

TEST_F(KnockoutTest, EachArrayRestartsTheChainAtItsOwnStep) {
    seat();
    w.ChargementFini = false;
    play(ko.Buthui, ko.ButPen, 0, "2", "1");
    play(ko.ButQua, ko.ButPen4, 0, "2", "1");
    play(ko.ButFIN, ko.ButPenFIN, 0, "2", "-");
    ko.FIN[0]->setText("F0");
    ko.FIN[1]->setText("F1");
    ko.pf[0]->setText("P0");
    ko.pf[1]->setText("P1");
    w.ChargementFini = true;

    ko.Butpetfin[1]->setText("1"); // final and third place only
    EXPECT_EQ(ko.pod[1]->caption(), "F0");
    EXPECT_EQ(ko.pod[3]->caption(), "P1");
    EXPECT_TRUE(plain(ko.Qua[0]));
    ko.ButPenFIN[1]->setText("0"); // from the quarter-finals on
    EXPECT_TRUE(won(ko.Qua[0]));
    EXPECT_TRUE(plain(ko.Huit[0]));
    EXPECT_EQ(ko.Qua[0]->text(), "");
    ko.ButPen[5]->setText("4"); // everything
    EXPECT_TRUE(won(ko.Huit[0]));
    EXPECT_EQ(ko.DEM[0]->text(), "T0");

    // An example box of the help panel runs the round-of-16 step on what the bracket
    // holds, and seats nobody of its own.
    w.ChargementFini = false;
    ko.Buthui[1]->setText("3");
    w.ChargementFini = true;
    Control* example = w.views.Buthui[0];
    example->setText("5-");
    EXPECT_EQ(example->text(), "5");
    EXPECT_TRUE(won(ko.Huit[1]));
    EXPECT_EQ(ko.DEM[0]->text(), "T1");
}

TEST_F(KnockoutTest, RoundOfSixteenTiesByGoalsThenPenalties) {
    seat();
    const std::string huge = "1" + std::string(60, '0');
    struct Case {
        std::string a, b, pa, pb;
        int winner; // 0 left, 1 right, -1 nobody
        const char *tipA, *tipB;
    };
    const Case cases[] = {
        {"2", "1", "-", "-", 0, "2", "1"},      {"1", "1", "4", "3", 0, "5", "4"},
        {"1", "1", "3", "4.5", 1, "4", "5.5"},  {"1", "1", "-", "-", -1, "1", "1"},
        {"-", "5", "-", "-", -1, "0", "5"},     {"-", "0", "3", "-", -1, "0", "0"},
        {"1.1", "1.05", "-", "-", 0, "1.1", "1.05"}, {"", "abc", "-", "-", -1, "0", "0"},
        {"2 buts", "x", "-", "-", 0, "2", "0"}, {huge, huge + "0", "-", "-", -1, "1E+30", "1E+30"},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        const Case& c = cases[n];
        const size_t k = n % 8, i = 2 * k;
        play(ko.Buthui, ko.ButPen, k, "-", "-");
        ko.Qua[k]->setText("before");
        play(ko.Buthui, ko.ButPen, k, c.a.c_str(), c.b.c_str(), c.pa.c_str(), c.pb.c_str());
        EXPECT_EQ(ko.Qua[k]->text(), c.winner < 0 ? "before" : ko.Huit[i + static_cast<size_t>(c.winner)]->text()) << n;
        EXPECT_EQ(won(ko.Huit[i]), c.winner == 0) << n;
        EXPECT_EQ(won(ko.Huit[i + 1]), c.winner == 1) << n;
        EXPECT_TRUE(plain(ko.Huit[c.winner == 0 ? i + 1 : i])) << n;
        EXPECT_EQ(ko.Buthui[i]->toolTip(), c.tipA) << n;
        EXPECT_EQ(ko.Buthui[i + 1]->toolTip(), c.tipB) << n;
    }
}

TEST_F(KnockoutTest, QuarterFinalWinnersKeptAndCrossedFor2008Only) {
    seat();
    for (size_t k = 0; k < 8; ++k) play(ko.Buthui, ko.ButPen, k, "2", "1");
    for (size_t k = 0; k < 4; ++k) play(ko.ButQua, ko.ButPen4, k, "2", "1");
    auto semis = [&] { return ko.DEM[0]->text() + ko.DEM[1]->text() + ko.DEM[2]->text() + ko.DEM[3]->text(); };
    EXPECT_EQ(semis(), "T0T4T8T12");

    Control* text1 = w.form.find("Text1");
    if (!text1) text1 = &w.form.add(forms::Kind::TextBox, "Text1");
    for (auto [stem, expected] : {std::pair{"Marlix2008", "T0T8T4T12"}, {"marlix2008", "T0T4T8T12"},
                                  {"Marlix2008", "T0T8T4T12"}, {"Zentrafo", "T0T4T8T12"}}) {
        text1->setText(stem);
        ko.ButPen4[0]->setText(ko.ButPen4[0]->text() == "-" ? "0" : "-");
        EXPECT_EQ(semis(), expected) << stem;
    }

    // Undecided again: the seat keeps the previous winner until a round-of-16 entry,
    // which empties the first semi-final seat only.
    ko.ButQua[1]->setText("2");
    EXPECT_TRUE(plain(ko.Qua[0]) && plain(ko.Qua[1]));
    EXPECT_EQ(ko.DEM[0]->text(), "T0");
    ko.ButPen[9]->setText("1");
    EXPECT_EQ(semis(), "T4T8T12");
}

TEST_F(KnockoutTest, SemiFinalLoserGoesToThirdPlaceAndGoalTotalRefreshes) {
    for (size_t i = 0; i < 4; ++i) ko.DEM[i]->setText("S" + std::to_string(i));
    play(ko.ButDem, ko.ButPen2, 0, "3", "1");
    play(ko.ButDem, ko.ButPen2, 1, "1", "3");
    EXPECT_EQ(ko.FIN[0]->text() + ko.FIN[1]->text(), "S0S3");
    EXPECT_EQ(ko.pf[0]->text() + ko.pf[1]->text(), "S1S2");
    EXPECT_TRUE(won(ko.DEM[0]) && plain(ko.DEM[1]) && plain(ko.DEM[2]) && won(ko.DEM[3]));
    const Control* goalTotal = w.form.find("Label15");
    ASSERT_NE(goalTotal, nullptr);
    EXPECT_EQ(platform::val(goalTotal->caption()), 8.0);
    play(ko.ButDem, ko.ButPen2, 0, "2", "2");
    EXPECT_EQ(ko.FIN[0]->text() + ko.pf[0]->text(), "S0S1");
    EXPECT_TRUE(plain(ko.DEM[0]) && plain(ko.DEM[1]));
}

TEST_F(KnockoutTest, FinalDecidedOnOneSideAndPodiumNeverCleared) {
    ko.FIN[0]->setText("F0");
    ko.FIN[1]->setText("F1");
    ko.pf[0]->setText("P0");
    ko.pf[1]->setText("P1");
    ko.Butpetfin[1]->setText("1");
    EXPECT_EQ(ko.pod[3]->caption() + ko.pod[4]->caption(), "P1P0");
    EXPECT_TRUE(won(ko.pf[1]) && plain(ko.pf[0]));
    EXPECT_FALSE(ko.Image8->visible());

    ko.ButFIN[0]->setText("2");
    EXPECT_EQ(ko.pod[1]->caption() + ko.pod[2]->caption(), "F0F1");
    EXPECT_TRUE(won(ko.FIN[0]) && plain(ko.FIN[1]));
    EXPECT_TRUE(ko.Image8->visible());
    ko.ButFIN[0]->setText("0"); // 0 against an unplayed 0: nothing changes
    EXPECT_TRUE(won(ko.FIN[0]));
    ko.ButPenFIN[1]->setText("1"); // penalties of an unplayed side count nothing
    EXPECT_EQ(ko.pod[1]->caption(), "F0");
    ko.ButFIN[1]->setText("1");
    EXPECT_EQ(ko.pod[1]->caption() + ko.pod[2]->caption(), "F1F0");
    ko.ButFIN[0]->setText("-");
    ko.ButFIN[1]->setText("-");
    ko.Butpetfin[1]->setText("-");
    EXPECT_TRUE(plain(ko.FIN[0]) && plain(ko.FIN[1]) && plain(ko.pf[1]));
    EXPECT_EQ(ko.pod[1]->caption() + ko.pod[2]->caption() + ko.pod[3]->caption(), "F1F0P1");
    EXPECT_TRUE(ko.Image8->visible());
    // A finalist seat still empty can win and blank the champion; the trophy stays.
    ko.FIN[1]->setText("");
    ko.ButFIN[1]->setText("3");
    EXPECT_EQ(ko.pod[1]->caption(), "");
    EXPECT_TRUE(ko.Image8->visible());
}

TEST_F(KnockoutTest, WholeTournamentFromRoundOfSixteenToPodium) {
    seat();
    for (size_t k = 0; k < 8; ++k) play(ko.Buthui, ko.ButPen, k, "0", "1");
    for (size_t k = 0; k < 4; ++k) play(ko.ButQua, ko.ButPen4, k, "1", "1", "5", "4");
    play(ko.ButDem, ko.ButPen2, 0, "0", "1");
    play(ko.ButDem, ko.ButPen2, 1, "2", "1");
    play(ko.Butpetfin, ko.ButPenpetfin, 0, "3", "1");
    play(ko.ButFIN, ko.ButPenFIN, 0, "0", "2");
    EXPECT_EQ(ko.pod[1]->caption() + ko.pod[2]->caption() + ko.pod[3]->caption() + ko.pod[4]->caption(),
              "T9T5T1T13");
    EXPECT_TRUE(ko.Image8->visible());
    int winners = 0;
    auto count = [&](const auto& team) {
        for (const Control* c : team) winners += won(c) ? 1 : 0;
    };
    count(ko.Huit);
    count(ko.Qua);
    count(ko.DEM);
    count(ko.FIN);
    count(ko.pf);
    EXPECT_EQ(winners, 8 + 4 + 2 + 1 + 1);
}

} // namespace
