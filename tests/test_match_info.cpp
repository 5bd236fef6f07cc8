// Match information: hovering a match fills the details panel, the decoder never reads
// outside the text, and the day's panel lists the day's matches in kick-off order.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "platform/text.h"
#include "window_fixture.h"

using testwin::WindowTest;
using zentrafo::Marlix;

namespace {

struct MatchInfoTest : WindowTest {
    zentrafo::MatchInfo& mi() { return w->infos; }
    // The logos on show, by element.
    std::set<int> logos() {
        std::set<int> on;
        for (int i = 0; i < 10; ++i)
            if (mi().ImChaine[static_cast<size_t>(i)]->visible()) on.insert(i);
        return on;
    }
    std::array<std::string, 4> rows() {
        std::array<std::string, 4> r;
        for (size_t i = 0; i < 4; ++i) r[i] = mi().LabCAL[i]->caption();
        return r;
    }
};

TEST_F(MatchInfoTest, DetailsPanelDecodesWhatItCanAndNeverMore) {
    struct Case {
        const char* text;
        const char* city;
        const char* date;
        const char* time;
        std::set<int> logos;
        const char* stadium;
        bool shapes;
    };
    const Case cases[] = {
        {"PDP(TF1 | C+) 08/06/19 21:00", "Paris", "Saturday 08 Jun 2019 ", " 21:00", {0, 1, 4, 5}, "stade_pdp", true},
        {"MRS(F2) 23/06/19 18:00", "Marseille", "Sunday 23 Jun 2019 ", " 18:00", {2, 6}, "", true},
        {"XYZ(BE) 07/06/19 21:00", "", "Friday 07 Jun 2019 ", " 21:00", {8, 9}, "", true},
        {"GRE(TF1,F2,TMC) 29/02/20 12:00", "Grenoble", "Saturday 29 Feb 2020 ", " 12:00", {1, 2, 3, 5, 6, 7},
         "stade_gre", true},
        {"", "", "", "", {}, "", false},
        // No "/": nothing but the stadium found anywhere in the text.
        {"LYS(TF1) 080619", "", "", "", {}, "stade_lys", false},
        // No "(": no city, the broadcasters still found.
        {"NCE TF1 09/06/19 13:00", "", "Sunday 09 Jun 2019 ", " 13:00", {1, 5}, "stade_nce", true},
        // Dates that cannot be read leave the date empty.
        {"REN(C+) 31/02/19 21:00", "Rennes", "", " 21:00", {0, 4}, "stade_ren", true},
        {"REM(C+) 08/13/19 21:00", "Reims", "", " 21:00", {0, 4}, "stade_rem", true},
        {"VAL(F2) 8x/06/19 21:00", "Valenciennes", "", " 21:00", {2, 6}, "stade_val", true},
        // Short texts: "/" at the very start, or the text ending inside the date.
        {"/", "", "", "", {}, "", false},
        {"a/b", "", "", "", {}, "", false},
        {"MON(BE) 10/06", "Montpellier", "", "", {8, 9}, "stade_mon", true},
        // A "/" inside the broadcaster list is taken for the date's.
        {"PDP(TF1/F2) 08/06/19 21:00", "Paris", "", "8/06/19 21", {}, "stade_pdp", true},
        // Several codes anywhere in the text: the last of the search order wins.
        {"VAL(MON) 08/06/19 21:00", "Valenciennes", "Saturday 08 Jun 2019 ", " 21:00", {}, "stade_mon", true},
    };
    start();
    for (const Case& c : cases) {
        mi().LabInfo->setCaption(c.text);
        mi().LabInfo_Change(); // also when the text did not change
        const auto& t = mi().LabTer;
        EXPECT_TRUE(mi().Frame16->visible()) << c.text;
        EXPECT_EQ(t[0]->caption(), c.city) << c.text;
        EXPECT_EQ(t[1]->caption(), c.date) << c.text;
        EXPECT_EQ(t[2]->caption(), c.time) << c.text;
        for (size_t i = 0; i < 3; ++i) EXPECT_EQ(t[i + 3]->caption(), t[i]->caption()) << c.text;
        EXPECT_EQ(logos(), c.logos) << c.text;
        EXPECT_EQ(mi().Terrain[10]->picture(), c.stadium) << c.text;
        EXPECT_EQ(mi().Terrain[11]->picture(), c.stadium) << c.text;
        EXPECT_EQ(mi().Shape1->visible(), c.shapes) << c.text;
        EXPECT_EQ(mi().Shape2->visible(), c.shapes) << c.text;
    }
}

TEST_F(MatchInfoTest, HoverReachesTheMatchUnderThePointerOnly) {
    folder.put("Zentrafo.ini", "[Match]\n6=PDP(TF1) 08/06/19 21:00\n100=LHA(F2) 22/06/19 17:30\n");
    Marlix& win = start();
    auto& a = win.groups.group('A');
    auto move = [](forms::Control* c) { c->raise(forms::Ev::MouseMove); };

    move(a.score[7]); // score box 7 of group A stands for label 7: match 3
    EXPECT_EQ(mi().LabInfo->caption(), "PDP(TF1) 08/06/19 21:00");
    EXPECT_EQ(mi().LabTer[0]->caption(), "Paris");
    move(a.frame);
    EXPECT_EQ(mi().LabInfo->caption(), "");
    EXPECT_EQ(mi().LabTer[0]->caption(), "");
    move(win.groups.overview[1]); // the round of sixteen's copy on the group view
    EXPECT_EQ(mi().LabTer[0]->caption(), "Le Havre");
    // Score boxes of groups E and F, and the bracket's goals boxes, carry nothing.
    EXPECT_FALSE(win.groups.group('E').score[0]->handles(forms::Ev::MouseMove));
    EXPECT_FALSE(win.knockout.Buthui[0]->handles(forms::Ev::MouseMove));

    // The bare window hides the panel but keeps the text; pointing again shows it again.
    forms::EventArgs args;
    win.form.mouseMove(args);
    EXPECT_FALSE(mi().Shape1->visible());
    EXPECT_FALSE(mi().Frame16->visible());
    EXPECT_EQ(mi().LabInfo->caption(), "LHA(F2) 22/06/19 17:30");
    move(win.knockout.Huit[0]);
    EXPECT_TRUE(mi().Shape1->visible());
    EXPECT_EQ(logos(), (std::set<int>{2, 6}));
    // The bracket's background clears the text and hides the panel.
    move(win.knockout.Frame9);
    EXPECT_EQ(mi().LabInfo->caption(), "");
    EXPECT_FALSE(mi().Frame16->visible());
    EXPECT_TRUE(logos().empty());
}

TEST(IndexChaine, FirstBroadcasterOfTheFixedOrderDecides) {
    const std::pair<const char*, int> cases[] = {
        {"TF1", 1}, {"F2", 2},        {"TMC", 3},     {"BE", 8},  {"C+", 0},  {"C+ TF1", 1},
        {"TMC BE", 3}, {"BE F2", 2},  {"beIN", 5},    {"", 5},    {"M6", 5},  {"tf1", 5},
    };
    for (const auto& [text, index] : cases) EXPECT_EQ(zentrafo::IndexChaine(text), index) << text;
}

TEST_F(MatchInfoTest, DaysProgrammeFillsTheRowsByTheNumberOfMatches) {
    // Up to five matches on 8 June, written latest first; one on 9 June.
    const char* const lines[] = {"0=PDP(TF1 C+) 08/06/19 21:00\n", "12=LHA(C+) 08/06/19 18:00\n",
                                 "24=REN(M6) 08/06/19 15:00\n",    "36=NCE(F2) 08/06/19 12:00\n",
                                 "48=VAL(BE) 08/06/19 09:00\n"};
    const std::array<std::string, 5> entries{"21:00 A1 Vs A2", "18:00 B1 Vs B2", "15:00 C1 Vs C2", "12:00 D1 Vs D2",
                                             "09:00 E1 Vs E2"};
    fake.clock = {2019, 6, 8, 10, 0, 0};
    for (int n = 1; n <= 5; ++n) {
        std::string file = "[Match]\n60=MON(TF1) 09/06/19 21:00\n";
        for (int i = 0; i < n; ++i) file += lines[i];
        folder.put("Zentrafo.ini", file);
        start();
        ASSERT_EQ(mi().List2->listCount(), n);
        std::array<std::string, 4> want{};
        const int first = n == 1 ? 2 : n <= 3 ? 1 : 0;
        for (int i = 0; i < n && first + i < 4; ++i)
            want[static_cast<size_t>(first + i)] = entries[static_cast<size_t>(n - 1 - i)];
        EXPECT_EQ(rows(), want) << n;
    }
    // Five matches: logos by the first broadcaster (TF1 before C+), none for M6.
    EXPECT_EQ(mi().List2->list(4), "21:00 A1 Vs A21");
    EXPECT_EQ(mi().List2->list(2), "15:00 C1 Vs C25");
    EXPECT_EQ(mi().RepIm[0]->picture(), "chaine_be");
    EXPECT_EQ(mi().RepIm[2]->picture(), "");
    EXPECT_EQ(mi().RepIm[3]->picture(), "chaine_cplus");
    EXPECT_EQ(mi().LabCAL[0]->alignment(), forms::Align::Left);

    // Another day: the one match there; a day without matches.
    mi().Combo3->setText("09");
    EXPECT_EQ(rows(), (std::array<std::string, 4>{"", "", "21:00 F1 Vs F2", ""}));
    EXPECT_EQ(mi().RepIm[2]->picture(), "chaine_tf1");
    EXPECT_EQ(mi().RepIm[0]->picture(), "");
    mi().Combo4->setText("07");
    EXPECT_EQ(rows(), (std::array<std::string, 4>{"", "Aucun match", "ce jour-là", "!!!"}));
    EXPECT_EQ(mi().LabCAL[3]->alignment(), forms::Align::Center);
}

TEST_F(MatchInfoTest, KnockoutMatchesShowTheBoxesAsTheyStand) {
    folder.put("Zentrafo.ini", "[Match]\n100=PDP(TF1) 22/06/19 17:30\n500=LYS(F2) 07/07/19 17:00\n");
    fake.clock = {2019, 6, 22, 10, 0, 0};
    start();
    ASSERT_EQ(mi().List2->listCount(), 1);
    EXPECT_EQ(mi().List2->list(0),
              "17:30 " + w->knockout.Huit[0]->text() + " Vs " + w->knockout.Huit[1]->text() + "1");
    mi().Combo3->setText("07");
    mi().Combo4->setText("07");
    EXPECT_EQ(mi().LabCAL[2]->caption(), "17:00 " + w->knockout.FIN[0]->text() + " Vs " + w->knockout.FIN[1]->text());
}

TEST_F(MatchInfoTest, DaysPanelClosesOnTheNinthTickUnlessADateIsBeingChosen) {
    fake.clock = {2019, 6, 8, 10, 0, 0};
    Marlix& win = start();
    forms::Control* panel = win.views.Frame18;
    ASSERT_TRUE(panel->visible());
    for (int tick = 1; tick <= 8; ++tick) mi().Timer1->raise(forms::Ev::Timer);
    EXPECT_TRUE(panel->visible());
    mi().Timer1->raise(forms::Ev::Timer);
    EXPECT_FALSE(panel->visible());
    EXPECT_FALSE(mi().Timer1->timerEnabled());
    EXPECT_EQ(mi().Timer1->tag(), "9");

    Marlix& again = start();
    mi().Combo4->raise(forms::Ev::GotFocus);
    EXPECT_FALSE(mi().Timer1->timerEnabled());
    EXPECT_TRUE(again.views.Frame18->visible());
}

TEST_F(MatchInfoTest, CalendarButtonTogglesThePanelWhereTheViewWantsIt) {
    fake.clock = {2019, 7, 1, 10, 0, 0}; // after the groups: the bracket is shown
    Marlix& win = start();
    forms::Control* panel = win.views.Frame18;
    ASSERT_FALSE(panel->visible());
    mi().Command15->click();
    EXPECT_TRUE(panel->visible());
    EXPECT_EQ(panel->top(), 6345);
    EXPECT_EQ(panel->left(), 13380);
    mi().Command15->click();
    EXPECT_FALSE(panel->visible());
    win.views.Command1->click(); // back to the groups
    mi().Command15->click();
    EXPECT_EQ(panel->top(), 990);
    panel->raise(forms::Ev::Click);
    EXPECT_FALSE(panel->visible());

    win.qualifiers.FraElim->setVisible(true);
    mi().Command15->click();
    EXPECT_FALSE(panel->visible());
}

// A new user's program folder holds the real draw and schedule: every match text of
// the starting forecast decodes to the published city, date and time, and each group's
// fixtures pair the teams the schedule pairs.
TEST_F(MatchInfoTest, StartingForecastHoldsTheRealDrawAndSchedule) {
    folder.putStarting("Zentrafo.ini");
    Marlix& win = start();
    auto& ko = win.knockout;
    const std::map<std::string, std::string> city{{"VAL", "Valenciennes"}, {"PDP", "Paris"}, {"LHA", "Le Havre"},
                                                  {"NCE", "Nice"},         {"REN", "Rennes"}, {"REM", "Reims"},
                                                  {"GRE", "Grenoble"},     {"LYS", "Lyon"},   {"MON", "Montpellier"}};
    std::istringstream table(testing_support::slurp(ZENTRAFO_SOURCE_DIR "/resources/wwc2019-schedule.tsv"));
    std::string line;
    std::getline(table, line); // the heading
    int matches = 0;
    for (; std::getline(table, line); ++matches) {
        SCOPED_TRACE(line);
        std::vector<std::string> f;
        for (auto field : platform::split(line, '\t')) f.emplace_back(field);
        ASSERT_EQ(f.size(), 8u);
        const int key = std::stoi(f[0]);
        const auto tie = static_cast<size_t>(key % 100);
        const forms::Control* carrier = nullptr;
        if (key < 100) {
            const auto& fixture = win.groups.group(static_cast<char>('A' + key / 12)).fixture;
            for (size_t side : {0, 1}) EXPECT_EQ(fixture[tie % 12 + side]->caption(), f[2 + side]);
            carrier = fixture[tie % 12];
        } else {
            carrier = key < 200 ? ko.Huit[tie] : key < 300 ? ko.Qua[tie] : key < 400 ? ko.DEM[tie]
                    : key < 500 ? ko.pf[0] : ko.FIN[0];
        }
        mi().LabInfo->setCaption(carrier->toolTip());
        EXPECT_EQ(mi().LabTer[0]->caption(), city.at(f[6]));
        const platform::DateTime day{2000 + std::stoi(f[4].substr(6)), std::stoi(f[4].substr(3, 2)),
                                     std::stoi(f[4].substr(0, 2))};
        EXPECT_EQ(mi().LabTer[1]->caption(), fake.formatDate(day, "dddd dd MMM yyyy "));
        EXPECT_EQ(mi().LabTer[2]->caption(), " " + f[5]);
    }
    EXPECT_EQ(matches, 52);
    EXPECT_EQ(win.fichier.List1->listCount(), 52);
}

} // namespace
