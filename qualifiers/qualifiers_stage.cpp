// The qualifiers file, the group buttons, score entry, the tools of the panel and the
// fixture list with its hover marks.
#include "qualifiers/qualifiers_stage.h"

#include <algorithm>
#include <chrono>

#include "forms/form.h"
#include "main/marlix.h"
#include "main/module_setting.h"
#include "platform/text.h"

namespace zentrafo {

using forms::Control;

namespace {

std::string key(int k) { return std::to_string(k); }

bool present(const std::string& name) { return !name.empty() && name != "-"; }

// A record's date as yyyymmdd, 0 when it is not a date.
int dateKey(std::string_view d) {
    const auto parts = platform::split(d, '/');
    if (parts.size() != 3) return 0;
    const int day = static_cast<int>(platform::val(parts[0]));
    const int month = static_cast<int>(platform::val(parts[1]));
    const int year = static_cast<int>(platform::val(parts[2]));
    return year * 10000 + month * 100 + day;
}

// Fixtures from this date on are listed: yesterday when past ones are hidden.
int dateLimite(platform::Platform& p, const Control& check) {
    if (check.value() != 1) return 20000101;
    namespace ch = std::chrono;
    const platform::DateTime now = p.now();
    const ch::year_month_day today{ch::year{now.year}, ch::month{static_cast<unsigned>(now.month)},
                                   ch::day{static_cast<unsigned>(now.day)}};
    const ch::year_month_day y{ch::sys_days{today} - ch::days{1}};
    return static_cast<int>(y.year()) * 10000 + static_cast<int>(static_cast<unsigned>(y.month())) * 100 +
           static_cast<int>(static_cast<unsigned>(y.day()));
}

} // namespace

// ---- The qualifiers file -------------------------------------------------------------

bool QualifiersStage::sauveGroupe() {
    const std::string g = ELIMGRP->text();
    platform::IniBatch batch = LotIni(w_.platform, kFichier);
    for (int k = 0; k < 60; ++k) batch.set("But" + g, key(k), ButElim[static_cast<size_t>(k)]->text());
    for (int k = 0; k < 6; ++k) batch.set("Equip" + g, key(k), NEElim[static_cast<size_t>(k)]->text());
    for (int k = 0; k < 8; ++k) {
        batch.set("QBAR", key(k), BAR[static_cast<size_t>(k)]->text());
        batch.set("ButBAR", key(k), ButBAR[static_cast<size_t>(k)]->text());
    }
    lotsCache_.valid = false;
    return batch.commit();
}

void QualifiersStage::Command23_Click() {
    if (!grilleCreee()) return;
    if (sauveGroupe()) return;
    // The panel still holds the group, for the next press of the button.
    SignaleEchecSauvegarde(w_.platform, w_.LangueCourante, kFichier, Texte::QualificationsNonEnregistrees,
                           Command23->caption());
}

void QualifiersStage::ChargeGroupeElim() {
    if (!grilleCreee()) return;
    Frame22->setTag("charge");
    // One read of the file serves every key below.
    const platform::IniFile doc = LitFichierIni(w_.platform, kFichier);
    const std::string g = ELIMGRP->text();
    for (int k = 0; k < 60; ++k) {
        ButElim[static_cast<size_t>(k)]->setText("");
        EquiElim[static_cast<size_t>(k)]->setText("");
        ButElim[static_cast<size_t>(k)]->setText(LireIni(doc, "But" + g, key(k), "-"));
    }
    for (int k = 0; k < 6; ++k) NEElim[static_cast<size_t>(k)]->setText(LireIni(doc, "Equip" + g, key(k)));
    for (int k = 0; k < 8; ++k) {
        BAR[static_cast<size_t>(k)]->setText(LireIni(doc, "QBAR", key(k)));
        ButBAR[static_cast<size_t>(k)]->setText(LireIni(doc, "butBAR", key(k), "-"));
    }
    // Each ordered pair of named teams once, by home team then away team.
    size_t j = 0;
    for (int a = 0; a < 6; ++a) {
        for (int b = 0; b < 6; ++b) {
            const std::string& ha = NEElim[static_cast<size_t>(a)]->text();
            const std::string& hb = NEElim[static_cast<size_t>(b)]->text();
            if (a == b || !present(ha) || !present(hb) || j >= 30) continue;
            EquiElim[2 * j]->setText(ha);
            EquiElim[2 * j + 1]->setText(hb);
            compte(w_.calendrier.NbMatchsElim);
            ++j;
        }
    }
    Frame22->setTag("");
    CalculBarrages();
}

// ---- Group selection and score entry -------------------------------------------------

void QualifiersStage::bTNgrp_Click(int index) {
    if (index < 0 || index > 8 || !grilleCreee()) return;
    const int limite = dateLimite(w_.platform, *Check1);
    const std::string lettre = bTNgrp[static_cast<size_t>(index)]->caption();
    ELIMGRP->setText(lettre);
    ChargeGroupeElim();
    CalculGroupeElim();
    if (Command25->tag() != "AUTO") {
        List7->clear();
        for (int i = 0; i < 260; ++i) {
            const auto f = platform::split(w_.calendrier.MatchsElim[static_cast<size_t>(i)], '|');
            if (f.size() < 4 || f[3] != lettre || dateKey(f[0]) < limite) continue;
            List7->addItem(std::string(f[0]) + " " + std::string(f[1]) + " - " + std::string(f[2]));
        }
        List7->setVisible(true);
        Label24[2]->setCaption(std::to_string(List7->listCount()) + w_.MSG[19]);
        Label24[2]->setVisible(true);
    }
    const bool sixieme = !SortEQU[6]->text().empty();
    for (auto* col : {&SortEQU, &SortPTS, &SortJ, &SortG, &SortN, &SortP, &SortBP, &SortBC, &SortDiff})
        (*col)[6]->setVisible(sixieme);
    SortRang[6]->setVisible(sixieme);
}

void QualifiersStage::ButElim_Change(int index) {
    if (index < 0 || index >= 60 || !ButElim[static_cast<size_t>(index)]) return;
    Control& box = *ButElim[static_cast<size_t>(index)];
    Text5->setText("");
    if (Frame22->tag().empty()) {
        const int partner = index % 2 == 1 ? index - 1 : index + 1;
        if (ButElim[static_cast<size_t>(partner)] && ButElim[static_cast<size_t>(partner)]->text() != "-")
            CalculGroupeElim();
    }
    box.setText(sansTirets(box.text()));
}

void QualifiersStage::ButBAR_Change(int index) {
    if (index < 0 || index >= 8) return;
    Control& box = *ButBAR[static_cast<size_t>(index)];
    box.setText(sansTirets(box.text()));
    CalculBarrages();
}

// ---- Tools ---------------------------------------------------------------------------

void QualifiersStage::NEElim_DblClick(int index) {
    // A weight belongs to a shown group; with none chosen it could never count.
    if (index < 0 || index >= 6 || ELIMGRP->text().empty()) return;
    const std::string section = "TrimElim" + ELIMGRP->text();
    const double poids = platform::val(LireIni(w_.platform, kFichier, section, key(index), "0"));
    EcrireIni(w_.platform, kFichier, section, key(index), platform::numText(poids + 10));
    lotsCache_.valid = false;
    CalculGroupeElim();
}

// ---- Fixture list and hover ----------------------------------------------------------

void QualifiersStage::Command27_Click() {
    const int limite = dateLimite(w_.platform, *Check1);
    List7->clear();
    for (int i = 0; i < 260; ++i) {
        const std::string& rec = w_.calendrier.MatchsElim[static_cast<size_t>(i)];
        const auto f = platform::split(rec, '|');
        if (f.size() < 4 || dateKey(f[0]) < limite) continue;
        std::string line;
        line.reserve(rec.size() + 6);
        line.append(f[3]).append(" ").append(f[0]).append(" ").append(f[1]).append(" - ").append(f[2]);
        List7->addItem(std::move(line));
    }
    List7->setVisible(true);
    Label24[2]->setVisible(List7->visible());
    Label24[2]->setCaption(std::to_string(List7->listCount()) + w_.MSG[19]);
}

void QualifiersStage::List7_Click() { List7->setBackColor(List7->backColor() == kWhite ? kListOn : kWhite); }

void QualifiersStage::List7_MouseUp() {
    const std::string t = List7->list(List7->listIndex());
    if (t.size() >= 2 && t[1] == ' ') {
        if (t[0] >= 'A' && t[0] <= 'I') bTNgrp_Click(t[0] - 'A');
        return;
    }
    if (t.size() <= 11 || !grilleCreee()) return;
    const std::string rest = t.substr(11);
    const size_t sep = rest.find(" - ");
    if (sep == std::string::npos) return;
    const std::string home = rest.substr(0, sep);
    const std::string away = rest.substr(sep + 3, rest.find(" - ", sep + 3) - (sep + 3));
    for (size_t x = 0; x < 60; x += 2) {
        const bool match = EquiElim[x]->text() == home && EquiElim[x + 1]->text() == away;
        const uint32_t colour = match ? forms::rgb(80, 80, 80) : kWhite;
        EquiElim[x]->setBackColor(colour);
        EquiElim[x + 1]->setBackColor(colour);
        if (match) ButElim[x]->setFocus();
    }
}

void QualifiersStage::EquiElim_MouseMove(int index) {
    if (List7->backColor() == kWhite || index < 0 || index >= 60 || !EquiElim[static_cast<size_t>(index)]) return;
    const std::string n = EquiElim[static_cast<size_t>(index)]->text();
    const bool named = !platform::trim(n).empty();
    for (Control* e : EquiElim)
        if (e) e->setBackColor(named && e->text() == n ? kYellow : kWhite);
    if (List7->listCount() >= 15) return;
    for (int r = 0; r < List7->listCount(); ++r) {
        List7->setSelected(r, false);
        if (named && List7->list(r).find(n) != std::string::npos) List7->setSelected(r, true);
    }
}

void QualifiersStage::FraElim_MouseMove() { SortRang[7]->setVisible(false); }

void QualifiersStage::SortEQU_MouseMove(int index) {
    Control* popup = SortRang[7];
    if (index < 0 || index > 6) {
        popup->setVisible(false);
        return;
    }
    const Control& cell = *SortEQU[static_cast<size_t>(index)];
    const uint32_t c = cell.backColor();
    if (c == kRed)
        popup->setText(cell.text() + w_.MSG[20]);
    else if (c == kGreen)
        popup->setText(cell.text() + w_.MSG[22]);
    else if (c == kYellow)
        popup->setText(cell.text() + ": " + Label17_5->caption());
    else {
        popup->setVisible(false);
        return;
    }
    popup->setVisible(true);
}

} // namespace zentrafo
