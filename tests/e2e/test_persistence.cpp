// The forecast survives in the real front end: scores typed with the keyboard, saved
// with the save button, are in the tables of the next window on the same folder; the
// English flag turns the window's texts into English.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <filesystem>

#include "e2e_support.h"

namespace fs = std::filesystem;

namespace {

using e2e::Started;

struct PersistenceTest : e2e::ProgramRuns {
    static void enter(Started& r, forms::Control* box, char figure) {
        e2e::type(r.widget(box), QString(QLatin1Char(figure)));
    }

    // What the user reads of the groups: every score box, and for the groups played so
    // far every figure and where each row stands. (A group without scores stacks its
    // equal rows by slot once any other group has a score, so its rows are left out.)
    static std::vector<std::string> tables(Started& r) {
        std::vector<std::string> out;
        for (const zentrafo::Group& g : r.w->groups.groups) {
            for (const forms::Control* b : g.score)
                out.push_back(qobject_cast<QLineEdit*>(r.widget(b))->text().toStdString());
            if (g.letter != 'C' && g.letter != 'E') continue;
            for (size_t s = 1; s <= 4; ++s) {
                auto* name = qobject_cast<QLineEdit*>(r.widget(g.team[s]));
                out.push_back(name->text().toStdString() + "@" + std::to_string(name->y()));
                for (const forms::Control* l : {g.played[s], g.points[s], g.goalsFor[s], g.goalsAgainst[s], g.difference[s]})
                    out.push_back(qobject_cast<QLabel*>(r.widget(l))->text().toStdString());
            }
        }
        return out;
    }
};

TEST_F(PersistenceTest, SavedScoresAreThereAtTheNextStart) {
    Started& first = startProgram();
    zentrafo::Group& c = first.w->groups.group('C');
    const char scores[] = "310211200413";
    for (size_t k = 0; k < 12; ++k) enter(first, c.score[k], scores[k]);
    enter(first, first.w->groups.group('E').score[2], '4');
    enter(first, first.w->groups.group('E').score[3], '0');
    ASSERT_EQ(c.points[1]->caption(), "7");
    const std::vector<std::string> shown = tables(first);

    auto* save = qobject_cast<QAbstractButton*>(first.widget(first.w->fichier.Command3));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "Sauve");
    e2e::click(save);
    EXPECT_TRUE(fake.boxes.empty());
    ASSERT_TRUE(fs::exists(folder.path("Zentrafo.ini")));
    first.window->close();

    Started& next = startProgram();
    EXPECT_EQ(tables(next), shown);
    EXPECT_EQ(qobject_cast<QLabel*>(next.widget(next.w->groups.group('C').points[1]))->text(), "7");
    EXPECT_EQ(qobject_cast<QLineEdit*>(next.widget(next.w->groups.group('E').score[2]))->text(), "4");
}

TEST_F(PersistenceTest, EnglishFlagTranslatesTheWindow) {
    Started& r = startProgram();
    auto* save = qobject_cast<QAbstractButton*>(r.widget(r.w->fichier.Command3));
    auto* view = qobject_cast<QAbstractButton*>(r.widget(r.w->views.Command1));
    auto* groupA = qobject_cast<QGroupBox*>(r.widget(r.w->groups.group('A').frame));
    ASSERT_TRUE(save && view && groupA);
    EXPECT_EQ(save->text(), "Sauve");
    EXPECT_EQ(view->text(), "Phase Finale");
    EXPECT_EQ(groupA->title(), "Groupe A");

    e2e::click(r.widget(r.w->langage.lang[1]));
    EXPECT_EQ(save->text(), "Save");
    EXPECT_EQ(view->text(), "Knockout stage");
    EXPECT_EQ(groupA->title(), "Group A");
    EXPECT_EQ(platform::Settings::inFolder(folder.config).get("data", "langue"), "1");
    e2e::shot(&r.window->view(), "window_english.png");

    // The next start opens in English.
    r.window->close();
    Started& next = startProgram();
    EXPECT_EQ(qobject_cast<QAbstractButton*>(next.widget(next.w->fichier.Command3))->text(), "Save");
}

} // namespace
