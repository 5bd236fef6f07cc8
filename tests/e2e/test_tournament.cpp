// A whole tournament typed through the window: group scores, the knockout view opened
// with its button, knockout scores, and the podium read off the screen.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "e2e_support.h"
#include "main/marlix.h"
#include "platform/fake_platform.h"
#include "qt/main_window.h"

namespace {

struct TournamentTest : e2e::WindowFixture {
    void enter(const forms::Control* box, const char* text) { e2e::type(widget(box), QString::fromLatin1(text)); }
    // Both sides of every tie of one round: the left side wins.
    template <size_t N>
    void leftWins(const std::array<forms::Control*, N>& goals) {
        for (size_t i = 0; i < N; ++i) enter(goals[i], i % 2 == 0 ? "1" : "0");
    }
    std::string shownText(const forms::Control* c) {
        if (auto* l = qobject_cast<QLabel*>(widget(c))) return l->text().toStdString();
        if (auto* e = qobject_cast<QLineEdit*>(widget(c))) return e->text().toStdString();
        return {};
    }
};

TEST_F(TournamentTest, TypedTournamentReachesThePodium) {
    // Every group alike: slot 1 first, slot 2 second, slot 3 third.
    static const char* const scores[12] = {"1", "0", "2", "0", "1", "1", "0", "3", "0", "2", "1", "0"};
    for (auto& g : w.groups.groups)
        for (size_t k = 0; k < 12; ++k) enter(g.score[k], scores[k]);
    // Equal thirds: the later letters go through, C D E F, seated "3C|3D|3F|3E".
    EXPECT_EQ(w.groups.Frame11->tag(), "3C|3D|3F|3E");
    EXPECT_EQ(shownText(w.groups.overview[4]), "A1");
    EXPECT_EQ(shownText(w.groups.overview[5]), "C3");
    EXPECT_EQ(shownText(w.groups.Label15), "66 " + w.MSG[10]);
    e2e::shot(&window->view(), "tournament_groups.png");

    e2e::click(widget(w.views.Command1));
    ASSERT_TRUE(w.knockout.Frame9->visible());
    EXPECT_TRUE(widget(w.knockout.Frame9)->isVisible());
    EXPECT_EQ(shownText(w.knockout.Huit[3]), "E3");
    EXPECT_EQ(shownText(w.knockout.Huit[13]), "D3");

    auto& ko = w.knockout;
    leftWins(ko.Buthui);
    EXPECT_EQ(shownText(ko.Qua[1]), "D1");
    leftWins(ko.ButQua);
    leftWins(ko.ButDem);
    EXPECT_EQ(shownText(ko.FIN[0]), "A2");
    EXPECT_EQ(shownText(ko.FIN[1]), "C1");
    EXPECT_EQ(shownText(ko.pf[0]), "A1");
    EXPECT_EQ(shownText(ko.pf[1]), "B1");
    enter(ko.ButFIN[0], "2");
    enter(ko.ButFIN[1], "1");
    enter(ko.Butpetfin[0], "1");
    enter(ko.Butpetfin[1], "0");

    EXPECT_EQ(shownText(ko.pod[1]), "A2");
    EXPECT_EQ(shownText(ko.pod[2]), "C1");
    EXPECT_EQ(shownText(ko.pod[3]), "A1");
    EXPECT_EQ(shownText(ko.pod[4]), "B1");
    EXPECT_TRUE(widget(ko.Image8)->isVisible());
    // The winner's box carries the winner's colour on screen too.
    EXPECT_EQ(widget(ko.FIN[0])->palette().color(QPalette::Base), QColor(35, 170, 215));
    e2e::shot(&window->view(), "tournament_knockout.png");

    // Back to the groups: the bracket hides, nothing of it is lost.
    e2e::click(widget(w.views.Command1));
    EXPECT_FALSE(widget(ko.Frame9)->isVisible());
    EXPECT_EQ(ko.pod[1]->caption(), "A2");
}

} // namespace
