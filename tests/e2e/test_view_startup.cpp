// A list the program keeps hidden gets its widget only when it first shows: then it
// must show its rows and sit where it was designed, under the boxes made after it.
#include <gtest/gtest.h>

#include <QListWidget>

#include "forms/form.h"
#include "qt/form_view.h"

namespace {

TEST(ViewStartup, HiddenListShownLaterHasItsRowsAndStaysUnderLaterBoxes) {
    forms::Form form("Startup");
    forms::Control& list = form.add(forms::Kind::ListBox, "List", -1, nullptr, 0, 0, 3000, 3000);
    list.setVisible(false);
    for (const char* team : {"Norvège", "Corée", "France"}) list.addItem(team);
    forms::Control& cover = form.add(forms::Kind::TextBox, "Cover", -1, nullptr, 0, 0, 1500, 1500);
    zqt::FormView view(form);

    list.setVisible(true);
    view.sync();
    auto* shown = qobject_cast<QListWidget*>(view.widgetOf(list));
    ASSERT_TRUE(shown);
    EXPECT_FALSE(shown->isHidden());
    ASSERT_EQ(shown->count(), 3);
    EXPECT_EQ(shown->item(0)->text(), QString::fromUtf8("Norvège"));
    // Where both lie, the box made after the list is on top; elsewhere, the list.
    EXPECT_EQ(view.childAt(10, 10), view.widgetOf(cover));
    EXPECT_TRUE(shown->isAncestorOf(view.childAt(150, 150)) || view.childAt(150, 150) == shown);
}

} // namespace
