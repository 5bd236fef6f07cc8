#include "online/online_services.h"

#include <cstdlib>

#include "forms/form.h"
#include "main/marlix.h"

namespace zentrafo {

using forms::Kind;

std::string AdresseServeur() {
    std::string base = "https://www.zentrafo.fr";
    if (const char* env = std::getenv("ZENTRAFO_SERVER"); env && *env) base = env;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

void OnlineServices::design() {
    forms::Form& f = w_.form;
    // Parked outside the client area until start-up places it.
    Frame20 = &f.add(Kind::Frame, "Frame20", -1, nullptr, 20000, 960, 9000, 6400, "Concours de pronostics");
    Frame20->setVisible(false);
    Text2[1] = &f.add(Kind::TextBox, "Text2", 1, Frame20, 2400, 480, 3000, 285);
    Text2[0] = &f.add(Kind::TextBox, "Text2", 0, Frame20, 2400, 900, 3000, 285);
    ChChargeImage = &f.add(Kind::CheckBox, "ChChargeImage", -1, Frame20, 240, 1380, 5000, 285,
                           "Ne pas recharger l'image au lancement.");
    ChChargeImage->setValue(1);

    Shape9 = &f.add(Kind::Shape, "Shape9", -1, Frame20, 240, 2100, 300, 300);
    Shape9->setBackColor(kShapeLocked);
    Command16 = &f.add(Kind::Button, "Command16", -1, Frame20, 720, 1980, 7800, 540,
                       "Envoyer le dernier score  (Le chemin du fichier est dans le presse papier)");
    Command16->setEnabled(false);
    Label17_6 = &f.add(Kind::Label, "Label17", 6, Frame20, 240, 2700, 8400, 720,
                       "Il faut avoir téléchargé le dernier fichier (même s'il est de vous...) , puis faire vos "
                       "modifications, et les enregistrer pour que cette fonction soit disponible !!!");

    Lablien = &f.add(Kind::Label, "Lablien", -1, nullptr, 13400, 600, 2100, 285);
    Lablien->setForeColor(0xFF0000); // blue, as a link

    Image13 = &f.add(Kind::Image, "Image13", -1, Frame20, 240, 3600, 2400, 1800);
    Image14 = &f.add(Kind::Image, "Image14", -1, nullptr, 13400, 120, 1200, 780);
    Image14->setVisible(false);
}

// Built with the online services; until then start-up's call does nothing.
void OnlineServices::ChargeImage() {}

} // namespace zentrafo
