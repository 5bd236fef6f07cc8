#include "main/views.h"

#include "forms/form.h"
#include "main/marlix.h"

namespace zentrafo {

using forms::Control;
using forms::onClick;
using forms::Ev;
using forms::Kind;

void Views::design() {
    forms::Form& f = w_.form;

    Command1 = &f.add(Kind::Button, "Command1", -1, nullptr, 2250, 15, 1245, 915, "Phase Finale");
    Command6 = &f.add(Kind::Button, "Command6", -1, nullptr, 3480, 15, 855, 915, "Aide");
    Command6->setPicture("help");
    onClick(Command1, [this] { Command1_Click(); });
    onClick(Command6, [this] { Command6_Click(); });

    // Help panel, parked outside the client area until start-up places it. Its top-left
    // corner holds the display-mode button, so the title stands on the right.
    Fraide = &f.add(Kind::Frame, "Fraide", -1, nullptr, 20000, 930, 17565, 8985);
    Fraide->setVisible(false);
    Label2 = &f.add(Kind::Label, "Label2", -1, Fraide, 9600, 120, 4700, 450, "Dravello Féminine 2019");
    Label2->setFontBold(true);
    Label2->setFontSize(14);
    Command2 = &f.add(Kind::Button, "Command2", -1, Fraide, 14490, 7605, 1785, 1305, "Retour");
    Command2->setPicture("back");
    onClick(Command2, [this] { Command2_Click(); });
    // Shown in the help as pictures of the two toolbar buttons; they do nothing.
    Command9 = &f.add(Kind::Button, "Command9", -1, Fraide, 75, 3240, 1245, 915, "Phase de Groupes");
    Command10 = &f.add(Kind::Button, "Command10", -1, Fraide, 1440, 3240, 1245, 915, "Phase Finale");
    for (int i = 0; i < 2; ++i) {
        ico[static_cast<size_t>(i)] =
            &f.add(Kind::Image, "ico", i, Fraide, i == 0 ? 11835 : 12435, i == 0 ? 5100 : 5130, 480, 480);
        ico[static_cast<size_t>(i)]->setPicture(i == 0 ? "ico0" : "ico1");
        ico[static_cast<size_t>(i)]->setVisible(false);
    }

    // Example entry boxes of the help, laid out as one side's goals and penalties and then
    // the other's: the knockout stage wires them like the bracket's own boxes.
    for (int i = 16; i <= 17; ++i) {
        Control& goals = f.add(Kind::TextBox, "Buthui", i, Fraide, i == 16 ? 600 : 1680, 4740, 330, 255, "-");
        Control& pen = f.add(Kind::TextBox, "ButPen", i, Fraide, i == 16 ? 960 : 1320, 4740, 330, 255, "-");
        goals.setAlignment(forms::Align::Center);
        pen.setAlignment(forms::Align::Center);
        pen.setBackColor(0x808080);
        Buthui[static_cast<size_t>(i - 16)] = &goals;
        ButPen[static_cast<size_t>(i - 16)] = &pen;
    }

    // What each part of the window does, beside the example it explains where there is
    // one; the language files translate them.
    struct Aide {
        int left, top, width, height;
        const char* texte;
    };
    static constexpr std::array<Aide, kAides> kTextes{{
        {75, 1200, 9300, 660,
         "Groupes : pour chaque match, tapez les buts de chaque équipe dans les deux cases entre les noms (« - » = "
         "pas encore joué). Un clic dans une case sélectionne ses deux caractères : ce que vous tapez remplace le "
         "score."},
        {75, 2040, 9300, 900,
         "Les tables se classent aux points (3 par victoire, 1 par nul), puis à la différence de buts, puis aux buts "
         "marqués. Les deux premiers de chaque groupe et les quatre meilleurs troisièmes vont en huitièmes. Si deux "
         "équipes d'un groupe complet restent à égalité, un avis propose le tirage au sort : cliquez sur le nom de "
         "l'équipe désignée."},
        {2880, 4500, 6495, 900,
         "Phase finale : tapez les buts dans les cases blanches, comme ici. En cas d'égalité, les tirs au but vont "
         "dans les cases grises à côté des buts. Le vainqueur passe au tour suivant, jusqu'au podium."},
        {2880, 3240, 6495, 915,
         "Le même bouton de la barre montre l'une ou l'autre de ces images : il passe des groupes à la phase "
         "finale, et inversement. La phase finale se remplit d'après les classements des groupes."},
        {9600, 3900, 7800, 450, "Sauve : enregistre vos pronostics, retrouvés au prochain lancement. Quitter ne les "
                                "enregistre pas."},
        {9600, 4500, 7800, 450, "Mise à jour : télécharge les résultats officiels publiés par l'auteur ; ils "
                                "remplacent vos pronostics."},
        {9600, 5100, 7800, 450, "Stats : classement final, buts par équipe et total des buts. L'imprimante ouvre le "
                                "tableau final, prêt à imprimer."},
        {9600, 5700, 7800, 660, "Qualifications : les groupes A à I et les barrages de qualification. Choisissez un "
                                "groupe par sa lettre, tapez les scores, puis Sauver."},
        {9600, 6510, 7800, 450, "Calendrier : les matches du jour choisi (jour et mois) et leurs diffuseurs."},
        {3540, 330, 5835, 660, "Réduit toute la fenêtre à 85 % pour un petit écran ; un nouveau clic rend la taille "
                               "normale. Ce choix est gardé au prochain lancement."},
    }};
    for (size_t i = 0; i < kAides; ++i) {
        const Aide& a = kTextes[i];
        LabAide[i] =
            &f.add(Kind::Label, "LabAide", static_cast<int>(i), Fraide, a.left, a.top, a.width, a.height, a.texte);
    }

    // Day's-matches panel; its content comes with the match calendar.
    Frame18 = &f.add(Kind::Frame, "Frame18", -1, nullptr, 20000, 990, 4065, 3930, "Calendrier");
    Frame18->setVisible(false);
    Image11 = &f.add(Kind::Image, "Image11", -1, Frame18, 2880, 2010, 960, 975);
    Image11->setPicture("close");
    onClick(Image11, [this] { Image11_Click(); });
}

void Views::Command1_Click() {
    w_.qualifiers.FraElim->setVisible(false);
    Frame18->setVisible(false);
    Fraide->setVisible(false);
    Control* bracket = w_.knockout.Frame9;
    if (Command1->caption() != w_.MSG[1]) {
        bracket->setVisible(false);
        Command1->setCaption(w_.MSG[1]);
        Command1->setPicture(ico[1]->picture());
    } else {
        Command1->setPicture(ico[0]->picture());
        bracket->setVisible(true);
        Command1->setCaption(w_.MSG[2]);
        w_.groups.RemplitHuitiemes();
        w_.knockout.PropageHuitiemes();
        w_.knockout.PropageQuarts();
        w_.knockout.PropageDemi();
    }
}

void Views::Command6_Click() {
    w_.qualifiers.FraElim->setVisible(false);
    Fraide->setVisible(!Fraide->visible());
    if (Fraide->visible()) {
        w_.knockout.Frame9->setVisible(false);
        Frame18->setVisible(false);
        // Made before the group panels, the help would open beneath them.
        Fraide->bringToFront();
    }
}

void Views::Command2_Click() { Fraide->setVisible(!Fraide->visible()); }

void Views::Image11_Click() { Frame18->setVisible(false); }

} // namespace zentrafo
