// The qualifying panel in the real front end: opened from the button bar, a group
// chosen, a result typed, the standings, colours and count read from the widgets;
// saved and found again by the next start; the overall run and its candidates seated
// by a double-click; a fixture of the list leading to its group.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "e2e_support.h"
#include "main/module_setting.h"

namespace {

using e2e::Started;

struct QualifiersE2E : e2e::ProgramRuns {
    QualifiersE2E() { folder.putStarting("Kestrava.ini"); }
    static QLineEdit* edit(Started& r, const forms::Control* c) { return qobject_cast<QLineEdit*>(r.widget(c)); }
    static QColor base(QWidget* w) { return w->palette().color(QPalette::Base); }
};

TEST_F(QualifiersE2E, GroupTypedSavedFoundAgainThenRunAndSeated) {
    Started& first = startProgram();
    auto& q = first.w->qualifiers;
    QWidget* panel = first.widget(q.FraElim);
    ASSERT_TRUE(panel);
    EXPECT_FALSE(panel->isVisible());
    e2e::click(first.widget(q.Command26));
    EXPECT_TRUE(panel->isVisible());
    // The grid created at run time is there at once, and the full calendar listed.
    ASSERT_TRUE(first.widget(q.ButElim[59]));
    EXPECT_TRUE(first.widget(q.ButElim[59])->isVisible());
    auto* list = qobject_cast<QListWidget*>(first.widget(q.List7));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 260);

    e2e::click(first.widget(q.bTNgrp[8]));
    EXPECT_EQ(list->count(), 20);
    EXPECT_EQ(qobject_cast<QLabel*>(first.widget(q.Label24[2]))->text(), "20 matches dans la liste");
    EXPECT_FALSE(first.widget(q.SortEQU[6])->isVisible()); // five teams, five rows
    // Albanie - Arménie 3-1, typed into the first row.
    e2e::type(first.widget(q.ButElim[0]), "3");
    e2e::type(first.widget(q.ButElim[1]), "1");
    EXPECT_EQ(edit(first, q.ButElim[0])->text(), "3");
    EXPECT_EQ(edit(first, q.SortEQU[1])->text(), "Albanie");
    EXPECT_EQ(edit(first, q.SortPTS[1])->text(), "3");
    EXPECT_EQ(base(first.widget(q.ButElim[0])), QColor(0, 255, 0));
    EXPECT_EQ(base(first.widget(q.ButElim[1])), QColor(255, 128, 0));
    EXPECT_EQ(qobject_cast<QLabel*>(first.widget(q.Label24[1]))->text(), "1 matches joués sur 20");
    e2e::shot(&first.window->view(), "qualifiers_group.png");
    e2e::click(first.widget(q.Command23));
    EXPECT_TRUE(fake.boxes.empty());

    // Past fixtures hidden, the short list marks the rows of the team pointed at.
    fake.clock = {2015, 9, 1, 12, 0, 0};
    e2e::click(first.widget(q.Check1));
    e2e::click(first.widget(q.bTNgrp[8]));
    ASSERT_EQ(list->count(), 8);
    QWidget* albanie = first.widget(q.EquiElim[0]);
    e2e::moveOver(albanie, QPointF(5, 5));
    int rows = 0;
    for (int r = 0; r < list->count(); ++r) rows += list->item(r)->text().contains("Albanie");
    EXPECT_GT(rows, 0);
    EXPECT_EQ(list->selectedItems().size(), rows);
    EXPECT_EQ(base(albanie), QColor(255, 255, 0));

    Started& second = startProgram();
    auto& q2 = second.w->qualifiers;
    e2e::click(second.widget(q2.Command26));
    e2e::click(second.widget(q2.bTNgrp[8]));
    EXPECT_EQ(edit(second, q2.ButElim[0])->text(), "3");
    EXPECT_EQ(edit(second, q2.SortEQU[1])->text(), "Albanie");

    // The overall run lists the candidates; a double-click on a word seats its line.
    e2e::click(second.widget(q2.Command25));
    auto* candidates = qobject_cast<QPlainTextEdit*>(second.widget(q2.QuaBar));
    ASSERT_TRUE(candidates);
    const QStringList lines = candidates->toPlainText().split('\n');
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(qobject_cast<QLineEdit*>(second.widget(q2.ELIMGRP))->text(), "A");
    for (auto* b : q2.BAR) b->setText("");
    second.window->view().sync();
    const QRect line0 = candidates->cursorRect(QTextCursor(candidates->document()->findBlockByNumber(0)));
    e2e::mouse(candidates->viewport(), QEvent::MouseButtonDblClick, QPointF(line0.left() + 6, line0.center().y()));
    EXPECT_EQ(edit(second, q2.BAR[0])->text(), lines[0]);
    EXPECT_TRUE(candidates->toPlainText().startsWith('\n'));
    e2e::shot(&second.window->view(), "qualifiers_overall.png");

    // Back to the calendar; a fixture of group C leads to group C.
    e2e::click(second.widget(q2.Command27));
    auto* list2 = qobject_cast<QListWidget*>(second.widget(q2.List7));
    int row = 0;
    while (row < list2->count() && !list2->item(row)->text().startsWith("C ")) ++row;
    ASSERT_LT(row, list2->count());
    const auto press = [list2](int r) {
        list2->scrollToItem(list2->item(r));
        e2e::click(list2->viewport(), list2->visualItemRect(list2->item(r)).center());
    };
    press(row);
    EXPECT_EQ(qobject_cast<QLineEdit*>(second.widget(q2.ELIMGRP))->text(), "C");
    EXPECT_EQ(list2->count(), 30);
    EXPECT_EQ(q2.List7->backColor(), 0xFFFFFFu); // the press switched the highlight off
    // A line of the group's list greys its fixture and puts the focus in its home score.
    const QString fixture = list2->item(0)->text();
    press(0);
    QWidget* focused = QApplication::focusWidget();
    forms::Control* box = second.window->view().controlOf(focused);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->name(), "ButElim");
    const size_t x = static_cast<size_t>(box->index());
    EXPECT_TRUE(fixture.contains(edit(second, q2.EquiElim[x])->text() + " - " + edit(second, q2.EquiElim[x + 1])->text()));
    EXPECT_EQ(base(second.widget(q2.EquiElim[x])), QColor(80, 80, 80));
    EXPECT_EQ(qobject_cast<QLineEdit*>(focused)->selectedText(), "-");

    // Unlocked names in the drawing-of-lots frame: a double-click gives the advantage.
    second.w->groups.Label12_Click();
    q2.Command22_5->setVisible(true);
    second.window->view().sync();
    EXPECT_FALSE(second.widget(q2.Frame22)->isVisible());
    e2e::click(second.widget(q2.Command22_5));
    QWidget* name = second.widget(q2.NEElim[1]);
    ASSERT_TRUE(name->isVisible());
    e2e::mouse(name, QEvent::MouseButtonDblClick);
    EXPECT_EQ(zentrafo::LireIni(fake, "Kestrava", "TrimElimC", "1"), "10");
    e2e::shot(&second.window->view(), "qualifiers_trim.png");

    e2e::click(second.widget(q2.Command24));
    EXPECT_FALSE(second.widget(q2.FraElim)->isVisible());
}

// The contest picture lies over the right half of the first fixtures: a click there
// chooses the fixture, and downloads nothing.
TEST_F(QualifiersE2E, AClickOnAFixtureUnderThePictureChoosesTheFixture) {
    Started& r = startProgram();
    auto& q = r.w->qualifiers;
    e2e::click(r.widget(q.Command26));
    auto* list = qobject_cast<QListWidget*>(r.widget(q.List7));
    QWidget* picture = r.widget(r.w->online.Image21);
    ASSERT_TRUE(list && picture && picture->isVisible());
    QWidget* window = &r.window->view();
    const QRect row(list->viewport()->mapTo(window, list->visualItemRect(list->item(0)).topLeft()),
                    list->visualItemRect(list->item(0)).size());
    const QRect both = row & QRect(picture->mapTo(window, QPoint(0, 0)), picture->size());
    ASSERT_FALSE(both.isEmpty()) << "the picture must lie over the row";
    const QString fixture = list->item(0)->text();
    e2e::clickAt(window, both.center());
    EXPECT_TRUE(fake.downloads.empty());
    EXPECT_EQ(edit(r, q.ELIMGRP)->text(), fixture.left(1));
}

} // namespace
