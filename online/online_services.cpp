#include "online/online_services.h"

#include "forms/form.h"
#include "main/marlix.h"
#include "main/module_setting.h"
#include "online/frec.h"

namespace zentrafo {

using forms::Control;
using forms::onClick;
using forms::Ev;
using forms::EventArgs;
using forms::Kind;

void OnlineServices::design() {
    forms::Form& f = w_.form;
    Command8 = &f.add(Kind::Button, "Command8", -1, nullptr, 5610, 15, 1245, 915, "Mise à jour");
    Command8->setFontBold(true);
    onClick(Command8, [this] { Command8_Click(); });

    designPanel();
    designLinks();

    Image14 = &f.add(Kind::Image, "Image14", -1, nullptr, 13400, 120, 1200, 780);
    Image14->setVisible(false);
    Image14->setToolTip("Clic Gauche = recharge. Clic droit = ouvre le module. ");
    Image14->on(Ev::MouseDown, [this](Control&, EventArgs& a) { Image14_MouseDown(a.button, a.shift); });
    if (Control* fraElim = w_.qualifiers.FraElim) {
        Image21 = &f.add(Kind::Image, "Image21", -1, fraElim, 15000, 300, 1200, 780);
        Image21->setToolTip("Clic droit = ouvre le module. Gauche = recharge");
        Image21->on(Ev::MouseDown, [this](Control&, EventArgs& a) { Image21_MouseDown(a.button, a.shift); });
    }

    // The banner and the empty label that shows it on hover. The banner stays without a
    // picture: it lies beneath the group panels, so any picture would show in slivers.
    Label25 = &f.add(Kind::Label, "Label25", -1, nullptr, 9030, 15, 1500, 900);
    Label25->on(Ev::MouseMove, [this](Control&, EventArgs&) { Label25_MouseMove(); });
    Image6 = &f.add(Kind::Image, "Image6", -1, nullptr, 9030, 960, 6495, 1800);
    Image6->setVisible(false);

    if (Control* label2 = w_.views.Label2)
        label2->on(Ev::MouseDown, [this](Control&, EventArgs& a) { Label2_MouseDown(a.button, a.shift); });
    // The label array's elements on the qualifying panel answer as the panel's own do.
    for (Control* label : {w_.qualifiers.Label17_3, w_.qualifiers.Label17_5})
        label->on(Ev::MouseDown, [this](Control&, EventArgs& a) { Label17_MouseDown(a.shift); });
}

void OnlineServices::designPanel() {
    forms::Form& f = w_.form;
    // Parked outside the client area until start-up places it.
    Frame20 = &f.add(Kind::Frame, "Frame20", -1, nullptr, 20000, 960, 14000, 6400, "Mise à jour fichier.");
    Frame20->setVisible(false);
    auto label = [&](int index, int left, int top, int width, const char* caption) {
        Control& l = f.add(Kind::Label, "Label17", index, Frame20, left, top, width, 285, caption);
        l.on(Ev::MouseDown, [this](Control&, EventArgs& a) { Label17_MouseDown(a.shift); });
    };
    auto box = [&](const char* name, int index, int left, int top, int width) {
        return &f.add(Kind::TextBox, name, index, Frame20, left, top, width, 285);
    };

    label(10, 240, 480, 2000, "Pseudo");
    Text2[1] = box("Text2", 1, 2400, 480, 3000);
    label(11, 240, 900, 2000, "mot de passe");
    Text2[0] = box("Text2", 0, 2400, 900, 3000);
    ChChargeImage = &f.add(Kind::CheckBox, "ChChargeImage", -1, Frame20, 240, 1380, 5000, 285,
                           "Ne pas recharger l'image au lancement.");
    ChChargeImage->setValue(1);

    Shape9 = &f.add(Kind::Shape, "Shape9", -1, Frame20, 240, 2100, 300, 300);
    Shape9->setBackColor(kShapeLocked);
    Command16 = &f.add(Kind::Button, "Command16", -1, Frame20, 720, 1980, 7800, 540,
                       "Envoyer le dernier score  (Le chemin du fichier est dans le presse papier)");
    Command16->setEnabled(false);
    onClick(Command16, [this] { Command16_Click(); });
    Label17_6 = &f.add(Kind::Label, "Label17", 6, Frame20, 240, 2700, 8400, 720,
                       "Il faut avoir téléchargé le dernier fichier (même s'il est de vous...) , puis faire vos "
                       "modifications, et les enregistrer pour que cette fonction soit disponible !!!");
    Label17_6->on(Ev::MouseDown, [this](Control&, EventArgs& a) { Label17_MouseDown(a.shift); });

    Command20[1] = &f.add(Kind::Button, "Command20", 1, Frame20, 720, 3480, 3800, 450, "Envoyer Fichier Eliminatoires.");
    Command17 = &f.add(Kind::Button, "Command17", -1, Frame20, 4720, 3480, 3800, 450,
                       "Modifier le fichier manuellement. (Experts only)");
    Image13 = &f.add(Kind::Image, "Image13", -1, Frame20, 240, 4080, 2400, 1800);
    Command20[0] = &f.add(Kind::Button, "Command20", 0, Frame20, 2880, 4080, 2400, 450, "Recharger l'image");
    Label4[1] = &f.add(Kind::Label, "Label4", 1, Frame20, 2880, 4680, 2400, 285, "Forum entre nous");
    Label4[1]->setForeColor(0xFF0000);
    Command19 = &f.add(Kind::Button, "Command19", -1, Frame20, 2880, 5220, 2400, 540, "Fermer");
    onClick(Command20[1], [this] { Command20_Click(1); });
    onClick(Command20[0], [this] { Command20_Click(0); });
    onClick(Command17, [this] { Command17_Click(); });
    onClick(Command19, [this] { Command19_Click(); });
    onClick(Image13, [this] { ChargeImage(); });
    onClick(Label4[1], [this] { Label4_Click(1); });

    // The publisher's fields.
    label(12, 9000, 480, 2300, "Version du programme");
    Text2[2] = box("Text2", 2, 11400, 480, 1200);
    label(13, 9000, 900, 2300, "Version disponible");
    Text2[3] = box("Text2", 3, 11400, 900, 1200);
    label(14, 9000, 1380, 2300, "Lien");
    Text4[0] = box("Text4", 0, 9000, 1680, 4700);
    Text4[1] = box("Text4", 1, 9000, 2040, 4700);
    const char* langues[] = {"Texte Français", "Texte Anglais", "Texte Espagnol"};
    for (int i = 0; i < 3; ++i) {
        label(15 + i, 9000, 2500 + 700 * i, 2300, langues[i]);
        Text3[static_cast<size_t>(i)] = box("Text3", i, 9000, 2800 + 700 * i, 4700);
    }
    Command18 = &f.add(Kind::Button, "Command18", -1, Frame20, 9000, 4720, 4700, 540, "Enregistrer ces modifs");
    onClick(Command18, [this] { Command18_Click(); });
}

void OnlineServices::designLinks() {
    forms::Form& f = w_.form;
    Lablien = &f.add(Kind::Label, "Lablien", -1, nullptr, 15600, 540, 1900, 285);
    Lablien->setForeColor(0xFF0000); // blue, as a link
    onClick(Lablien, [this] { Lablien_Click(); });

    Image2 = &f.add(Kind::Image, "Image2", -1, nullptr, 8100, 15, 915, 915);
    Image2->setPicture("home");
    Image2->setStretch(true);
    onClick(Image2, [this] { Image2_Click(); });

    Control* fraide = w_.views.Fraide;
    Image5 = &f.add(Kind::Image, "Image5", -1, fraide, 14400, 600, 1500, 1500);
    Image5->setPicture("ball");
    Image5->setStretch(true);
    onClick(Image5, [this] { Image5_Click(); });
    // The author's line; the name opens the home page.
    for (int i = 3; i < 5; ++i) {
        Label6[static_cast<size_t>(i)] = &f.add(Kind::Label, "Label6", i, fraide, i == 3 ? 9600 : 11100, 1080, 1500,
                                                285, i == 3 ? "Auteur :" : "Pellomir");
        onClick(Label6[static_cast<size_t>(i)], [this, i] { Label6_Click(i); });
    }
    std::string site = AdresseServeur();
    if (const size_t scheme = site.find("://"); scheme != std::string::npos) site.erase(0, scheme + 3);
    Label9 = &f.add(Kind::Label, "Label9", -1, fraide, 9600, 2100, 4000, 285, site);
    Label3 = &f.add(Kind::Label, "Label3", -1, fraide, 9600, 2500, 4000, 285, "Me contacter...");
    Label4[0] = &f.add(Kind::Label, "Label4", 0, fraide, 9600, 2900, 4000, 285, "Participez sur le forum.");
    Label8 = &f.add(Kind::Label, "Label8", -1, fraide, 9600, 3300, 4000, 285, "Forum");
    for (Control* c : {Label9, Label3, Label4[0], Label8}) c->setForeColor(0xFF0000);
    onClick(Label9, [this] { Label9_Click(); });
    onClick(Label3, [this] { Label3_Click(); });
    onClick(Label4[0], [this] { Label4_Click(0); });
    onClick(Label8, [this] { Label8_Click(); });

    // The donation links: on the main window and in the knockout view, which covers the
    // window's own link and starts 960 twips lower, so its links stand higher in it.
    Control* frame9 = w_.knockout.Frame9;
    Image18[0] = &f.add(Kind::Image, "Image18", 0, nullptr, 16800, 9180, 600, 600);
    Image18[1] = &f.add(Kind::Image, "Image18", 1, frame9, 16800, 8220, 600, 600);
    Label22[0] = &f.add(Kind::Label, "Label22", 0, nullptr, 14600, 9300, 2100, 285, "Ce logiciel vous plait...");
    Label22[1] = &f.add(Kind::Label, "Label22", 1, frame9, 14600, 8100, 2100, 285, "Ce logiciel vous plait...");
    Label22[2] = &f.add(Kind::Label, "Label22", 2, frame9, 14600, 8400, 2100, 285, "Faire un don");
    for (int i = 0; i < 2; ++i) {
        Image18[static_cast<size_t>(i)]->setPicture("donate");
        Image18[static_cast<size_t>(i)]->setStretch(true);
        onClick(Image18[static_cast<size_t>(i)], [this, i] { Image18_Click(i); });
    }
    for (int i = 0; i < 3; ++i) {
        Label22[static_cast<size_t>(i)]->setForeColor(0xFF0000);
        onClick(Label22[static_cast<size_t>(i)], [this, i] { Label22_Click(i); });
    }
}

// --- Banner -----------------------------------------------------------------------------

void OnlineServices::Label25_MouseMove() {
    // The day's-programme timer hides the banner with its own panel, counting afresh.
    w_.infos.Timer1->setEnabled(true);
    w_.infos.Timer1->setTag("");
    Image6->setVisible(true);
}

// --- Sending and the panel's buttons ----------------------------------------------------

void OnlineServices::EnvoieFichier(const std::string& stem, const std::string& page) {
    if (Text2[1]->text().empty()) {
        w_.platform.messageBox("Pseudo ???", platform::MbOk, "Zentrafo");
        Text2[1]->setBackColor(0x0000FF);
        return;
    }
    w_.platform.setClipboard(CheminIni(w_.platform, stem));
    // Each value encoded, so the server reads exactly what was typed.
    ouvre(AdresseServeur() + page + "?mdp=" + EncodeURL(Text2[0]->text()) + "&pseudo=" + EncodeURL(Text2[1]->text()));
}

void OnlineServices::Command16_Click() { EnvoieFichier("Zentrafo", "/EXPZentrafo.php"); }

void OnlineServices::Command20_Click(int index) {
    if (index == 0) ChargeImage();
    if (index == 1) EnvoieFichier("Kestrava", "/expELIMZentrafo.php");
}

void OnlineServices::Command17_Click() {
    const std::string path = CheminIni(w_.platform, w_.fichier.Text1->text());
    if (!path.empty()) w_.platform.shellOpen(path);
}

void OnlineServices::Command19_Click() {
    Frame20->setVisible(false);
    if (!Text2[1]->text().empty()) w_.reglages.set("pseudo", Text2[1]->text());
    if (!Text2[0]->text().empty()) w_.reglages.set("mdp", Text2[0]->text());
    w_.reglages.set("ChImage", std::to_string(ChChargeImage->value()));
    Image14->setVisible(true);
    ChargeImage();
}

// --- Publisher mode ---------------------------------------------------------------------

void OnlineServices::Label2_MouseDown(int button, int shift) {
    if (button == 1) {
        ChargeImage();
        return;
    }
    const std::string stored = w_.reglages.get("mdp");
    std::string password;
    if (stored == kCodeEditeur) {
        password = stored;
    } else {
        if (button != 2 || shift != 1) return;
        password = w_.platform.inputPassword("Mot de passe ?", "Mise à jour", stored);
        if (password != kCodeEditeur) return;
    }
    platform::Platform& p = w_.platform;
    Text2[0]->setText(password);
    Text2[1]->setText(w_.reglages.get("pseudo"));
    Text2[2]->setText(std::to_string(p.versionMajor()) + "." + std::to_string(p.versionMinor()));
    const platform::IniFile tournoi = LitFichierIni(p, "Zentrafo");
    Text2[3]->setText(LireIni(tournoi, "CV", "0", "-"));
    Text4[0]->setText(LireIni(tournoi, "Lien", "0", "-"));
    Text4[1]->setText(LireIni(tournoi, "Lien", "1", "-"));
    const Control* fraElim = w_.qualifiers.FraElim;
    const platform::IniFile messages = fraElim && fraElim->visible() ? LitFichierIni(p, "Kestrava") : tournoi;
    for (int i = 0; i < 3; ++i) Text3[static_cast<size_t>(i)]->setText(LireIni(messages, "Mess", std::to_string(i), "-"));
    Image13->setStretch(false);
    Image14->setStretch(false);
    Frame20->setVisible(true);
    w_.views.Fraide->setVisible(false);
}

void OnlineServices::Image14_MouseDown(int button, int shift) {
    Label2_MouseDown(button, shift);
    if (button != 2) return;
    Frame20->bringToFront();
    w_.demarrage.Command5->bringToFront();
    Frame20->setVisible(true);
}

void OnlineServices::Label17_MouseDown(int shift) {
    if (shift != 1) return;
    Command16->setEnabled(true);
    Shape9->setBackColor(kShapeUnlocked);
}

void OnlineServices::Command18_Click() {
    platform::Platform& p = w_.platform;
    // Each file is rewritten once, whole, so a failure leaves it exactly as it was.
    platform::IniBatch tournoi = LotIni(p, "Zentrafo");
    tournoi.set("Lien", "0", Text4[0]->text());
    tournoi.set("Lien", "1", Text4[1]->text());
    for (int i = 0; i < 3; ++i) tournoi.set("Mess", std::to_string(i), Text3[static_cast<size_t>(i)]->text());
    if (Text2[2]->text() != Text2[3]->text()) Text2[3]->setBackColor(0x0000FF);
    tournoi.set("CV", "0", Text2[3]->text());
    platform::IniBatch qualifs = LotIni(p, "Kestrava");
    for (int i = 0; i < 3; ++i) qualifs.set("Mess", std::to_string(i), Text3[static_cast<size_t>(i)]->text());

    for (auto [batch, stem] : {std::pair{&tournoi, "Zentrafo"}, std::pair{&qualifs, "Kestrava"}})
        if (!batch->commit())
            SignaleEchecSauvegarde(p, w_.LangueCourante, stem, Texte::InformationsNonEnregistrees,
                                   Command18->caption());
}

// --- Web links --------------------------------------------------------------------------

void OnlineServices::ouvre(const std::string& address) { w_.platform.shellOpen(address); }

void OnlineServices::Image2_Click() { ouvre(AdresseServeur() + "/"); }
void OnlineServices::Image5_Click() { ouvre(AdresseServeur() + "/"); }
void OnlineServices::Label6_Click(int index) {
    if (index == 4) ouvre(AdresseServeur() + "/");
}
void OnlineServices::Label9_Click() { ouvre(AdresseServeur() + "/foot.php"); }
void OnlineServices::Label3_Click() {
    platform::Platform& p = w_.platform;
    const std::string sujet = "Vosk(f) V" + std::to_string(p.versionMajor()) + "." + std::to_string(p.versionMinor());
    ouvre(AdresseServeur() + "/contacter.php?sub=" + EncodeURL(sujet));
}
void OnlineServices::Label4_Click(int index) {
    if (index == 0) ouvre(std::string(kAdresseForum) + "/t145-trovanne-2012#986");
    if (index == 1) ouvre(std::string(kAdresseForum) + "/t146-mise-a-jour-trovanne");
}
void OnlineServices::Label8_Click() { ouvre(std::string(kAdresseForum) + "/t145-trovanne-2012#986"); }
void OnlineServices::Image18_Click(int) {
    ouvre(std::string(kAdresseDon) + "/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id=" + std::string(kBoutonDon) +
          "&source=url");
}
void OnlineServices::Label22_Click(int) { Image18_Click(1); }

void OnlineServices::Lablien_Click() {
    // The address comes from a downloaded file: only a web page may be opened, never a
    // file or a program of this machine.
    if (EstLienWeb(Lablien->tag())) ouvre(Lablien->tag());
}

} // namespace zentrafo
