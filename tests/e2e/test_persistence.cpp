// The forecast survives in the real front end: scores typed with the keyboard, saved
// with the save button, are in the tables of the next window on the same folder; the
// English flag turns the window's texts into English.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QAbstractButton>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "e2e_support.h"
#include "private_folders.h"
#include "main/marlix.h"
#include "platform/fake_platform.h"
#include "platform/settings.h"
#include "qt/main_window.h"

namespace fs = std::filesystem;

namespace {

struct Session {
    std::unique_ptr<zentrafo::Marlix> w;
    std::unique_ptr<zqt::MainWindow> window;
};

class PersistenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = testing_support::makeTempDir("zentrafo-run");
        program = root + "/program";
        testing_support::copyRuntimeFiles(program);
        fake.folder = program;
    }
    void TearDown() override {
        for (Session& r : runs) {
            r.window.reset();
            r.w.reset();
        }
        fs::remove_all(root);
    }

    // One start of the program on the folder: the window loads, then is shown.
    Session& startProgram() {
        Session& r = runs.emplace_back();
        r.w = std::make_unique<zentrafo::Marlix>(fake, platform::Settings::inFolder(root + "/config"));
        r.w->Form_Load();
        r.window = std::make_unique<zqt::MainWindow>(*r.w);
        r.window->show();
        return r;
    }

    static QWidget* widget(Session& r, const forms::Control* c) { return r.window->view().widgetOf(*c); }
    static void click(QWidget* target) { e2e::click(target); }
    static void enter(Session& r, forms::Control* box, char figure) {
        e2e::type(widget(r, box), QString(QLatin1Char(figure)));
    }

    // What the user reads of the groups: every score box, and for the groups played so
    // far every figure and where each row stands. (A group without scores stacks its
    // equal rows by slot once any other group has a score, so its rows are left out.)
    static std::vector<std::string> tables(Session& r) {
        std::vector<std::string> out;
        for (const zentrafo::Group& g : r.w->groups.groups) {
            for (const forms::Control* b : g.score)
                out.push_back(qobject_cast<QLineEdit*>(widget(r, b))->text().toStdString());
            if (g.letter != 'C' && g.letter != 'E') continue;
            for (size_t s = 1; s <= 4; ++s) {
                auto* name = qobject_cast<QLineEdit*>(widget(r, g.team[s]));
                out.push_back(name->text().toStdString() + "@" + std::to_string(name->y()));
                for (const forms::Control* l : {g.played[s], g.points[s], g.goalsFor[s], g.goalsAgainst[s], g.difference[s]})
                    out.push_back(qobject_cast<QLabel*>(widget(r, l))->text().toStdString());
            }
        }
        return out;
    }

    std::string root, program;
    platform::FakePlatform fake;
    std::deque<Session> runs;
};

TEST_F(PersistenceTest, SavedScoresAreThereAtTheNextStart) {
    Session& first = startProgram();
    zentrafo::Group& c = first.w->groups.group('C');
    const char scores[] = "310211200413";
    for (size_t k = 0; k < 12; ++k) enter(first, c.score[k], scores[k]);
    enter(first, first.w->groups.group('E').score[2], '4');
    enter(first, first.w->groups.group('E').score[3], '0');
    ASSERT_EQ(c.points[1]->caption(), "7");
    const std::vector<std::string> shown = tables(first);

    auto* save = qobject_cast<QAbstractButton*>(widget(first, first.w->fichier.Command3));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "Sauve");
    click(save);
    EXPECT_TRUE(fake.boxes.empty());
    ASSERT_TRUE(fs::exists(program + "/Zentrafo.ini"));
    first.window->close();

    Session& next = startProgram();
    EXPECT_EQ(tables(next), shown);
    EXPECT_EQ(qobject_cast<QLabel*>(widget(next, next.w->groups.group('C').points[1]))->text(), "7");
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget(next, next.w->groups.group('E').score[2]))->text(), "4");
}

TEST_F(PersistenceTest, EnglishFlagTranslatesTheWindow) {
    Session& r = startProgram();
    auto* save = qobject_cast<QAbstractButton*>(widget(r, r.w->fichier.Command3));
    auto* view = qobject_cast<QAbstractButton*>(widget(r, r.w->views.Command1));
    auto* groupA = qobject_cast<QGroupBox*>(widget(r, r.w->groups.group('A').frame));
    ASSERT_TRUE(save && view && groupA);
    EXPECT_EQ(save->text(), "Sauve");
    EXPECT_EQ(view->text(), "Phase Finale");
    EXPECT_EQ(groupA->title(), "Groupe A");

    click(widget(r, r.w->langage.lang[1]));
    EXPECT_EQ(save->text(), "Save");
    EXPECT_EQ(view->text(), "Knockout stage");
    EXPECT_EQ(groupA->title(), "Group A");
    EXPECT_EQ(platform::Settings::inFolder(root + "/config").get("data", "langue"), "1");
    r.window->view().grab().save(QString::fromUtf8(ZENTRAFO_BUILD_DIR) + "/window_english.png");

    // The next start opens in English.
    r.window->close();
    Session& next = startProgram();
    EXPECT_EQ(qobject_cast<QAbstractButton*>(widget(next, next.w->fichier.Command3))->text(), "Save");
}

} // namespace
