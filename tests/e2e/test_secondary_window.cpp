// Secondary windows on the desktop: a top-level window per form, a modal run that ends
// when the form unloads itself, and the close box handing the window back to its owner.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "e2e_support.h"
#include "forms/secondary.h"
#include "qt/qt_platform.h"
#include "qt/secondary_window.h"

namespace {

struct Panel {
    forms::Form form{"Panel"};
    forms::Control* ok = nullptr;
    forms::Control* text = nullptr;
};

struct SecondaryWindowTest : ::testing::Test {
    zqt::QtPlatform platform;
    int clicks = 0;
    forms::Secondary<Panel> panel{platform, [this] {
        auto p = std::make_unique<Panel>();
        p->form.caption = "Essai";
        p->form.clientWidth = 3000;
        p->form.clientHeight = 1500;
        p->form.backColor = 0xFFFFFF;
        p->text = &p->form.add(forms::Kind::Label, "Text", -1, nullptr, 150, 150, 2000, 300, "design");
        p->ok = &p->form.add(forms::Kind::Button, "Ok", -1, nullptr, 150, 600, 1200, 450, "OK");
        p->ok->on(forms::Ev::Click, [this](forms::Control&, forms::EventArgs&) {
            ++clicks;
            panel.unload();
        });
        return p;
    }};
};

TEST_F(SecondaryWindowTest, ShownUpdatedAndClosedByItsOwnButton) {
    panel.show();
    QWidget* shown = e2e::topLevelTitled("Essai");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->size(), QSize(200, 100));

    // A change made while another window's event is handled reaches this window too.
    panel.get().text->setCaption("changed");
    auto* view = shown->findChild<zqt::FormView*>();
    ASSERT_NE(view, nullptr);
    view->sync();
    auto* label = qobject_cast<QLabel*>(view->widgetOf(*panel.get().text));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "changed");

    e2e::click(view->widgetOf(*panel.get().ok));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(panel.loaded(), nullptr);
    EXPECT_EQ(e2e::topLevelTitled("Essai"), nullptr);
    QApplication::processEvents(); // the widgets go once the handler has returned

    panel.show(); // a fresh instance and a fresh window
    ASSERT_NE(e2e::topLevelTitled("Essai"), nullptr);
    EXPECT_EQ(panel.get().text->caption(), "design");
    e2e::topLevelTitled("Essai")->close(); // the close box
    EXPECT_EQ(panel.loaded(), nullptr);
    EXPECT_EQ(e2e::topLevelTitled("Essai"), nullptr);
}

TEST_F(SecondaryWindowTest, ModalRunEndsWhenTheFormUnloads) {
    QTimer::singleShot(0, [this] {
        QWidget* shown = e2e::topLevelTitled("Essai");
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->isModal());
        auto* view = shown->findChild<zqt::FormView*>();
        e2e::click(view->widgetOf(*panel.get().ok));
    });
    panel.show(true); // returns once the button has unloaded the window
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(panel.loaded(), nullptr);
    EXPECT_EQ(e2e::topLevelTitled("Essai"), nullptr);
}

} // namespace
