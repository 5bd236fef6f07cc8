#include "main/marlix.h"

#include <cmath>

#include "main/module_setting.h"
#include "platform/in_place_rewrite.h"
#include "platform/text.h"

namespace zentrafo {

Marlix::Marlix(platform::Platform& p) : Marlix(p, platform::Settings(UserSettings::kApplication)) {}

Marlix::Marlix(platform::Platform& p, platform::Settings settings)
    : platform(p), groups(*this), knockout(*this), views(*this), qualifiers(*this), online(*this), reports(*this), fichier(*this),
      langage(*this), reglages(std::move(settings)), infos(*this), demarrage(*this) {
    form.caption = "Dravello Féminine 2019";
    reglages.siNonGardes = [this] { SignaleReglagesNonGardes(platform, LangueCourante); };
    views.design();
    groups.design();
    infos.designMainCopy();
    knockout.design();
    groups.designOnBracket();
    qualifiers.design();
    online.design();
    reports.design();
    fichier.design();
    langage.design();
    infos.design();
    demarrage.design();
}

namespace {

// A step of start-up that fails leaves the window usable and shown; only ending the
// process (the user chose to fetch a newer version) stops the start.
template <class Step>
void step(Step&& run) {
    try {
        run();
    } catch (const platform::ProcessEnded&) {
        throw;
    } catch (...) {
    }
}

} // namespace

void Marlix::Form_Load() {
    const platform::DateTime now = platform.now();
    // Whatever an interrupted save left is put right before any file is read.
    step([&] {
        platform::setRecoveryFolder(reglages.store().place());
        platform::recoverUnfinishedSaves(
            {CheminIni(platform, "Zentrafo"), CheminIni(platform, QualifiersStage::kFichier), reglages.store().filePath()});
    });

    step([&] {
        qualifiers.FraElim->setLeft(0);
        views.Frame18->setTop(990);
        online.Frame20->setLeft(45);
        infos.Frame16->setLeft(600);
        demarrage.Frame21->setLeft(0);
        views.Frame18->setLeft(13355);
        views.Frame18->bringToFront();
    });
    step([&] {
        for (forms::Control* l : infos.LabTer) l->setCaption("");
        knockout.Frame9->setLeft(15);
    });
    LangueCourante = 0;
    views.Fraide->setLeft(15);

    // The language comes before the tournament file, whose version question is one of
    // its texts. Values the program never writes fall back to the defaults.
    step([&] {
        const double langue = std::nearbyint(platform::val(reglages.get("langue", "0")));
        const double image = std::nearbyint(platform::val(reglages.get("ChImage", "1")));
        online.ChChargeImage->setValue(image >= 0 && image <= 2 ? static_cast<int>(image) : 1);
        langage.lang_Click(langue >= 0 && langue <= 2 ? static_cast<int>(langue) : 0);
    });
    // Known from the start, in the window's language, whether or not a setting is written.
    step([&] { reglages.annonceSiNonGardes(); });

    CouleurVainqueur = forms::rgb(35, 170, 215);
    CouleurNonQualifie = forms::rgb(175, 16, 22);
    groups.colourRows();

    step([&] { online.RestaureSauvegarde(); });
    step([&] { fichier.ChargeFichier("Zentrafo"); });

    step([&] {
        views.Command1->setPicture(views.ico[1]->picture());
        views.Command10->setPicture(views.ico[1]->picture());
        views.Command9->setPicture(views.ico[0]->picture());
        qualifiers.Command23->setPicture(fichier.Command3->picture());
        qualifiers.Command24->setPicture(qualifiers.Command26->picture());
    });

    ChargementFini = true;
    step([&] { groups.RecalculeTout(); });

    // Clickable labels and images show a pointing hand; those that stand apart from
    // the links keep the window's own pointer.
    step([&] {
        const std::string hand = online.Image2->mouseIcon();
        for (forms::Control* c : {online.Label3, langage.lang[0], langage.lang[1], langage.lang[2], online.Label4[0],
                                  online.Label4[1], online.Label8, online.Label9, online.Label6[4], online.Image5})
            c->setMouseIcon(hand);
        for (forms::Control* c : {online.Image18[0], online.Label22[2], online.Image18[1], online.Lablien})
            c->setMouseIcon("");
    });

    step([&] {
        demarrage.Label7->setCaption("Dravello Féminine 2019 Version: " + std::to_string(platform.versionMajor()) + "." +
                                     std::to_string(platform.versionMinor()));
        online.Label6[4]->setCaption("Pellomir");
    });

    if (now > kDateFinGroupes) step([&] { views.Command1_Click(); });

    if (reglages.get("reduit") == "1") step([&] { demarrage.Command14_Click(); });

    step([&] { alignColumns(); });

    step([&] {
        for (size_t i = 0; i < 4; ++i) infos.ImChaine[i + 4]->setPicture(infos.ImChaine[i]->picture());
        infos.ImChaine[9]->setPicture(infos.ImChaine[8]->picture());
    });

    step([&] {
        infos.Combo3->clear();
        for (int d = 1; d <= 31; ++d) infos.Combo3->addItem(platform::twoDigits(d));
        infos.Combo4->clear();
        for (int m = 1; m <= 12; ++m) infos.Combo4->addItem(platform::twoDigits(m));
        infos.Combo3->setText(platform::twoDigits(now.day));
        infos.Combo4->setText(platform::twoDigits(now.month));
    });

    step([&] {
        if (reglages.get("pseudo").empty()) return;
        qualifiers.Command22_5->setVisible(true);
        if (online.ChChargeImage->value() == 0) step([&] { online.ChargeImage(); });
        online.Image14->setVisible(true);
        online.Image14->setMouseIcon(online.Image2->mouseIcon());
    });

    views.Frame18->setVisible(true);
    if (kDateQualifs < now && now < kDateFinGroupes) {
        views.Frame18->setVisible(true);
    } else {
        infos.Timer1->setEnabled(false);
        views.Frame18->setVisible(false);
    }

    form.caption = views.Label2->caption();

    const bool welcome = reglages.get("FirstUse") != "1";
    demarrage.Frame21->setVisible(welcome);
    demarrage.Timer2->setEnabled(welcome);

    if (now < kDateQualifs) {
        step([&] { qualifiers.ChargeElim(); });
        step([&] { qualifiers.Command27_Click(); });
        platform.yield();
        qualifiers.Label24[2]->setVisible(true);
    }
}

void Marlix::alignColumns() {
    Group& a = groups.groups[0];
    for (size_t i = 2; i <= 4; ++i) {
        a.points[i]->setLeft(a.points[1]->left());
        a.difference[i]->setLeft(a.difference[1]->left());
        a.goalsAgainst[i]->setLeft(a.goalsAgainst[1]->left());
        a.goalsFor[i]->setLeft(a.goalsFor[1]->left());
        a.played[i]->setLeft(a.played[1]->left());
    }
    // Group A's captions are Label1 1 to 4; each other group's caption of the same
    // column is element i of its own header row.
    for (size_t i = 1; i <= 4; ++i) {
        for (size_t g = 5; g >= 1; --g) groups.groups[g].header[i]->setLeft(a.header[i]->left());
        for (size_t g = 1; g < 6; ++g) groups.groups[g].played[i]->setLeft(a.played[1]->left());
        for (size_t g = 1; g < 6; ++g) groups.groups[g].points[i]->setLeft(a.points[1]->left());
        for (size_t g = 1; g < 6; ++g) groups.groups[g].difference[i]->setLeft(a.difference[1]->left());
        for (size_t g = 1; g < 6; ++g) groups.groups[g].goalsAgainst[i]->setLeft(a.goalsAgainst[1]->left());
        for (size_t g = 1; g < 6; ++g) groups.groups[g].goalsFor[i]->setLeft(a.goalsFor[1]->left());
    }
}

void Marlix::Form_Unload() {
    if (demarrage.Command14->caption() == kModeNormal) reglages.set("reduit", "1");
    if (demarrage.Command14->caption() == kModeReduit) reglages.set("reduit", "0");
    // An empty box never erases what is stored.
    if (!online.Text2[1]->text().empty()) reglages.set("pseudo", online.Text2[1]->text());
    if (!online.Text2[0]->text().empty()) reglages.set("mdp", online.Text2[0]->text());
}

void Marlix::closeWindow() {
    // The secondary windows go with the main window, as with the quit button.
    reports.unloadImpress();
    reports.unloadStats();
    Form_Unload();
}

} // namespace zentrafo
