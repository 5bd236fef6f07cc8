// The real front end, offscreen: input goes in as Qt events, and what the widgets show
// is checked beside the model.
#include <gtest/gtest.h>

#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>

#include "e2e_support.h"
#include "main/marlix.h"
#include "platform/fake_platform.h"
#include "qt/main_window.h"

namespace {

constexpr uint32_t kNotQualified = forms::rgb(175, 16, 22);

QColor qcolour(uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

struct WindowTest : e2e::WindowFixture {
    zentrafo::Group& A() { return w.groups.group('A'); }
    QLineEdit* edit(const forms::Control* c) { return qobject_cast<QLineEdit*>(widget(c)); }
    QLabel* label(const forms::Control* c) { return qobject_cast<QLabel*>(widget(c)); }

    static void mouse(QWidget* target, QEvent::Type type) { e2e::mouse(target, type); }
    static void click(QWidget* target) { e2e::click(target); }
    static void key(QWidget* target, QChar ch) { e2e::key(target, ch); }
    // What a user does to enter a score: click the box, type the figure.
    void enter(forms::Control* box, QChar ch) {
        QLineEdit* e = edit(box);
        click(e);
        key(e, ch);
    }
};

TEST_F(WindowTest, TypedScoresRankTheGroupInTheWindow) {
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Dravello Féminine 2019"));
    EXPECT_EQ(window->view().size(), QSize(17535 / 15, 9900 / 15));

    QLineEdit* first = edit(A().score[0]);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(), "-");
    mouse(first, QEvent::MouseButtonPress);
    EXPECT_EQ(first->selectedText(), "-") << "the press handler's selection must survive the press";
    mouse(first, QEvent::MouseButtonRelease);
    EXPECT_EQ(first->selectedText(), "-") << "and the release";
    click(first); // a second click lands inside the selection, where a drag could start
    EXPECT_EQ(first->selectedText(), "-");
    key(first, '2');
    EXPECT_EQ(first->text(), "2");
    EXPECT_EQ(A().score[0]->text(), "2");

    enter(A().score[1], '1');
    EXPECT_EQ(edit(A().score[1])->text(), "1");
    EXPECT_EQ(A().score[1]->text(), "1");

    zentrafo::Group& g = A();
    EXPECT_EQ(g.team[1]->top(), 690);
    EXPECT_EQ(g.points[1]->caption(), "3");
    EXPECT_EQ(g.goalsFor[1]->caption(), "2");
    EXPECT_EQ(g.goalsAgainst[1]->caption(), "1");
    EXPECT_EQ(g.difference[1]->caption(), "1");
    EXPECT_EQ(g.played[1]->caption(), "1");

    // What the user reads: the same figures, on the first row.
    EXPECT_EQ(label(g.points[1])->text(), "3");
    EXPECT_EQ(label(g.goalsFor[1])->text(), "2");
    EXPECT_EQ(label(g.goalsAgainst[1])->text(), "1");
    EXPECT_EQ(label(g.difference[1])->text(), "1");
    EXPECT_EQ(label(g.played[1])->text(), "1");
    for (auto* c : {g.points[1], g.goalsFor[1], g.goalsAgainst[1], g.difference[1]})
        EXPECT_EQ(widget(c)->y(), 690 / 15) << c->name();
    EXPECT_EQ(widget(g.played[1])->y(), 705 / 15);
    EXPECT_EQ(widget(g.team[1])->y(), 690 / 15);
    // The loser went to the last row, on screen as in the model.
    EXPECT_EQ(g.team[2]->top(), 1635);
    EXPECT_EQ(widget(g.team[2])->y(), 1635 / 15);
    EXPECT_EQ(label(g.difference[2])->text(), "-1");
}

TEST_F(WindowTest, CleanedTextKeepsTheCursorAfterWhatWasTyped) {
    QLineEdit* box = edit(A().score[4]);
    // Typing after the "-" instead of over it: the handler strips the "-".
    box->setCursorPosition(1);
    key(box, '3');
    EXPECT_EQ(A().score[4]->text(), "3");
    EXPECT_EQ(box->text(), "3");
    EXPECT_EQ(box->cursorPosition(), 1);
    key(box, '1');
    EXPECT_EQ(box->text(), "31");
    EXPECT_EQ(A().score[4]->text(), "31");
    // A "-" typed between the digits is stripped; the cursor stays where it was typed.
    box->setCursorPosition(1);
    key(box, '-');
    EXPECT_EQ(A().score[4]->text(), "31");
    EXPECT_EQ(box->text(), "31");
    EXPECT_EQ(box->cursorPosition(), 1);
}

TEST_F(WindowTest, CompleteGroupMarksItsQualifiersInTheWindow) {
    zentrafo::Group& g = A();
    // A1 wins all, A2 beats A3 and A4, A3 beats A4: ranking 1, 2, 3, 4.
    // Matches (slots): 1-2, 3-4, 1-3, 4-2, 4-1, 2-3.
    for (size_t k = 0; k < 12; ++k) enter(g.score[k], QLatin1Char("201030010421"[k]));

    for (int s = 1; s <= 4; ++s) {
        const forms::Control* t = g.team[static_cast<size_t>(s)];
        QLineEdit* e = edit(t);
        const bool qualified = s <= 2;
        EXPECT_EQ(t->top(), zentrafo::kRowTop[static_cast<size_t>(s - 1)]) << s;
        EXPECT_EQ(e->y(), zentrafo::kRowTop[static_cast<size_t>(s - 1)] / 15) << s;
        EXPECT_EQ(e->font().bold(), qualified) << s;
        EXPECT_EQ(e->palette().color(QPalette::Active, QPalette::Text),
                  qualified ? QColor(255, 0, 0) : qcolour(kNotQualified))
            << s;
    }

    const QString png = e2e::outputPath("window_groups.png");
    QFile::remove(png);
    const QPixmap shot = window->grab();
    ASSERT_TRUE(shot.save(png));
    const QImage saved(png);
    EXPECT_EQ(saved.size(), shot.size());
    // The winner's name box is painted in its slot colour where the model says it is.
    QLineEdit* firstName = edit(g.team[1]);
    const QPoint inBox = firstName->mapTo(window.get(), QPoint(firstName->width() - 8, firstName->height() / 2));
    EXPECT_EQ(saved.pixelColor(inBox), qcolour(g.team[1]->backColor()));

    // One score back to "-": the group is open again, every name plain and black.
    enter(g.score[11], '-');
    EXPECT_EQ(edit(g.score[11])->text(), "-");
    for (int s = 1; s <= 4; ++s) {
        QLineEdit* e = edit(g.team[static_cast<size_t>(s)]);
        EXPECT_FALSE(e->font().bold()) << s;
        EXPECT_EQ(e->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 0)) << s;
    }
}

TEST_F(WindowTest, ClickOnATeamNameDecidesTheLots) {
    w.MSG[3] = "Tirage au sort";
    zentrafo::Group& g = A();
    for (forms::Control* box : g.score) enter(box, QLatin1Char('0'));
    EXPECT_EQ(label(g.lots)->text(), "Tirage au sort");
    ASSERT_NE(g.team[3]->top(), 690);
    EXPECT_EQ(edit(g.team[3])->y(), g.team[3]->top() / 15);

    click(edit(g.team[3]));
    EXPECT_EQ(g.team[3]->tag(), "1");
    EXPECT_EQ(g.team[3]->top(), 690);
    EXPECT_EQ(edit(g.team[3])->y(), 690 / 15);
    EXPECT_TRUE(edit(g.team[3])->font().bold());
}

TEST_F(WindowTest, LongTeamNamesFitTheirFixtureRowsInBothDisplayModes) {
    zentrafo::Group& e = w.groups.group('E');
    const char* const names[] = {"Corée du Sud", "Afrique du Sud", "Nouvelle-Zélande", "Pays-Bas"};
    for (size_t s = 1; s <= 4; ++s) e.team[s]->setText(names[s - 1]);
    w.groups.MajLabelsMatchs();
    window->view().sync();
    auto namesFit = [&](const char* mode) {
        for (size_t j = 0; j < 12; ++j) {
            QLabel* row = label(e.fixture[j]);
            EXPECT_LE(row->fontMetrics().horizontalAdvance(row->text()), row->width())
                << mode << ": " << row->text().toStdString();
        }
    };
    namesFit("normal");
    // A short name keeps the design's font.
    EXPECT_EQ(label(e.fixture[3])->font().pixelSize(), std::lround(e.fixture[3]->fontSize() * 96.0 / 72.0));
    const QImage before = widget(e.frame)->grab().toImage();

    auto toggle = [&] {
        click(widget(w.views.Command6)); // the help panel holds the mode button
        click(widget(w.demarrage.Command14));
    };
    toggle();
    ASSERT_EQ(w.demarrage.Command14->caption(), "Passer en mode normal");
    namesFit("reduced");
    // The day's panel's month shows both its digits beside the arrow.
    w.views.Frame18->setVisible(true);
    window->view().sync();
    auto* month = static_cast<QComboBox*>(widget(w.infos.Combo4));
    QStyleOptionComboBox opt;
    opt.initFrom(month);
    const QRect field = month->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, month);
    EXPECT_LE(month->fontMetrics().horizontalAdvance(month->currentText()), field.width() - 2);
    e2e::shot(&window->view(), "window_reduced_names.png");
    w.views.Frame18->setVisible(false);

    toggle();
    ASSERT_EQ(w.demarrage.Command14->caption(), "Passer en mode réduit");
    EXPECT_EQ(widget(e.frame)->grab().toImage(), before) << "the group must read as it did before the reduced mode";
}

} // namespace
