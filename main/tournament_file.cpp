#include "main/tournament_file.h"

#include <array>
#include <utility>

#include "forms/form.h"
#include "main/marlix.h"
#include "main/module_setting.h"
#include "online/online_services.h"

namespace zentrafo {

using forms::Control;
using forms::Kind;

namespace {

// A knockout section and its boxes.
struct KnockoutSection {
    const char* section;
    Control* const* boxes;
    int count;
};

template <size_t N>
KnockoutSection ks(const char* section, const std::array<Control*, N>& boxes) {
    return {section, boxes.data(), static_cast<int>(N)};
}

// The knockout sections in the order the file is written.
std::array<KnockoutSection, 10> knockoutSections(const KnockoutStage& ko) {
    return {ks("But8", ko.Buthui),      ks("Pen8", ko.ButPen),        ks("But4", ko.ButQua),
            ks("Pen4", ko.ButPen4),     ks("ButDEM", ko.ButDem),      ks("PenDEM", ko.ButPen2),
            ks("PenFIN", ko.ButPenFIN), ks("BUTFIN", ko.ButFIN),      ks("PenPetFIN", ko.ButPenpetfin),
            ks("BUTPetFIN", ko.Butpetfin)};
}

std::string key(int k) { return std::to_string(k); }

size_t charCount(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

double digitValue(std::string_view s, bool last) {
    // The first or last character of UTF-8 text; only an ASCII digit counts.
    if (s.empty()) return 0;
    const char c = last ? s.back() : s.front();
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

} // namespace

void TournamentFile::design() {
    forms::Form& f = w_.form;
    Text1 = &f.add(Kind::TextBox, "Text1", -1, nullptr, 0, -450, 1200, 285);
    Command3 = &f.add(Kind::Button, "Command3", -1, nullptr, 1140, 15, 1095, 915, "Sauve");
    Command3->setPicture("save");
    Command3->on(forms::Ev::Click, [this](Control&, forms::EventArgs&) { Command3_Click(); });
    List1 = &f.add(Kind::ListBox, "List1", -1, w_.views.Frame18, 4500, 0, 3000, 1200);
    for (int i = 0; i < 2; ++i) {
        ImaRepLogo[static_cast<size_t>(i)] = &f.add(Kind::Image, "ImaRepLogo", i, nullptr, 20000, 0, 2355, 3000);
        ImaRepLogo[static_cast<size_t>(i)]->setVisible(false);
    }
    ImaRepLogo[0]->setPicture("logo2019");
}

double TournamentFile::VersionFichier(std::string_view cv) {
    if (charCount(cv) != 3) return 0;
    return digitValue(cv, false) + digitValue(cv, true) / 10.0;
}

double TournamentFile::VersionProgramme() const {
    return w_.platform.versionMajor() + w_.platform.versionMinor() / 10.0;
}

void TournamentFile::VerifieVersion(const platform::IniFile& doc) {
    const std::string cv = LireIni(doc, "CV", "0", "-");
    if (cv == "-" || !(VersionProgramme() < VersionFichier(cv))) return;
    const int answer = w_.platform.messageBox(w_.MSG[15], platform::MbYesNo, std::string(kTitreVersion));
    if (answer != platform::AnsYes) return;
    w_.platform.shellOpen(AdresseServeur() + "/foot.php");
    w_.platform.endProcess();
}

void TournamentFile::ChargeFichier(const std::string& stem) {
    Text1->setText(stem);
    // One read of the file serves every key below.
    const platform::IniFile doc = LitFichierAffiche(w_.platform, w_.LangueCourante, stem);
    VerifieVersion(doc);

    GroupStage& gs = w_.groups;
    // Marks before scores, so that any recomputation a score starts already sees them.
    for (int k = 1; k <= 4; ++k)
        for (Group& g : gs.groups)
            g.team[static_cast<size_t>(k)]->setTag(LireIni(doc, std::string("TS") + g.letter, key(k)));
    for (Group& g : gs.groups) {
        const std::string but = std::string("But") + g.letter, equip = std::string("Equip") + g.letter;
        for (int k = 0; k < 12; ++k) g.score[static_cast<size_t>(k)]->setText(LireIni(doc, but, key(k), "-"));
        for (int k = 1; k <= 4; ++k)
            g.team[static_cast<size_t>(k)]->setText(LireIni(doc, equip, key(k), std::string(1, g.letter) + key(k)));
    }

    auto readOrder = knockoutSections(w_.knockout);
    // The round of sixteen's penalties are in place before its goals, whose changes carry
    // the winners on.
    std::swap(readOrder[0], readOrder[1]);
    for (const KnockoutSection& s : readOrder)
        for (int k = 0; k < s.count; ++k) s.boxes[k]->setText(LireIni(doc, s.section, key(k), "-"));

    OnlineServices& on = w_.online;
    on.Lablien->setCaption(LireIni(doc, "Lien", "0"));
    on.Lablien->setTag(LireIni(doc, "Lien", "1"));

    ChargeMatchs(doc);
    w_.langage.AfficheMessage(LireIni(doc, "Mess", key(w_.LangueCourante)));
    gs.RecalculeTout();
}

bool TournamentFile::SauveFichier() {
    const std::string stem = Text1->text();
    platform::IniBatch batch = LotIni(w_.platform, stem);

    for (const Group& g : w_.groups.groups) {
        const std::string but = std::string("But") + g.letter, equip = std::string("Equip") + g.letter;
        for (int k = 0; k < 12; ++k) batch.set(but, key(k), g.score[static_cast<size_t>(k)]->text());
        for (int k = 1; k <= 4; ++k) batch.set(equip, key(k), g.team[static_cast<size_t>(k)]->text());
    }
    for (const KnockoutSection& s : knockoutSections(w_.knockout))
        for (int k = 0; k < s.count; ++k) batch.set(s.section, key(k), s.boxes[k]->text());
    for (int k = 1; k <= 4; ++k)
        for (const Group& g : w_.groups.groups)
            batch.set(std::string("TS") + g.letter, key(k), g.team[static_cast<size_t>(k)]->tag());

    if (batch.commit()) return true;
    // The window still holds the forecast: the user can fix the folder or free the disk
    // and press the button again.
    SignaleEchecSauvegarde(w_.platform, w_.LangueCourante, stem, Texte::PronosticNonEnregistre, Command3->caption());
    return false;
}

void TournamentFile::Command3_Click() {
    if (!SauveFichier()) return;
    if (!w_.ResultatsRecus) return;
    OnlineServices& on = w_.online;
    on.Shape9->setBackColor(OnlineServices::kShapeUnlocked);
    on.Label17_6->setVisible(false);
    on.Command16->setEnabled(true);
}

void TournamentFile::ChargeMatchs(const std::string& stem) { ChargeMatchs(LitFichierIni(w_.platform, stem)); }

void TournamentFile::ChargeMatchs(const platform::IniFile& doc) {
    List1->clear();
    auto info = [&doc](int k) { return LireIni(doc, "Match", key(k)); };
    auto line = [this](const std::string& tag, const std::string& text) { List1->addItem(tag + " " + text); };

    GroupStage& gs = w_.groups;
    for (int i = 0; i <= 10; i += 2) {
        for (int g = 0; g < 6; ++g) {
            Group& grp = gs.groups[static_cast<size_t>(g)];
            const std::string text = info(12 * g + i);
            line(std::string(1, grp.letter) + key(i), text);
            grp.fixture[static_cast<size_t>(i)]->setToolTip(text);
            grp.fixture[static_cast<size_t>(i + 1)]->setToolTip(text);
        }
    }
    KnockoutStage& ko = w_.knockout;
    for (int i = 0; i <= 14; i += 2) {
        const std::string text = info(100 + i);
        line("V" + key(i), text);
        ko.Huit[static_cast<size_t>(i)]->setToolTip(text);
        ko.Huit[static_cast<size_t>(i + 1)]->setToolTip(text);
        gs.overview[static_cast<size_t>(i)]->setToolTip(text);
        gs.overview[static_cast<size_t>(i + 1)]->setToolTip(text);
    }
    for (int i = 0; i <= 6; i += 2) {
        const std::string text = info(200 + i);
        line("W" + key(i), text);
        ko.Qua[static_cast<size_t>(i)]->setToolTip(text);
        ko.Qua[static_cast<size_t>(i + 1)]->setToolTip(text);
    }
    for (int i = 0; i <= 2; i += 2) {
        const std::string text = info(300 + i);
        line("X" + key(i), text);
        ko.DEM[static_cast<size_t>(i)]->setToolTip(text);
        ko.DEM[static_cast<size_t>(i + 1)]->setToolTip(text);
    }
    const std::string third = info(400);
    line("Y0", third);
    ko.pf[0]->setToolTip(third);
    ko.pf[1]->setToolTip(third);
    const std::string final = info(500);
    line("Z0", final);
    ko.FIN[0]->setToolTip(final);
    ko.FIN[1]->setToolTip(final);
}

} // namespace zentrafo
