#include "main/marlix.h"

#include <cmath>

#include "platform/text.h"

namespace zentrafo {

Marlix::Marlix(platform::Platform& p) : Marlix(p, platform::Settings(UserSettings::kApplication)) {}

Marlix::Marlix(platform::Platform& p, platform::Settings settings)
    : platform(p), groups(*this), knockout(*this), views(*this), qualifiers(*this), online(*this), reports(*this), fichier(*this),
      langage(*this), reglages(std::move(settings)) {
    form.caption = "Dravello Féminine 2019";
    views.design();
    groups.design();
    knockout.design();
    groups.designOnBracket();
    qualifiers.design();
    online.design();
    reports.design();
    fichier.design();
    langage.design();
}

void Marlix::Form_Load() {
    qualifiers.FraElim->setLeft(0);
    views.Frame18->setTop(990);
    online.Frame20->setLeft(45);
    views.Frame18->setLeft(13355);
    views.Frame18->bringToFront();
    knockout.Frame9->setLeft(15);
    LangueCourante = 0;
    views.Fraide->setLeft(15);

    // The language comes before the tournament file, whose version question is one of
    // its texts. Values the program never writes fall back to the defaults.
    const double langue = std::nearbyint(platform::val(reglages.get("langue", "0")));
    const double image = std::nearbyint(platform::val(reglages.get("ChImage", "1")));
    online.ChChargeImage->setValue(image >= 0 && image <= 2 ? static_cast<int>(image) : 1);
    langage.lang_Click(langue >= 0 && langue <= 2 ? static_cast<int>(langue) : 0);

    CouleurVainqueur = forms::rgb(35, 170, 215);
    CouleurNonQualifie = forms::rgb(175, 16, 22);
    groups.colourRows();

    online.RestaureSauvegarde();
    fichier.ChargeFichier("Zentrafo");

    views.Command1->setPicture(views.ico[1]->picture());
    views.Command10->setPicture(views.ico[1]->picture());
    views.Command9->setPicture(views.ico[0]->picture());

    ChargementFini = true;
    groups.RecalculeTout();
    form.caption = views.Label2->caption();
}

void Marlix::Form_Unload() {
    // The display-mode button belongs to the display scale; the mode is read from what
    // the button offers.
    if (const forms::Control* mode = form.find("Command14"); mode && mode->name() == "Command14") {
        if (mode->caption() == "Passer en mode normal") reglages.set("reduit", "1");
        if (mode->caption() == "Passer en mode réduit") reglages.set("reduit", "0");
    }
    // An empty box never erases what is stored.
    if (!online.Text2[1]->text().empty()) reglages.set("pseudo", online.Text2[1]->text());
    if (!online.Text2[0]->text().empty()) reglages.set("mdp", online.Text2[0]->text());
    // The secondary windows go with the main window.
    reports.unloadImpress();
    reports.unloadStats();
}

} // namespace zentrafo
