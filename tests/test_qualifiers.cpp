// The qualifying competition as the user meets it: the calendar, the groups file, the
// live standings with their tie rules and colours, the play-offs, the overall run and
// the fixture lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "main/module_setting.h"
#include "platform/text.h"
#include "window_fixture.h"

namespace {

namespace fs = std::filesystem;
using zentrafo::QualifiersStage;

class QualifiersTest : public testwin::WindowTest {
protected:
    void SetUp() override {
        folder.putStarting("Kestrava.ini");
        start();
        q().ChargeElim();
    }
    QualifiersStage& q() { return w->qualifiers; }
    void show(char group) { q().bTNgrp_Click(group - 'A'); }
    // Row of the grid holding team a at home to team b, by the names of the group shown.
    int row(int a, int b) {
        int j = 0;
        for (int x = 0; x < 6; ++x)
            for (int y = 0; y < 6; ++y) {
                const std::string& nx = q().NEElim[static_cast<size_t>(x)]->text();
                const std::string& ny = q().NEElim[static_cast<size_t>(y)]->text();
                if (x == y || nx.empty() || nx == "-" || ny.empty() || ny == "-") continue;
                if (x == a && y == b) return j;
                ++j;
            }
        ADD_FAILURE() << "no fixture " << a << "-" << b;
        return 0;
    }
    void result(int a, int b, const std::string& gh, const std::string& ga) {
        const int m = row(a, b);
        q().ButElim[static_cast<size_t>(2 * m)]->setText(gh);
        q().ButElim[static_cast<size_t>(2 * m + 1)]->setText(ga);
    }
    // Every fixture of the group shown, home goals then away goals from `goals(a, b)`.
    template <typename F>
    void playAll(F goals) {
        for (int a = 0; a < 6; ++a)
            for (int b = 0; b < 6; ++b)
                if (a != b && !q().NEElim[static_cast<size_t>(a)]->text().empty() &&
                    !q().NEElim[static_cast<size_t>(b)]->text().empty()) {
                    auto [gh, ga] = goals(a, b);
                    result(a, b, std::to_string(gh), std::to_string(ga));
                }
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (int r = 1; r <= 6; ++r) out.push_back(q().SortEQU[static_cast<size_t>(r)]->text());
        return out;
    }
    std::string rowOf(const std::string& team) {
        for (const std::string& item : q().List5->items())
            if (platform::split(item, '|')[1] == team) return item;
        return "?";
    }
    std::string rowKey(const std::string& team) { return rowOf(team).substr(0, rowOf(team).find('|')); }
    void names(char group, std::vector<std::string> teams) {
        for (size_t i = 0; i < 6; ++i)
            zentrafo::EcrireIni(fake, "Kestrava", std::string("Equip") + group, std::to_string(i),
                                i < teams.size() ? teams[i] : "");
    }
};

TEST(QualifiersCalendar, TableIsTheFileAndHoldsTheCalendarsShape) {
    std::istringstream file(testing_support::slurp(fs::path(ZENTRAFO_SOURCE_DIR) / "qualifiers/qualifying-calendar.txt"));
    std::string line;
    size_t i = 0;
    for (; std::getline(file, line); ++i) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ASSERT_LT(i, zentrafo::kMatchsElim.size());
        EXPECT_EQ(zentrafo::kMatchsElim[i], line) << "element " << i;
    }
    EXPECT_EQ(i, 260u);
    EXPECT_EQ(zentrafo::kMatchsElim[0], "07/09/2014|Allemagne|Ecosse|D");
    EXPECT_EQ(zentrafo::kMatchsElim[22], "31/03/2015|Israel|Belgique|B");
    EXPECT_EQ(zentrafo::kMatchsElim[259], "13/10/2015|Turquie|Islande|A");

    std::map<std::string, std::set<std::string>> teams;
    std::set<std::string> pairs;
    std::map<std::string, int> perDate;
    std::map<std::string, std::set<char>> groupsOfDate;
    for (std::string_view rec : zentrafo::kMatchsElim) {
        const auto f = platform::split(rec, '|');
        ASSERT_EQ(f.size(), 4u) << rec;
        teams[std::string(f[3])].insert(std::string(f[1]));
        EXPECT_TRUE(pairs.insert(std::string(f[1]) + "|" + std::string(f[2])).second) << "twice: " << rec;
        ++perDate[std::string(f[0])];
        groupsOfDate[std::string(f[0])].insert(f[3][0]);
    }
    ASSERT_EQ(teams.size(), 9u);
    for (auto& [g, t] : teams) EXPECT_EQ(t.size(), g == "I" ? 5u : 6u) << g;
    EXPECT_EQ(pairs.size(), 260u); // 8 * 30 + 20: every ordered pair of a group once
    // The date table: 32 dates, with their counts and groups.
    const std::map<std::string, std::pair<int, std::string>> table{
        {"07/09/2014", {8, "DFI"}},  {"08/09/2014", {9, "CEG"}},  {"09/09/2014", {8, "ABH"}},
        {"09/10/2014", {9, "CEG"}},  {"10/10/2014", {9, "ABH"}},  {"11/10/2014", {8, "DFI"}},
        {"12/10/2014", {9, "CEG"}},  {"13/10/2014", {9, "ABH"}},  {"14/10/2014", {8, "DFI"}},
        {"15/10/2014", {3, "G"}},    {"14/11/2014", {8, "DFI"}},  {"15/11/2014", {6, "CE"}},
        {"16/11/2014", {9, "ABH"}},  {"27/03/2015", {9, "CEG"}},  {"28/03/2015", {9, "ABH"}},
        {"29/03/2015", {8, "DFI"}},  {"31/03/2015", {1, "B"}},    {"12/06/2015", {9, "ABH"}},
        {"13/06/2015", {8, "DFI"}},  {"14/06/2015", {9, "CEG"}},  {"03/09/2015", {9, "ABH"}},
        {"04/09/2015", {8, "DFI"}},  {"05/09/2015", {9, "CEG"}},  {"06/09/2015", {9, "ABH"}},
        {"07/09/2015", {8, "DFI"}},  {"08/09/2015", {9, "CEG"}},  {"08/10/2015", {8, "DFI"}},
        {"09/10/2015", {9, "CEG"}},  {"10/10/2015", {9, "ABH"}},  {"11/10/2015", {8, "DFI"}},
        {"12/10/2015", {9, "CEG"}},  {"13/10/2015", {9, "ABH"}}};
    ASSERT_EQ(perDate.size(), table.size());
    for (auto& [date, want] : table) {
        EXPECT_EQ(perDate[date], want.first) << date;
        EXPECT_EQ(std::string(groupsOfDate[date].begin(), groupsOfDate[date].end()), want.second) << date;
    }
}

TEST_F(QualifiersTest, SetUpRunsOnceAndLaysTheGridOutRowByRow) {
    EXPECT_EQ(q().EquiElim[58]->top() - q().EquiElim[0]->top(), 7685);
    EXPECT_EQ(q().ButElim[59]->left(), q().ButElim[1]->left());
    // Each column aligned one way: home names towards their goals, away names too.
    for (size_t k = 2; k < 60; ++k) EXPECT_EQ(q().EquiElim[k]->alignment(), q().EquiElim[k % 2]->alignment()) << k;
    EXPECT_TRUE(q().EquiElim[58]->visible());
    const size_t before = w->form.controls().size();
    q().ChargeElim();
    EXPECT_EQ(w->form.controls().size(), before);
    EXPECT_EQ(w->form.loadElement("EquiElim", 12), nullptr); // an element that exists is refused
    EXPECT_THROW(w->form.add(forms::Kind::TextBox, "EquiElim", 12), std::invalid_argument);
    // Typing before any group was chosen computes nothing.
    q().ButElim[0]->setText("3");
    q().ButElim[1]->setText("1");
    EXPECT_TRUE(q().SortEQU[1]->text().empty());
    EXPECT_EQ(w->calendrier.MatchsElim[259], "13/10/2015|Turquie|Islande|A");
    EXPECT_TRUE(w->calendrier.MatchsElim[260].empty());
}

TEST_F(QualifiersTest, BeforeTheGridExistsSavingLoadingAndRunningDoNothing) {
    const std::string before = folder.read("Kestrava.ini");
    QualifiersStage& fresh = open().qualifiers;
    fresh.Command23_Click();
    fresh.bTNgrp_Click(3);
    fresh.Command25_Click();
    fresh.NEElim_DblClick(0);
    fresh.EquiElim_MouseMove(7);
    EXPECT_EQ(folder.read("Kestrava.ini"), before);
    EXPECT_TRUE(fresh.ELIMGRP->text().empty());
    EXPECT_TRUE(fresh.QuaBar->text().empty());
}

TEST_F(QualifiersTest, MessageOfTheDayFollowsTheLanguageAndShowsOnlyWhenThere) {
    folder.put("Kestrava.ini", "[Mess]\n0=Bonjour\n2=Hola\n");
    for (int lang : {2, 1}) {
        open();
        w->LangueCourante = lang;
        w->qualifiers.ChargeElim();
        EXPECT_EQ(w->langage.Label10->caption(), lang == 2 ? "Hola" : "");
        EXPECT_EQ(w->langage.Shape3->visible(), lang == 2);
    }
}

TEST_F(QualifiersTest, SaveAndLoadGiveEveryBoxBackAndAnEmptiedBoxStaysEmpty) {
    show('D');
    result(0, 1, "2", "1");
    result(3, 4, "", "0");
    q().BAR[0]->setText("Suisse");
    q().ButBAR[0]->setText("3");
    q().Command23_Click();
    std::vector<std::string> saved;
    for (auto* b : q().ButElim) saved.push_back(b->text());
    show('A');
    show('D');
    for (size_t k = 0; k < 60; ++k) EXPECT_EQ(q().ButElim[k]->text(), saved[k]) << k;
    EXPECT_EQ(q().ButElim[static_cast<size_t>(2 * row(3, 4))]->text(), "");
    EXPECT_EQ(q().BAR[0]->text(), "Suisse");
    // The play-off section is read whatever the case of its name.
    const std::string file = folder.read("Kestrava.ini");
    EXPECT_NE(file.find("[ButBAR]"), std::string::npos);
    EXPECT_EQ(q().ButBAR[0]->text(), "3");
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(QualifiersTest, FailedSaveTellsTheUserAndLeavesThePanelAsItWas) {
    show('D');
    result(0, 1, "2", "1");
    fake.folder = program + "/Kestrava.ini"; // a file where the folder should be
    q().Command23_Click();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_NE(fake.boxes[0].text.find("Sauver"), std::string::npos);
    EXPECT_EQ(q().ButElim[static_cast<size_t>(2 * row(0, 1))]->text(), "2");
}

TEST_F(QualifiersTest, PairRuleBuildsTheGridFromThePresentNames) {
    names('B', {"Andorre", "Belgique", "", "Chypre", "Galles", "Israel"});
    struct Case {
        char group;
        int fixtures;
        std::pair<std::string, std::string> row5;
    };
    for (const Case& c : {Case{'I', 20, {"Arménie", "Albanie"}}, Case{'B', 20, {"Belgique", "Andorre"}}}) {
        w->calendrier.NbMatchsElim = 0;
        show(c.group);
        EXPECT_EQ(w->calendrier.NbMatchsElim, c.fixtures);
        EXPECT_EQ(q().EquiElim[8]->text(), c.row5.first);
        EXPECT_EQ(q().EquiElim[9]->text(), c.row5.second);
        for (size_t k = 40; k < 60; ++k) EXPECT_TRUE(q().EquiElim[k]->text().empty()) << c.group << k;
    }
    EXPECT_FALSE(q().SortEQU[6]->visible()); // five rows
}

TEST_F(QualifiersTest, TypingCleansTheBoxAndComputesOnceBothSidesAreIn) {
    show('D');
    const int m = row(0, 2);
    q().ButElim[static_cast<size_t>(2 * m)]->setText("3");
    EXPECT_EQ(q().SortPTS[1]->text(), "0"); // one side only: nothing played yet
    q().ButElim[static_cast<size_t>(2 * m + 1)]->setText("-1");
    EXPECT_EQ(q().ButElim[static_cast<size_t>(2 * m + 1)]->text(), "1");
    EXPECT_EQ(q().SortEQU[1]->text(), "Allemagne");
    EXPECT_EQ(q().SortPTS[1]->text(), "3");
    EXPECT_EQ(q().Label24[1]->caption(), "1 matches joués sur 30");
    EXPECT_EQ(q().ButElim[static_cast<size_t>(2 * m)]->backColor(), QualifiersStage::kGreen);
    EXPECT_EQ(q().ButElim[static_cast<size_t>(2 * m + 1)]->backColor(), QualifiersStage::kOrange);
    EXPECT_TRUE(q().EquiElim[static_cast<size_t>(2 * m)]->fontBold());
}

TEST_F(QualifiersTest, TiesAreBrokenByTheMiniLeagueAndTheLots) {
    show('D'); // Allemagne 0, Ecosse 1, Gibraltar 2, Géorgie 3, Irlande 4, Pologne 5
    EXPECT_EQ(names(), (std::vector<std::string>{"Pologne", "Irlande", "Gibraltar", "Géorgie", "Ecosse", "Allemagne"}));
    EXPECT_EQ(rowKey("Pologne"), "01000");

    // Two teams on 4 points, 3-2 each; Allemagne beat Ecosse 2-1.
    result(0, 1, "2", "1");
    result(0, 3, "1", "1");
    result(1, 2, "2", "0");
    result(1, 4, "0", "0");
    EXPECT_EQ(rowKey("Allemagne"), "05021");
    EXPECT_EQ(rowKey("Ecosse"), "05011");
    EXPECT_EQ(names()[0], "Allemagne");

    // A weight of 20 on a team that is not tied lifts it by two goals of difference:
    // Irlande (1 point, 0-0) passes Géorgie (1 point, 1-1).
    EXPECT_EQ(names()[2], "Géorgie");
    zentrafo::EcrireIni(fake, "Kestrava", "TrimElimD", "4", "abc");
    q().NEElim_DblClick(4);
    q().NEElim_DblClick(4);
    EXPECT_EQ(zentrafo::LireIni(fake, "Kestrava", "TrimElimD", "4"), "20");
    EXPECT_EQ(rowKey("Irlande"), "02020");
    EXPECT_EQ(names()[2], "Irlande");
    EXPECT_EQ(zentrafo::LireIni(fake, "Kestrava", "TrimElimA", "4"), "");
}

TEST_F(QualifiersTest, ThreeWayCircleKeepsEqualKeysAndEachTieGroupItsOwnTerms) {
    show('D');
    // A circle of 1-0 wins: one group, equal terms, so the later name ranks first.
    result(0, 1, "1", "0");
    result(1, 2, "1", "0");
    result(2, 0, "1", "0");
    for (const char* t : {"Allemagne", "Ecosse", "Gibraltar"}) EXPECT_EQ(rowKey(t), "04003") << t;
    EXPECT_EQ(names()[0], "Gibraltar");

    // Two tie groups whose names contain each other: "Irlande" (tied with Finland on
    // 4011) leaving the list must not take "Irlande Nord" (tied with Hongrie on 4013).
    names('F', {"Irlande", "Irlande Nord", "Grèce", "Finland", "Hongrie", "Roumanie"});
    show('F');
    result(1, 4, "2", "1");
    result(1, 2, "1", "1");
    result(4, 5, "2", "0");
    result(4, 3, "0", "0");
    result(0, 5, "1", "0");
    result(0, 2, "0", "0");
    result(3, 2, "1", "0");
    EXPECT_EQ(rowKey("Irlande Nord"), "05021");
    EXPECT_EQ(rowKey("Hongrie"), "05011");
    EXPECT_EQ(rowKey("Irlande"), "05011");
    EXPECT_EQ(names()[0], "Irlande Nord");
}

TEST_F(QualifiersTest, TypedScoresCountAsWholeGoalsAndKeysKeepTheirOrder) {
    show('D'); // Allemagne 0, Ecosse 1, Gibraltar 2, Géorgie 3, Irlande 4, Pologne 5
    // The typed values decide the match; the table counts whole goals: each counter holds
    // its running sum rounded, a half to the even one. Pologne's row: key, name, points,
    // played, won, drawn, lost, for, against, difference, 10 x difference + for.
    struct Case {
        const char *first, *home, *away, *pologne; // first: Pologne 'first'-0 Allemagne, before Irlande
    };
    for (const Case& c : {Case{"-", "2.5", "0.5", "04022|Pologne|3|1|1|0|0|2|0|2|22"},
                          Case{"-", "3.5", "3.5", "02012|Pologne|1|1|0|1|0|4|4|0|4"}, // tied with Irlande on 1004
                          Case{"-", "0.4", "0.6", "00990|Pologne|0|1|0|0|1|0|1|-1|-10"},
                          Case{"1", "0.5", "0", "07022|Pologne|6|2|2|0|0|2|0|2|22"}, // 1 + 0.5 holds 2
                          Case{"-", "1.6", "1.5", "04002|Pologne|3|1|1|0|0|2|2|0|2"}}) {
        result(5, 0, c.first, std::string(c.first) == "-" ? "-" : "0");
        result(5, 4, c.home, c.away);
        EXPECT_EQ(rowOf("Pologne"), c.pologne) << c.home << "-" << c.away;
    }
    EXPECT_EQ(q().SortBP[1]->text(), "2");

    // Scores beyond the counters stop at 32767; every key of the run then takes a sixth
    // digit, so two large keys are never one tie and their order stays the numbers'.
    result(0, 1, "0", "150");
    result(1, 2, "99999999999", "0");
    result(3, 2, "99", "0");
    EXPECT_EQ(names(), (std::vector<std::string>{"Ecosse", "Géorgie", "Pologne", "Irlande", "Allemagne", "Gibraltar"}));
    EXPECT_EQ(q().SortBP[1]->text(), "32767");
    EXPECT_EQ(rowKey("Ecosse"), "367437");
    EXPECT_EQ(rowKey("Géorgie"), "005089");
    // Keys below zero still rank by their numbers: Allemagne, one heavy defeat, above
    // Gibraltar with two.
    EXPECT_EQ(rowKey("Allemagne"), "-999499"); // 1000 - 1500, as 999999 - 500
    EXPECT_EQ(rowKey("Gibraltar"), "-673329"); // 1000 - 327670

    // Weights below zero count as they are, down to keys below zero.
    zentrafo::EcrireIni(fake, "Kestrava", "TrimElimD", "5", "-3500");
    zentrafo::EcrireIni(fake, "Kestrava", "TrimElimD", "3", "-6000");
    q().CalculGroupeElim();
    EXPECT_EQ(rowKey("Pologne"), "000502");
    EXPECT_EQ(rowKey("Géorgie"), "-999088"); // 5089 - 6000
    EXPECT_EQ(names(), (std::vector<std::string>{"Ecosse", "Irlande", "Pologne", "Allemagne", "Géorgie", "Gibraltar"}));

    // Absurd texts neither stop the run nor give the keys of one run different widths.
    for (const std::string& absurd : {std::string(399, '9'), std::string("1e300")}) {
        result(4, 0, absurd, "0");
        result(0, 4, absurd, absurd);
        std::set<size_t> widths;
        for (const std::string& item : q().List5->items()) widths.insert(item.find('|') - (item[0] == '-'));
        EXPECT_EQ(widths, std::set<size_t>{6}) << absurd;
    }
}

TEST_F(QualifiersTest, ColoursTellWhoIsThroughWhoCanStillMakeItAndWhoIsOut) {
    show('D');
    auto setRows = [&](std::vector<int> pts) {
        for (size_t r = 1; r <= 6; ++r) {
            q().SortEQU[r]->setText("T" + std::to_string(r));
            q().SortPTS[r]->setText(r <= pts.size() ? std::to_string(pts[r - 1]) : "");
        }
    };
    auto colours = [&] {
        std::vector<uint32_t> c;
        for (size_t r = 1; r <= 6; ++r) c.push_back(q().SortPTS[r]->backColor());
        return c;
    };
    const uint32_t G = QualifiersStage::kGreen, Y = QualifiersStage::kYellow, R = QualifiersStage::kRed,
                   W = QualifiersStage::kWhite, U = QualifiersStage::kUndecided;
    // Group over: first two green, third yellow (green when it is the best third).
    setRows({22, 19, 15, 12, 8, 3});
    q().CouleurGroupeElim(0);
    EXPECT_EQ(colours(), (std::vector<uint32_t>{G, G, Y, R, R, R}));
    EXPECT_EQ(q().SortDiff[3]->backColor(), Y);
    q().QUALIF[19]->setText("T3");
    q().CouleurGroupeElim(0);
    EXPECT_EQ(colours()[2], G);
    // Running: T-names have no open match, so their maxima are their points; the
    // fourth row names a team with its ten matches still open (maximum 34).
    setRows({18, 17, 16, 4, 9, 4});
    q().SortEQU[4]->setText("Allemagne");
    q().CouleurGroupeElim(5);
    EXPECT_EQ(colours(), (std::vector<uint32_t>{G, W, R, U, R, R}));
    // Five-team group: the third-highest maximum is item 2.
    show('I');
    for (size_t r = 1; r <= 5; ++r) q().SortEQU[r]->setText("T" + std::to_string(r));
    for (size_t r = 1; r <= 5; ++r) q().SortPTS[r]->setText(std::to_string(20 - 2 * static_cast<int>(r)));
    q().CouleurGroupeElim(3);
    EXPECT_EQ(q().SortPTS[2]->backColor(), G); // 16 > third-highest 14
    EXPECT_EQ(q().SortPTS[3]->backColor(), R); // 14 < 16 of row 2
}

TEST_F(QualifiersTest, PlayOffsListTheWinnersOfTheTiesAsTheyStandNow) {
    show('A');
    const char* teams[8] = {"Suisse", "Ecosse", "Irlande", "Irlande Nord", "Italie", "Suède", "Russie", "Serbie"};
    for (size_t k = 0; k < 8; ++k) q().BAR[k]->setText(teams[k]);
    struct Step {
        size_t box;
        const char* goals;
        std::vector<std::string> qualified;
    };
    for (const Step& s : std::vector<Step>{{0, "2", {"", "", "", ""}},
                                           {1, "1", {"Suisse", "", "", ""}},
                                           {1, "3", {"Ecosse", "", "", ""}}, // corrected: one winner
                                           {2, "", {"Ecosse", "", "", ""}},
                                           {3, "2", {"Ecosse", "Irlande Nord", "", ""}},
                                           {4, "1", {"Ecosse", "Irlande Nord", "", ""}},
                                           {5, "1", {"Ecosse", "Irlande Nord", "", ""}},
                                           {5, "1.6", {"Ecosse", "Irlande Nord", "Suède", ""}},
                                           {6, "150", {"Ecosse", "Irlande Nord", "Suède", ""}},
                                           {7, "120", {"Ecosse", "Irlande Nord", "Suède", "Russie"}}}) {
        q().ButBAR[s.box]->setText(s.goals);
        std::vector<std::string> got;
        for (size_t i = 20; i <= 23; ++i) got.push_back(q().QUALIF[i]->text());
        EXPECT_EQ(got, s.qualified) << "box " << s.box << " = " << s.goals;
    }
    EXPECT_EQ(q().BAR[1]->backColor(), QualifiersStage::kGreen);
    EXPECT_EQ(q().BAR[4]->backColor(), QualifiersStage::kWhite);
    EXPECT_EQ(q().BAR[6]->backColor(), QualifiersStage::kGreen);
}

TEST_F(QualifiersTest, DoubleClickSeatsTheWholeLineUnderTheCaret) {
    show('A');
    for (auto* b : q().BAR) b->setText("");
    q().QuaBar->setText("Irlande\r\nIrlande Nord\r\nSuède\r\n");
    q().QuaBar->select(9, 7); // "Irlande" of the second line
    q().QuaBar_DblClick();
    EXPECT_EQ(q().BAR[0]->text(), "Irlande Nord");
    EXPECT_EQ(q().QuaBar->text(), "Irlande\r\n\r\nSuède\r\n");
    q().QuaBar->select(0, 7);
    q().QuaBar_DblClick();
    EXPECT_EQ(q().BAR[1]->text(), "Irlande");
    q().QuaBar->select(2, 0); // the emptied line seats nothing
    q().QuaBar_DblClick();
    EXPECT_TRUE(q().BAR[2]->text().empty());
    for (auto* b : q().BAR) b->setText("X");
    q().QuaBar->select(13, 3);
    q().QuaBar_DblClick();
    EXPECT_EQ(q().QuaBar->text(), "\r\n\r\nSuède\r\n"); // all seats taken: nothing moves
}

TEST_F(QualifiersTest, OverallRunListsWinnersRunnersUpBestThirdAndCandidates) {
    // Each group: team i beats every team j > i 2-0 at home and away; so names rank
    // in slot order. Group C stays unplayed (third row key 1000: no leaders).
    for (char g = 'A'; g <= 'I'; ++g) {
        if (g == 'C' || g == 'E') continue;
        show(g);
        playAll([&](int a, int b) { return a < b ? std::pair{2 + (g - 'A') % 3, 0} : std::pair{0, 2}; });
        q().Command23_Click();
    }
    names('E', {"Angleterre", "Estonie"}); // short of a third row
    q().QUALIF[9]->setText("kept");
    q().Command25_Click();
    EXPECT_EQ(q().ELIMGRP->text(), "A");
    EXPECT_EQ(q().QUALIF[1]->text(), "Albanie");   // group I, run first
    EXPECT_EQ(q().QUALIF[10]->text(), "Arménie");
    EXPECT_EQ(q().QUALIF[7]->text(), "Islande");   // A, the seventh group with leaders
    EXPECT_EQ(q().QUALIF[9]->text(), "kept");      // C and E gave none
    EXPECT_EQ(q().Label24[0]->caption(), "200 matches joués sur 232");
    // The thirds compared without their games against the sixth: the widest margins
    // (groups F and I) are equal, and the later name is the better third.
    EXPECT_EQ(q().QUALIF[19]->text(), "Hongrie");
    const auto lines = platform::split(q().QuaBar->text(), '\n');
    EXPECT_EQ(lines.size(), 8u); // seven candidates and the remainder
    EXPECT_FALSE(q().List7->visible());
}

TEST_F(QualifiersTest, OverallRunWithFewPlayedMatchesOnlyListsCandidates) {
    show('D');
    result(0, 1, "1", "0");
    q().Command23_Click();
    q().QUALIF[1]->setText("before");
    q().Command25_Click();
    EXPECT_EQ(q().QUALIF[1]->text(), "before");
    EXPECT_FALSE(q().QuaBar->text().empty());
}

TEST_F(QualifiersTest, FixtureListsFilterByDateAndLeadToTheGroupAndTheFixture) {
    fake.clock = {2015, 3, 20, 12, 0, 0};
    q().Command27_Click();
    EXPECT_EQ(q().List7->listCount(), 260);
    EXPECT_EQ(q().Label24[2]->caption(), "260 matches dans la liste");
    q().Check1->setValue(1);
    fake.clock = {2014, 9, 10, 12, 0, 0}; // yesterday 09/09 listed, 08/09 not
    q().Command27_Click();
    EXPECT_EQ(q().List7->list(0).substr(2, 10), "09/09/2014");
    EXPECT_EQ(q().List7->listCount(), 260 - 17);
    fake.clock = {2015, 3, 20, 12, 0, 0};
    show('B');
    EXPECT_EQ(q().List7->list(0), "31/03/2015 Israel - Belgique");

    q().Check1->setValue(0);
    q().Command27_Click();
    int c = 0;
    while (q().List7->list(c)[0] != 'C') ++c;
    q().List7->setListIndex(c);
    q().List7_MouseUp();
    EXPECT_EQ(q().ELIMGRP->text(), "C");
    EXPECT_EQ(q().List7->listCount(), 30);
    q().List7->setListIndex(0);
    const std::string line = q().List7->list(0);
    q().List7_MouseUp();
    const std::string home = line.substr(11, line.find(" - ") - 11);
    size_t at = 60;
    for (size_t x = 0; x < 60; x += 2)
        if (q().EquiElim[x]->backColor() == forms::rgb(80, 80, 80)) at = x;
    ASSERT_LT(at, 60u);
    EXPECT_EQ(q().EquiElim[at]->text(), home);
    EXPECT_EQ(w->form.focusRequest, q().ButElim[at]);
    EXPECT_EQ(q().EquiElim[at == 0 ? 2 : 0]->backColor(), QualifiersStage::kWhite);
    // A line without " - " and an empty list do nothing.
    q().List7->clear();
    q().List7->addItem("12/12/2014 nothing");
    q().List7->setListIndex(0);
    q().List7_MouseUp();
    q().List7->clear();
    q().List7_MouseUp();
    EXPECT_EQ(q().ELIMGRP->text(), "C");
}

TEST_F(QualifiersTest, HoverMarksTheTeamAndThePopUpTellsItsStatus) {
    fake.clock = {2015, 9, 1, 12, 0, 0};
    q().Check1->setValue(1);
    show('I'); // eight fixtures left, a short list
    ASSERT_EQ(q().List7->listCount(), 8);
    const std::string team = q().EquiElim[0]->text();
    q().EquiElim_MouseMove(0);
    int yellow = 0, marked = 0, want = 0;
    for (auto* e : q().EquiElim) yellow += e->backColor() == QualifiersStage::kYellow;
    EXPECT_EQ(yellow, 8); // four home, four away
    for (int r = 0; r < q().List7->listCount(); ++r) {
        marked += q().List7->selected(r);
        want += q().List7->list(r).find(team) != std::string::npos;
    }
    EXPECT_GT(want, 0);
    EXPECT_EQ(marked, want);
    q().EquiElim_MouseMove(45); // an empty box whitens everything and unmarks
    marked = 0;
    for (int r = 0; r < q().List7->listCount(); ++r) marked += q().List7->selected(r);
    EXPECT_EQ(marked, 0);
    q().List7_Click(); // highlight off
    q().EquiElim_MouseMove(0);
    EXPECT_EQ(q().EquiElim[0]->backColor(), QualifiersStage::kWhite);

    q().SortEQU[2]->setBackColor(QualifiersStage::kRed);
    q().SortEQU_MouseMove(2);
    EXPECT_TRUE(q().SortRang[7]->visible());
    EXPECT_EQ(q().SortRang[7]->text(), q().SortEQU[2]->text() + " ne peut plus se qualifier");
    q().SortEQU_MouseMove(7);
    EXPECT_FALSE(q().SortRang[7]->visible());
}

// Everything the panel can show at once (the drawing-of-lots frame, the hover pop-up, the
// contest's button included), in either display mode, since the zoom scales positions
// alike: each control stands inside its box, and no two controls of one box cover each
// other. Only the grid's rows overlap, by the border they share.
TEST_F(QualifiersTest, NoControlOfThePanelCoversAnother) {
    const forms::Control* panel = q().FraElim;
    const auto onPanel = [panel](const forms::Control& c) {
        for (const forms::Control* p = c.parent(); p; p = p->parent())
            if (p == panel) return true;
        return false;
    };
    const auto label = [](const forms::Control& c) {
        return c.name() + (c.index() < 0 ? "" : "(" + std::to_string(c.index()) + ")");
    };
    std::map<const forms::Control*, std::vector<const forms::Control*>> boxes;
    for (const auto& c : w->form.controls()) {
        // The working lists are parked beyond the panel's right edge, never shown; a picture
        // area without a picture draws nothing.
        if (!onPanel(*c) || c->name() == "FraCalcul" || c->parent()->name() == "FraCalcul" ||
            (c->kind() == forms::Kind::Image && c->picture().empty()))
            continue;
        const forms::Control& box = *c->parent();
        EXPECT_TRUE(c->left() >= 0 && c->top() >= 0 && c->left() + c->width() <= box.width() &&
                    c->top() + c->height() <= box.height())
            << label(*c) << " outside " << label(box);
        if (&box != q().EquiElim[0]->parent()) boxes[&box].push_back(c.get());
    }
    ASSERT_GT(boxes[panel].size(), 100u);
    for (const auto& [box, inside] : boxes)
        for (size_t i = 0; i < inside.size(); ++i)
            for (size_t j = i + 1; j < inside.size(); ++j) {
                const forms::Control &a = *inside[i], &b = *inside[j];
                const bool cover = a.left() < b.left() + b.width() && b.left() < a.left() + a.width() &&
                                   a.top() < b.top() + b.height() && b.top() < a.top() + a.height();
                EXPECT_FALSE(cover) << label(a) << " and " << label(b);
            }
}

} // namespace
