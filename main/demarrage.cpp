#include "main/demarrage.h"

#include <cmath>

#include "forms/form.h"
#include "main/marlix.h"
#include "platform/text.h"

namespace zentrafo {

using forms::Control;
using forms::onClick;
using forms::Ev;
using forms::Kind;

void Demarrage::design() {
    forms::Form& f = w_.form;

    Command5 = &f.add(Kind::Button, "Command5", -1, nullptr, 15, 15, 1110, 915, "Quitter");
    Command5->setPicture("quit");
    onClick(Command5, [this] { Command5_Click(); });

    Control* help = w_.views.Fraide;
    Label7 = &f.add(Kind::Label, "Label7", -1, help, 9600, 600, 4700, 285);
    Command14 = &f.add(Kind::Button, "Command14", -1, help, 75, 360, 3345, 465, kModeReduit);
    onClick(Command14, [this] { Command14_Click(); });

    // The home picture holds the pointing hand that start-up gives every clickable
    // label and image.
    w_.online.Image2->setMouseIcon("hand");

    // Welcome panel, over the group tables; parked outside the window until start-up.
    Frame21 = &f.add(Kind::Frame, "Frame21", -1, nullptr, 20000, 960, 13260, 8700);
    Frame21->setValue(1);
    Frame21->setBackColor(0xFFFFFF);
    Frame21->setVisible(false);
    Shape8 = &f.add(Kind::Shape, "Shape8", -1, Frame21, 120, 120, 13020, 8460);
    Shape8->setBackColor(0xFFFFFF);
    Shape8->setForeColor(0xD7AA23);
    Shape8->setValue(4);
    Label23 = &f.add(Kind::Label, "Label23", -1, Frame21, 600, 480, 12060, 900, "Bienvenue");
    Label23->setFontName("Arial");
    Label23->setFontSize(27.75);
    Label23->setFontBold(true);
    Label23->setForeColor(0xD7AA23);
    Label23->setBackColor(0xFFFFFF);
    Label23->setAlignment(forms::Align::Center);
    Image19 = &f.add(Kind::Image, "Image19", -1, Frame21, 2430, 1560, 8400, 6600);
    Image19->setPicture("welcome");
    Image19->setStretch(true);
    Timer2 = &f.add(Kind::Timer, "Timer2", -1, Frame21);
    Timer2->setInterval(1000);
    Timer2->setTag("1");
    Timer2->on(Ev::Timer, [this](Control&, forms::EventArgs&) { Timer2_Timer(); });
}

void Demarrage::Timer2_Timer() {
    const double ticks = platform::val(Timer2->tag()) + 1;
    Timer2->setTag(platform::numText(ticks));
    if (ticks > 5) {
        Frame21->setVisible(false);
        Timer2->setEnabled(false);
    }
}

void Demarrage::Command5_Click() {
    // Each step runs whatever the one before it did: quitting must not fail halfway.
    auto attempt = [](auto fn) {
        try {
            fn();
        } catch (...) {
        }
    };
    attempt([this] { w_.reports.unloadImpress(); });
    attempt([this] { w_.reports.unloadStats(); });
    attempt([this] { w_.Form_Unload(); });
    w_.platform.endProcess();
}

void Demarrage::Command14_Click() {
    w_.views.Fraide->setVisible(false);
    const bool reduce = Command14->caption() == kModeReduit;
    Command14->setCaption(reduce ? kModeNormal : kModeReduit);
    // The model keeps the design's positions, which the rankings read back; the front
    // end draws every control at the zoom. Counting whole steps brings a second click
    // back to exactly the design, however many clicks came before.
    scaleSteps_ += reduce ? -1 : 1;
    forms::Form& f = w_.form;
    f.zoom = scaleSteps_ == 0 ? 1.0 : scaleSteps_ < 0 ? std::pow(0.85, -scaleSteps_) : std::pow(1.0 / 0.85, scaleSteps_);
    f.fontStep = scaleSteps_;
    for (const auto& c : f.controls())
        if (c->kind() == Kind::Image) c->setStretch(true);
    // The contest pictures and the bracket's spare image keep their own size.
    w_.online.Image13->setStretch(false);
    w_.online.Image14->setStretch(false);
    w_.infos.Image15->setStretch(false);
}

} // namespace zentrafo
