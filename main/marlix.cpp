#include "main/marlix.h"

namespace zentrafo {

Marlix::Marlix(platform::Platform& p)
    : platform(p), groups(*this), knockout(*this), views(*this), qualifiers(*this) {
    form.caption = "Dravello Féminine 2019";
    views.design();
    groups.design();
    knockout.design();
    groups.designOnBracket();
    qualifiers.design();
}

void Marlix::Form_Load() {
    qualifiers.FraElim->setLeft(0);
    views.Frame18->setTop(990);
    views.Frame18->setLeft(13355);
    views.Frame18->bringToFront();
    knockout.Frame9->setLeft(15);
    LangueCourante = 0;
    views.Fraide->setLeft(15);

    CouleurVainqueur = forms::rgb(35, 170, 215);
    CouleurNonQualifie = forms::rgb(175, 16, 22);
    groups.colourRows();

    groups.RecalculeTout();

    views.Command1->setPicture(views.ico[1]->picture());
    views.Command10->setPicture(views.ico[1]->picture());
    views.Command9->setPicture(views.ico[0]->picture());

    ChargementFini = true;
    groups.RecalculeTout();
    form.caption = views.Label2->caption();
}

} // namespace zentrafo
