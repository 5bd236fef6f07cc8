#include "online/frec.h"

#include "main/marlix.h"

namespace zentrafo {

using forms::Control;
using forms::onClick;
using forms::Ev;
using forms::EventArgs;
using forms::Kind;

FREC::FREC(Marlix& w) : w_(w) {
    form.clientWidth = 7200;
    form.clientHeight = 3300;
    form.icon = "ico1";
    Image2 = &form.add(Kind::Image, "Image2", -1, nullptr, 240, 240, 1600, 2040);
    Image2->setStretch(true);
    Label1[1] = &form.add(Kind::Label, "Label1", 1, nullptr, 2040, 240, 4900, 900);
    Label1[1]->setFontBold(true);
    Label1[0] = &form.add(Kind::Label, "Label1", 0, nullptr, 2040, 1200, 4900, 900);
    Command1 = &form.add(Kind::Button, "Command1", -1, nullptr, 2040, 2400, 2300, 600);
    Command2 = &form.add(Kind::Button, "Command2", -1, nullptr, 4640, 2400, 2300, 600);
    onClick(Command1, [this] { Command1_Click(); });
    onClick(Command2, [this] { Command2_Click(); });
}

void FREC::Form_Load() {
    Command1->setCaption(w_.MSG[16]);
    Command2->setCaption(w_.MSG[17]);
    form.caption = w_.online.Command8->caption();
    Label1[1]->setCaption(w_.MSG[4]);
    Label1[0]->setCaption(w_.MSG[5]);
    Image2->setPicture(w_.fichier.ImaRepLogo[0]->picture());
    // Confirming replaces the user's forecast: a stray Enter or Space cancels, and
    // confirming takes a click or a deliberate Tab.
    Command2->setDefault(true);
    form.focusRequest = Command2;
}

void FREC::Command1_Click() {
    w_.online.RECUP();
    w_.online.unloadFrec();
}

void FREC::Command2_Click() { w_.online.unloadFrec(); }

} // namespace zentrafo
