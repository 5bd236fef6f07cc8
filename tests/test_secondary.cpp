// A secondary window's life: made once on first use, unloaded from anywhere (its own
// handlers included), made afresh by the next use.
#include <gtest/gtest.h>

#include "forms/secondary.h"
#include "platform/fake_platform.h"

namespace {

struct Sheet {
    forms::Form form{"Sheet"};
    forms::Control* close = nullptr;
    forms::Control* note = nullptr;
};

struct SecondaryTest : ::testing::Test {
    platform::FakePlatform fake;
    int made = 0;
    forms::Secondary<Sheet> sheet{fake, [this] {
        ++made;
        auto s = std::make_unique<Sheet>();
        s->note = &s->form.add(forms::Kind::Label, "Note", -1, nullptr, 0, 0, 100, 100, "design");
        s->close = &s->form.add(forms::Kind::Button, "Close", -1, nullptr, 0, 0, 100, 100);
        // Unloading from the window's own handler, then still writing to it, as the
        // rest of a handler may do.
        s->close->on(forms::Ev::Click, [this, raw = s.get()](forms::Control&, forms::EventArgs&) {
            sheet.unload();
            raw->note->setCaption("after unload");
        });
        return s;
    }};
};

TEST_F(SecondaryTest, LoadShowUnloadAndReload) {
    EXPECT_EQ(sheet.loaded(), nullptr);
    sheet.unload(); // never loaded: nothing is created to be unloaded
    EXPECT_EQ(made, 0);
    EXPECT_TRUE(fake.unloadedForms.empty());

    sheet.show();
    sheet.get().note->setCaption("changed");
    sheet.show(); // a second show brings the same instance to the front
    EXPECT_EQ(made, 1);
    EXPECT_EQ(fake.shownForms, std::vector<std::string>{"Sheet"});

    sheet.get().close->click(); // unloads itself while its handler runs on
    EXPECT_EQ(sheet.loaded(), nullptr);
    EXPECT_TRUE(fake.shownForms.empty());
    EXPECT_EQ(fake.unloadedForms, std::vector<std::string>{"Sheet"});

    EXPECT_EQ(sheet.get().note->caption(), "design") << "a reloaded window starts from its design";
    EXPECT_EQ(made, 2);
}

TEST_F(SecondaryTest, ModalShowLetsTheUserActAndTheCloseBoxUnloads) {
    fake.onModal = [](forms::Form& f) { f.find("Close")->click(); };
    sheet.show(true);
    EXPECT_EQ(sheet.loaded(), nullptr) << "the modal window was closed by its button";

    fake.onModal = nullptr;
    sheet.show();
    ASSERT_TRUE(sheet.get().form.closeRequested);
    sheet.get().form.closeRequested();
    EXPECT_EQ(sheet.loaded(), nullptr);
    EXPECT_EQ(fake.unloadedForms.size(), 2u);
}

// Properties set by name take any number a text holds: out of range, the nearest value
// the property can hold; a negative colour names one of the desktop's system colours.
TEST(LateBoundProperties, NumbersSaturate) {
    forms::Form form("Sheet");
    forms::Control& box = form.add(forms::Kind::TextBox, "Box", -1, nullptr, 0, 0, 100, 100);
    const std::string huge(400, '9');
    ASSERT_TRUE(box.setProperty("Left", huge) && box.setProperty("Top", "-" + huge) &&
                box.setProperty("Width", "12.9") && box.setProperty("BackColor", "-2147483633") &&
                box.setProperty("ForeColor", "4294967296"));
    EXPECT_EQ(box.left(), 2147483647);
    EXPECT_EQ(box.top(), -2147483647 - 1);
    EXPECT_EQ(box.width(), 12);
    EXPECT_EQ(box.backColor(), 0x8000000Fu);
    EXPECT_EQ(box.foreColor(), 0x7FFFFFFFu);
}

} // namespace
