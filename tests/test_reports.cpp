// The statistics window and the bracket sheet, driven through the main window's buttons.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "online/online_services.h"
#include "platform/text.h"
#include "started_window.h"

using forms::Control;
using zentrafo::Impress;
using zentrafo::Stats;

namespace {

struct ReportsTest : StartedWindow {
    zentrafo::Reports& r = w.reports;
    zentrafo::KnockoutStage& ko = w.knockout;

    // Every group complete alike: 66 group goals in all.
    void playGroups() { for (auto& grp : w.groups.groups) complete(grp.letter); }
    // The left side of every tie wins, one goal to none, up to the semi-finals.
    template <size_t N>
    static void leftWins(const std::array<Control*, N>& goals) {
        for (size_t i = 0; i < N; ++i) goals[i]->setText(i % 2 == 0 ? "1" : "0");
    }
    // A2 beats C1 2-1 in the final, A1 beats B1 1-0 for third: 84 goals in all.
    void playAll() {
        playGroups();
        leftWins(ko.Buthui);
        leftWins(ko.ButQua);
        leftWins(ko.ButDem);
        ko.ButFIN[0]->setText("2");
        ko.ButFIN[1]->setText("1");
        ko.Butpetfin[0]->setText("1");
        ko.Butpetfin[1]->setText("0");
    }
    Stats& stats() {
        r.Command21_Click();
        return *r.stats.loaded();
    }
    static std::vector<std::string> items(const Control* list) { return list->items(); }
};

TEST_F(ReportsTest, CompleteTournamentPlacingsGoalsAndPodium) {
    playAll();
    ASSERT_EQ(ko.pod[1]->caption(), "A2");
    Stats& s = stats();
    const auto placing = items(s.List2);
    ASSERT_EQ(placing.size(), 24u);
    EXPECT_EQ(placing[0], "A2 1er");
    EXPECT_EQ(placing[1], "C1 2eme");
    EXPECT_EQ(placing[2], "A1 3eme");
    EXPECT_EQ(placing[3], "B1 4eme");
    // Every later line numbered by its place; the group stage's eight last.
    for (size_t i = 4; i < 24; ++i) {
        const std::string tail = i < 8 ? " 1/4" : i < 16 ? " 1/8" : " " + w.MSG[14];
        EXPECT_EQ(placing[i].rfind(std::to_string(i + 1) + " ", 0), 0u) << placing[i];
        EXPECT_EQ(placing[i].substr(placing[i].size() - tail.size()), tail) << placing[i];
    }
    // Slot 4 of every group went out first; all six share the same record.
    EXPECT_EQ(placing[23], "24 A4 " + w.MSG[14]);

    const auto goals = items(s.List1);
    ASSERT_EQ(goals.size(), 24u);
    // The champion: 4 in the group, 1 + 1 + 1 on the way, 2 in the final.
    EXPECT_EQ(goals[0], " A2 (9)");
    double sum = 0;
    for (const std::string& g : goals) sum += platform::val(g.substr(g.rfind('(') + 1));
    EXPECT_EQ(sum, 84);
    EXPECT_EQ(s.Label1->caption(), w.MSG[10] + " : 84");
    EXPECT_EQ(s.Label2->caption(), w.MSG[11]);
    EXPECT_EQ(s.Label3->caption(), w.MSG[13]);
    EXPECT_EQ(s.Text1->text(), w.MSG[9] + " 2019");
    EXPECT_EQ(s.form.caption, s.Text1->text());
    EXPECT_EQ(s.Image1->picture(), "logo2019") << "the edition's logo";
    EXPECT_EQ(s.Vainq[0]->caption(), "1: A2");
    EXPECT_EQ(s.Vainq[1]->caption(), "2: C1");
    EXPECT_EQ(s.Vainq[2]->caption(), "3: A1");
    EXPECT_TRUE(s.Frame2->visible());
    EXPECT_FALSE(s.Image2->visible());
    EXPECT_EQ(fake.shownForms, std::vector<std::string>{"Stats"});
    // Group placings read back from the rows.
    EXPECT_EQ(r.Classement[1], "A1");
    EXPECT_EQ(r.Classement[4], "A4");
    EXPECT_EQ(r.Classement[21], "F1");

    // A second click refreshes in place; closing and clicking again gives the same.
    EXPECT_EQ(items(stats().List2), placing);
    EXPECT_EQ(items(r.stats.loaded()->List1), goals);
    r.stats.loaded()->Command1->click();
    EXPECT_EQ(r.stats.loaded(), nullptr);
    EXPECT_EQ(items(stats().List1), goals);
}

TEST_F(ReportsTest, NothingPlayedListsEveryTeamAtZeroInReverseNameOrder) {
    Stats& s = stats();
    const auto placing = items(s.List2);
    ASSERT_EQ(placing.size(), 24u);
    // Equal keys: the later name comes first.
    EXPECT_EQ(placing[0], "1 F4 " + w.MSG[14]);
    EXPECT_EQ(placing[23], "24 A1 " + w.MSG[14]);
    const auto goals = items(s.List1);
    ASSERT_EQ(goals.size(), 24u);
    EXPECT_EQ(goals[0], " F4 (0)");
    EXPECT_EQ(goals[23], " A1 (0)");
    EXPECT_EQ(s.Label1->caption(), w.MSG[10] + " : 0");
    EXPECT_FALSE(s.Frame2->visible());
    EXPECT_TRUE(s.Image2->visible());
}

TEST_F(ReportsTest, UndecidedTiesAndUncolouredSeatsKeepTheLowerStage) {
    playGroups();
    leftWins(ko.Buthui);
    leftWins(ko.ButQua);
    leftWins(ko.ButDem);
    // A round-of-16 winner whose box lost its winner colour counts as out in that round.
    const std::string seated = ko.Huit[2]->text();
    ko.Huit[2]->setBackColor(0xFFFFFF);
    const auto placing = items(stats().List2);
    auto line = [&](const std::string& team) {
        for (const std::string& p : placing)
            if (p.find(" " + team + " ") != std::string::npos || p.rfind(team + " ", 0) == 0) return p;
        return std::string();
    };
    EXPECT_EQ(line("A2"), "A2 2eme");
    EXPECT_EQ(line("C1"), "C1 2eme");
    EXPECT_EQ(line("A1"), "A1 4eme");
    EXPECT_EQ(line("B1"), "B1 4eme");
    EXPECT_EQ(line(seated).substr(line(seated).size() - 4), " 1/8");
    EXPECT_EQ(r.stats.loaded()->Vainq[2]->caption(), "3:  ");
}

TEST_F(ReportsTest, AbsurdScoresLeaveEveryTeamInTheBandOfTheStageItReached) {
    playGroups();
    play('A', 0, "9999", "0"); // the runner-up A2 with a difference of -9995
    play('B', 3, "50000", "50001"); // B2 seated and B4 out, both with 50000 goals
    const auto placing = items(stats().List2);
    ASSERT_EQ(placing.size(), 24u);
    for (const std::string& line : placing) {
        bool seated = false;
        for (const Control* seat : ko.Huit) seated = seated || line.find(" " + seat->text() + " ") != std::string::npos;
        const std::string stage = seated ? " 1/8" : " " + w.MSG[14];
        EXPECT_EQ(line.substr(line.size() - std::min(line.size(), stage.size())), stage) << line;
    }
}

TEST_F(ReportsTest, GoalsCountPlainScoresOnlyAndSortNumericallyAboveNineHundredNinetyNine) {
    playAll();
    // Penalties count for nobody; the third-place match counts like any match.
    ko.ButPenpetfin[0]->setText("5");
    ko.ButPenpetfin[1]->setText("4");
    ko.Butpetfin[0]->setText("1");
    ko.Butpetfin[1]->setText("1");
    const std::string third0 = ko.pf[0]->text(), third1 = ko.pf[1]->text();
    auto goalsLine = [&](const std::vector<std::string>& list, const std::string& team) {
        for (const std::string& g : list)
            if (g.rfind(" " + team + " (", 0) == 0) return g;
        return std::string();
    };
    auto before = items(stats().List1);
    // 4 in the group, 1 in each won tie before the semi-final, 1 for third place.
    EXPECT_EQ(goalsLine(before, third0), " " + third0 + " (7)");
    EXPECT_EQ(goalsLine(before, third1), " " + third1 + " (7)");

    // A typed score of four figures: that team leads, and the others keep their order.
    ko.ButFIN[1]->setText("1000");
    const auto after = items(stats().List1);
    EXPECT_EQ(after[0], " " + ko.FIN[1]->text() + " (1007)");
    EXPECT_EQ(after[1], " A2 (9)");
    EXPECT_EQ(r.stats.loaded()->Label1->caption(), w.MSG[10] + " : 1084");

    // Scores of hundreds of figures on one team's side: the count stays a number.
    const std::string endless(400, '9');
    ko.Buthui[0]->setText(endless);
    ko.ButQua[0]->setText(endless);
    EXPECT_EQ(items(stats().List1)[0], " A2 (1E+15)");
}

TEST_F(ReportsTest, PodiumLineBreaksShowAsSlashes) {
    ko.pod[1]->setCaption("Nord\r\nSud");
    ko.pod[3]->setCaption("Est\r\nOuest");
    Stats& s = stats();
    EXPECT_EQ(s.Vainq[0]->caption(), "1: Nord / Sud");
    EXPECT_EQ(s.Vainq[2]->caption(), "3: Est / Ouest");
    EXPECT_TRUE(s.Frame2->visible());
}

// Coordinates every connector must have once the sheet is loaded (x1, y1, x2, y2).
struct Expected {
    const char* name;
    int index, x1, y1, x2, y2;
};
constexpr Expected kConnectors[] = {
    {"Line8H", 1, 2340, 720, 2805, 720},     {"Line8H", 7, 2340, 2970, 2805, 2970},
    {"Line8H", 15, 2340, 5970, 2805, 5970},  {"Line8V", 0, 2805, 720, 2805, 1470},
    {"Line8V", 3, 2805, 5220, 2805, 5970},   {"Line4H", 0, 2805, 1140, 5690, 1140},
    {"Line4H", 3, 2805, 5610, 5690, 5610},   {"Line4V", 0, 5690, 1140, 5690, 2625},
    {"Line4V", 1, 5690, 4155, 5690, 5610},   {"LineF", 0, 5690, 1920, 8295, 1920},
    {"LineF", 1, 5690, 4875, 8295, 4875},    {"LinefV", -1, 8295, 1920, 8295, 4875},
    {"LineF", 2, 8295, 3390, 8895, 3390},
};

TEST_F(ReportsTest, SheetDrawsEveryConnectorOnceAndARefreshChangesNothing) {
    r.Command13_Click();
    Impress* sheet = r.impress.loaded();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(fake.shownForms, std::vector<std::string>{"Impress"});
    auto check = [&] {
        for (const Expected& e : kConnectors) {
            const Control* l = sheet->form.find(e.name, e.index);
            ASSERT_NE(l, nullptr) << e.name << e.index;
            EXPECT_EQ((std::array{l->x1(), l->y1(), l->x2(), l->y2()}), (std::array{e.x1, e.y1, e.x2, e.y2}))
                << e.name << "(" << e.index << ")";
            EXPECT_TRUE(l->visible());
            EXPECT_EQ(l->foreColor(), Impress::kLineColour);
        }
        const auto* stubs = sheet->form.array("Line8H");
        ASSERT_EQ(stubs->size(), 9u); // the hidden template and the eight odd stubs
        EXPECT_FALSE(stubs->at(0)->visible());
    };
    check();
    const size_t controls = sheet->form.controls().size();
    sheet->Command2->click();
    check();
    EXPECT_EQ(sheet->form.controls().size(), controls);
    // An element is never loaded twice; a plain control is no array.
    EXPECT_EQ(sheet->form.loadElement("Line8H", 3), nullptr);
    EXPECT_EQ(sheet->form.loadElement("LinefV", 1), nullptr);

    // Closed and opened again: a fresh sheet draws the same picture.
    sheet->Command1->click();
    EXPECT_EQ(r.impress.loaded(), nullptr);
    EXPECT_EQ(fake.unloadedForms, std::vector<std::string>{"Impress"});
    r.Command13_Click();
    sheet = r.impress.loaded();
    check();
}

TEST_F(ReportsTest, SheetCopiesOnLoadAndRefreshOnlyNotWhenShownAgain) {
    r.Command13_Click();
    Impress& sheet = *r.impress.loaded();
    EXPECT_EQ(sheet.T8[0]->text(), w.groups.overview[0]->text());
    EXPECT_EQ(sheet.T8[0]->text().find("Gr"), 2u); // a seat placeholder before any score
    EXPECT_EQ(sheet.RESULT[2]->text(), " ");
    playAll();
    r.Command13_Click(); // brings it to the front, copies nothing
    EXPECT_EQ(sheet.TF[0]->text(), "");
    sheet.Command2->click();
    EXPECT_EQ(sheet.T8[0]->text(), "A2");
    EXPECT_EQ(sheet.T4[1]->text(), ko.Qua[1]->text());
    EXPECT_EQ(sheet.T2[3]->text(), ko.DEM[3]->text());
    EXPECT_EQ(sheet.TF[0]->text(), "A2");
    EXPECT_EQ(sheet.TF[1]->text(), "C1");
    EXPECT_EQ((std::array{sheet.RESULT[0]->text(), sheet.RESULT[1]->text(), sheet.RESULT[2]->text()}),
              (std::array<std::string, 3>{"A2", "C1", "A1"}));
}

TEST_F(ReportsTest, HoverLightsEqualBracketBoxesAndContainingPodiumBoxes) {
    playAll();
    ko.pod[3]->setCaption("A1 / A12");
    r.Command13_Click();
    Impress& s = *r.impress.loaded();
    auto lit = [&](const auto& boxes) {
        std::vector<int> on;
        for (size_t i = 0; i < boxes.size(); ++i)
            if (boxes[i]->backColor() == Impress::kHighlight) on.push_back(static_cast<int>(i));
            else EXPECT_EQ(boxes[i]->backColor(), Impress::kWhite);
        return on;
    };
    forms::EventArgs none;
    s.TF[0]->raise(forms::Ev::MouseMove, none); // the champion A2
    EXPECT_EQ(lit(s.T8), std::vector<int>{0});
    EXPECT_EQ(lit(s.T4), std::vector<int>{0});
    EXPECT_EQ(lit(s.T2), std::vector<int>{0});
    EXPECT_EQ(lit(s.TF), std::vector<int>{0});
    EXPECT_EQ(lit(s.RESULT), std::vector<int>{0});

    // "A1" is inside the third's "A1 / A12" but equal to no other name.
    s.RESULT[2]->raise(forms::Ev::MouseMove, none);
    EXPECT_EQ(lit(s.RESULT), std::vector<int>{2});
    EXPECT_TRUE(lit(s.T8).empty());
    s.T8[4]->setText("a1 / a12"); // other letter case: not the same name
    s.T8[4]->raise(forms::Ev::MouseMove, none);
    EXPECT_EQ(lit(s.T8), std::vector<int>{4});
    EXPECT_TRUE(lit(s.RESULT).empty());

    // An empty box changes nothing.
    s.T4[7]->setText("");
    s.T4[7]->raise(forms::Ev::MouseMove, none);
    EXPECT_EQ(lit(s.T8), std::vector<int>{4});
}

// A desktop whose printing fails, by answer or by exception.
struct FailingPrinter : platform::FakePlatform {
    bool throws = false;
    bool printPicture(const std::string& formName) override {
        FakePlatform::printPicture(formName);
        if (throws) throw std::runtime_error("no printer");
        return false;
    }
};

TEST(ReportsPrint, ButtonsHideForThePrintoutOnlyAndTheSheetStaysWhite) {
    for (bool throws : {false, true}) {
        FailingPrinter fake;
        fake.throws = throws;
        zentrafo::Marlix w{fake};
        w.Form_Load();
        w.reports.Command13_Click();
        w.reports.Command21_Click();
        Impress& sheet = *w.reports.impress.loaded();
        Stats& stats = *w.reports.stats.loaded();
        std::vector<bool> shownAtYield;
        fake.onYield = [&] { shownAtYield.push_back(sheet.Frame1->visible() && stats.Frame1->visible()); };
        for (Control* print : {sheet.Command5, stats.Command5}) {
            if (throws)
                EXPECT_THROW(print->click(), std::runtime_error);
            else
                print->click();
        }
        EXPECT_EQ(shownAtYield, (std::vector<bool>{false, false}));
        EXPECT_EQ(fake.printed, (std::vector<std::string>{"Impress", "Stats"}));
        EXPECT_TRUE(sheet.Frame1->visible());
        EXPECT_TRUE(stats.Frame1->visible());
        EXPECT_EQ(sheet.form.backColor, Impress::kWhite);
    }
}

TEST_F(ReportsTest, ClosedWhilePrintingTheWindowGoesOnlyOnceThePrintReturned) {
    r.Command21_Click();
    Control& print = *r.stats.loaded()->Command5;
    fake.onYield = [&] { r.unloadStats(); };
    print.click(); // the print carries on with its window after the yield
    EXPECT_EQ(r.stats.loaded(), nullptr);
    EXPECT_EQ(fake.unloadedForms, std::vector<std::string>{"Stats"});
    fake.onYield = nullptr;
    EXPECT_EQ(stats().List2->listCount(), 24); // a fresh window
}

TEST_F(ReportsTest, QuitAndCloseUnloadOnlyLoadedWindowsAndTheLinkOpensTheHomePage) {
    r.unloadImpress();
    r.unloadStats();
    EXPECT_EQ(r.impress.loaded(), nullptr);
    EXPECT_EQ(r.stats.loaded(), nullptr);
    EXPECT_TRUE(fake.unloadedForms.empty());

    r.Command13_Click();
    r.impress.loaded()->Label1->click();
    ASSERT_EQ(fake.opened.size(), 1u);
    EXPECT_EQ(fake.opened[0], zentrafo::AdresseServeur() + "/");
    r.Command21_Click();
    // The main window's close box takes both with it.
    w.closeWindow();
    EXPECT_EQ(fake.unloadedForms, (std::vector<std::string>{"Impress", "Stats"}));
    EXPECT_TRUE(fake.shownForms.empty());
    EXPECT_EQ(r.impress.loaded(), nullptr);
}

} // namespace
