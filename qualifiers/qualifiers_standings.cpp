// The shown group's standings with the mini-league and the drawing of lots, the
// colours of what each team can still reach, the play-offs and the overall run.
#include <algorithm>
#include <cmath>
#include <sys/stat.h>

#include "forms/form.h"
#include "main/marlix.h"
#include "main/module_setting.h"
#include "platform/text.h"
#include "qualifiers/qualifiers_stage.h"

namespace zentrafo {

using forms::Control;

namespace {

double goals(const Control* box) { return platform::val(box->text()); }

// The standings count in 16-bit whole numbers. A counter takes its sum with a typed
// score rounded to the nearest whole number, a half to the even one, so halves count as
// they add up (1 + 0.5 holds 2, 0 + 0.5 holds 0); it stops at its limits instead of
// wrapping.
int whole(double v) { return static_cast<int>(std::clamp(std::nearbyint(v), double(INT16_MIN), double(INT16_MAX))); }
void add(int16_t& counter, double v) { counter = static_cast<int16_t>(whole(counter + v)); }

// Sorted lists order their items as text. A key keeps exactly its digits, rounded to a
// whole number; a key below zero is written as "-" and its complement to the largest
// key, so that it sorts below every other key and among the others by its number. A key
// beyond the width, which the counters' limits never reach, is written as the widest
// one, and a key that is no number as the lowest: the order shown follows the numbers.
std::string digits(double v, int width) {
    const double top = std::pow(10.0, width) - 1;
    const double r = std::isnan(v) ? -top : std::clamp(std::round(v), -top, top);
    return r < 0 ? "-" + platform::formatFixed(top + r, width, 0) : platform::formatFixed(r, width, 0);
}

// The number a key written by digits() stands for.
double keyValue(std::string_view text) {
    if (text.empty() || text.front() != '-') return platform::val(text);
    double top = 1;
    for (size_t i = 1; i < text.size(); ++i) top *= 10;
    return platform::val(text.substr(1)) - (top - 1);
}

// The width that writes every key of a list with at least five digits: six once one
// of them needs it. The counters' limits keep every key within six.
int widthFor(std::initializer_list<int> keys) {
    int width = 5;
    for (int k : keys)
        if (k > 99999 || k < -99999) width = 6;
    return width;
}

const std::string kCrLf = "\r\n";

} // namespace

double QualifiersStage::lots(const std::string& group, int slot) {
    const std::string path = CheminIni(w_.platform, kFichier);
    struct stat st {};
    const bool there = !path.empty() && ::stat(path.c_str(), &st) == 0;
    FileStamp stamp;
    if (there)
        stamp = {static_cast<unsigned long long>(st.st_ino), static_cast<unsigned long long>(st.st_size),
                 st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec,
                 st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec};
    LotsCache& c = lotsCache_;
    if (!c.valid || !there || c.path != path || !(c.stamp == stamp)) {
        c.doc = LitFichierIni(w_.platform, kFichier);
        c.path = path;
        c.stamp = stamp;
        c.valid = there;
    }
    return platform::val(LireIni(c.doc, "TrimElim" + group, std::to_string(slot), "0"));
}

void QualifiersStage::CalculGroupeElim() {
    // Nothing to rank before the grid exists.
    if (!grilleCreee()) return;
    Calendrier& cal = w_.calendrier;
    List5->clear();
    List6->clear();
    for (int r = 1; r <= 6; ++r)
        for (auto* col : {&SortEQU, &SortPTS, &SortJ, &SortG, &SortN, &SortP, &SortBP, &SortBC, &SortDiff})
            (*col)[static_cast<size_t>(r)]->setText("");
    SortRang[7]->setVisible(false);
    for (Control* b : ButElim) b->setBackColor(kWhite);

    struct Team {
        int16_t played = 0, won = 0, drawn = 0, lost = 0, pts = 0, gf = 0, ga = 0, mgf = 0, mga = 0;
        int key = 0, tie = 0;
    };
    std::array<Team, 6> t{};
    int16_t joues = 0;
    const uint32_t grey = forms::rgb(220, 220, 220);
    const auto played = [](const Control* b) { return b->text() != "-"; };

    // One played match seen from one side: its goals box first. The typed values decide
    // the match (1.6 beats 1.5); the counters hold whole goals.
    const auto tally = [grey](Team& s, Control* own, Control* other) {
        const double go = goals(own), gt = goals(other);
        add(s.played, 1);
        if (go > gt) {
            add(s.pts, 3), add(s.won, 1);
            own->setBackColor(kGreen);
            other->setBackColor(kOrange);
        } else if (go < gt) {
            add(s.lost, 1);
        } else {
            add(s.pts, 1), add(s.drawn, 1);
            own->setBackColor(grey);
            other->setBackColor(grey);
        }
        add(s.gf, go), add(s.ga, gt);
    };
    for (size_t i = 0; i < 6; ++i) {
        const std::string& name = NEElim[i]->text();
        Team& s = t[i];
        for (size_t m = 0; m < 30; ++m) {
            Control* h = ButElim[2 * m];
            Control* a = ButElim[2 * m + 1];
            if (EquiElim[2 * m]->text() != name || !played(h) || !played(a)) continue;
            compte(cal.NbMatchsJoues);
            tally(s, h, a);
        }
        for (size_t m = 0; m < 30; ++m) {
            Control* h = ButElim[2 * m];
            Control* a = ButElim[2 * m + 1];
            if (EquiElim[2 * m + 1]->text() != name) continue;
            const bool both = played(h) && played(a);
            if (both) {
                compte(joues);
                tally(s, a, h);
            }
            EquiElim[2 * m]->setFontBold(both);
            EquiElim[2 * m + 1]->setFontBold(both);
        }
        s.key = 1000 * s.pts + 10 * (s.gf - s.ga) + s.gf;
    }

    // Teams with the same key above zero, in key then name order; each carries its slot.
    const int tieWidth = widthFor({t[0].key, t[1].key, t[2].key, t[3].key, t[4].key, t[5].key});
    for (size_t i = 0; i < 6; ++i) {
        if (t[i].key <= 0) continue;
        for (size_t j = 0; j < 6; ++j) {
            if (j != i && t[j].key == t[i].key) {
                List6->addItem(digits(t[i].key, tieWidth) + "|" + NEElim[i]->text() + "|" + std::to_string(i));
                break;
            }
        }
    }
    const auto slotOf = [](const std::string& item) { return static_cast<size_t>(item.back() - '0'); };
    const auto keyOf = [](const std::string& item) { return item.substr(0, item.find('|')); };
    while (List6->listCount() > 0) {
        const std::string k0 = keyOf(List6->list(0));
        std::vector<size_t> members{slotOf(List6->list(0))};
        for (int n = 1; n < 3 && n < List6->listCount() && keyOf(List6->list(n)) == k0; ++n)
            members.push_back(slotOf(List6->list(n)));
        for (size_t mbr : members) t[mbr].mgf = t[mbr].mga = 0;
        for (size_t m = 0; m < 30; ++m) {
            for (size_t x : members) {
                for (size_t y : members) {
                    if (x == y || EquiElim[2 * m]->text() != NEElim[x]->text() ||
                        EquiElim[2 * m + 1]->text() != NEElim[y]->text())
                        continue;
                    const double gh = goals(ButElim[2 * m]), ga = goals(ButElim[2 * m + 1]);
                    add(t[x].mgf, gh), add(t[x].mga, ga);
                    add(t[y].mgf, ga), add(t[y].mga, gh);
                }
            }
        }
        if (members.size() > 1)
            for (size_t mbr : members) t[mbr].tie = t[mbr].mgf + 2 * (t[mbr].mgf - t[mbr].mga);
        // The group leaves the list by its slots, so a name inside another stays.
        std::vector<std::string> rest;
        for (const std::string& item : List6->items())
            if (std::find(members.begin(), members.end(), slotOf(item)) == members.end()) rest.push_back(item);
        List6->clear();
        for (std::string& item : rest) List6->addItem(std::move(item));
    }

    const std::string g = ELIMGRP->text();
    std::array<int, 6> rowKey{};
    for (size_t i = 0; i < 6; ++i) rowKey[i] = 1000 + t[i].key + 2 * t[i].tie + whole(lots(g, static_cast<int>(i)));
    const int rowWidth = widthFor({rowKey[0], rowKey[1], rowKey[2], rowKey[3], rowKey[4], rowKey[5]});
    for (size_t i = 0; i < 6; ++i) {
        const Team& s = t[i];
        const std::string& name = NEElim[i]->text();
        if (platform::trim(name).empty()) continue;
        std::string item = digits(rowKey[i], rowWidth) + "|" + name;
        for (int f : std::initializer_list<int>{s.pts, s.played, s.won, s.drawn, s.lost, s.gf, s.ga, s.gf - s.ga,
                                                10 * (s.gf - s.ga) + s.gf})
            item.append("|").append(std::to_string(f));
        List5->addItem(std::move(item));
    }

    for (int n = List5->listCount() - 1, r = 1; n >= 0 && r <= 6; --n, ++r) {
        const auto f = platform::split(List5->list(n), '|');
        if (f.size() < 10) continue;
        const size_t row = static_cast<size_t>(r);
        SortEQU[row]->setText(f[1]);
        SortPTS[row]->setText(f[2]);
        SortJ[row]->setText(f[3]);
        SortG[row]->setText(f[4]);
        SortN[row]->setText(f[5]);
        SortP[row]->setText(f[6]);
        SortBP[row]->setText(f[7]);
        SortBC[row]->setText(f[8]);
        SortDiff[row]->setText(f[9]);
    }

    // What each team earned against the sixth, negated: the thirds are compared without it.
    const std::string s6 = SortEQU[6]->text();
    std::string lines = Text5->text();
    for (size_t i = 0; i < 6; ++i) {
        const std::string& name = NEElim[i]->text();
        int16_t dPts = 0, dDiff = 0; // counters like the table's
        for (size_t m = 0; m < 30; ++m) {
            const std::string& home = EquiElim[2 * m]->text();
            const std::string& away = EquiElim[2 * m + 1]->text();
            const double gh = goals(ButElim[2 * m]), ga = goals(ButElim[2 * m + 1]);
            const bool homePlayed = ButElim[2 * m]->text() != "-";
            if (home == s6 && away == name) {
                if (ga > gh) add(dPts, -3);
                if (ga == gh && homePlayed) add(dPts, -1);
                add(dDiff, gh - ga);
            }
            if (away == s6 && home == name) {
                if (gh > ga) add(dPts, -3);
                if (gh == ga && homePlayed) add(dPts, -1);
                add(dDiff, ga - gh);
            }
        }
        lines.append(name).append("|").append(std::to_string(dPts)).append("|").append(std::to_string(dDiff));
        lines.append(kCrLf);
    }
    Text5->setText(lines);

    const bool cinq = !g.empty() && static_cast<unsigned char>(g[0]) > 'H';
    const int total = cinq ? 20 : 30;
    Label24[1]->setCaption(std::to_string(joues) + w_.MSG[18] + std::to_string(total));
    CouleurGroupeElim(total - joues);
}

void QualifiersStage::CouleurGroupeElim(int remaining) {
    const std::string g = ELIMGRP->text();
    if (g.empty() || !grilleCreee()) return;
    const size_t n = static_cast<unsigned char>(g[0]) > 'H' ? 5 : 6;
    List8->clear();
    std::array<uint32_t, 7> colour{};
    const auto points = [this](size_t i) { return static_cast<int>(platform::val(SortPTS[i]->text())); };
    for (size_t i = n; i >= 1; --i) {
        int open = 0;
        for (size_t k = 0; k < 60; ++k)
            if (EquiElim[k]->text() == SortEQU[i]->text() && ButElim[k]->text() == "-") ++open;
        const int max = points(i) + 3 * open;
        List8->addItem(digits(max, 2));
        colour[i] = i < 3 ? kWhite : kUndecided;
        if (remaining == 0 || points(2) > max) colour[i] = kRed;
    }
    const int thirdBest = static_cast<int>(platform::val(List8->list(static_cast<int>(n) - 3)));
    for (size_t i = 1; i <= n; ++i) {
        if (thirdBest < points(i)) colour[i] = kGreen;
        if (remaining == 0) {
            if (i <= 2) colour[i] = kGreen;
            if (i == 3 && colour[i] == kRed) colour[i] = kYellow;
            if (i == 3 && SortEQU[3]->text() == QUALIF[19]->text()) colour[i] = kGreen;
        }
    }
    for (size_t i = 1; i <= n; ++i) {
        SortPTS[i]->setBackColor(colour[i]);
        for (Control* c : {SortRang[i], SortEQU[i], SortJ[i], SortG[i], SortN[i], SortP[i], SortBP[i], SortBC[i],
                           SortDiff[i]})
            c->setBackColor(colour[i]);
    }
}

// ---- Play-offs -----------------------------------------------------------------------

void QualifiersStage::CalculBarrages() {
    if (Frame22->tag() == "charge") return;
    // The winners are those of the ties as they stand now: a corrected score replaces
    // its tie's winner instead of listing both sides.
    for (int i = 20; i <= 23; ++i) QUALIF[static_cast<size_t>(i)]->setText("");
    for (size_t tie = 0; tie < 4; ++tie) {
        Control* h = ButBAR[2 * tie];
        Control* a = ButBAR[2 * tie + 1];
        BAR[2 * tie + 1]->setBackColor(kWhite);
        BAR[2 * tie]->setBackColor(kWhite);
        if (h->text() == "-" || a->text() == "-") continue;
        const double gh = goals(h), ga = goals(a);
        if (gh > ga) {
            BAR[2 * tie]->setBackColor(kGreen);
            AjouteQualifieBarrage(BAR[2 * tie]->text());
        } else if (ga > gh) {
            BAR[2 * tie + 1]->setBackColor(kGreen);
            AjouteQualifieBarrage(BAR[2 * tie + 1]->text());
        }
    }
}

void QualifiersStage::AjouteQualifieBarrage(const std::string& team) {
    for (int i = 20; i <= 23; ++i) {
        Control* q = QUALIF[static_cast<size_t>(i)];
        const std::string s = platform::trim(q->text());
        if (s == team) return;
        if (s.empty()) {
            q->setText(team);
            return;
        }
    }
}

void QualifiersStage::QuaBar_DblClick() {
    // The line under the caret is the candidate, whole and exactly.
    const std::string& text = QuaBar->text();
    const size_t caret = std::min(static_cast<size_t>(QuaBar->selStart()), text.size());
    const size_t previous = caret == 0 ? std::string::npos : text.rfind('\n', caret - 1);
    const size_t begin = previous == std::string::npos ? 0 : previous + 1;
    size_t end = text.find(kCrLf, begin);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(begin, end - begin);
    if (platform::trim(line).empty()) return;
    for (Control* seat : BAR) {
        if (!seat->text().empty()) continue;
        seat->setText(line);
        std::string rest = text;
        rest.erase(begin, end - begin);
        QuaBar->setText(rest);
        QuaBar->select(static_cast<int>(begin), 0);
        return;
    }
}

// ---- The overall run -----------------------------------------------------------------

void QualifiersStage::Command25_Click() {
    if (!grilleCreee()) return;
    Calendrier& cal = w_.calendrier;
    cal.NbMatchsJoues = 0;
    cal.NbMatchsElim = 0;
    Command25->setTag("AUTO");
    ListMeilleurB->clear();
    ListPremiers->clear();
    ListSeconds->clear();
    Text5->setText("");
    for (int k = 8; k >= 0; --k) {
        bTNgrp_Click(k);
        w_.platform.yield();
        // A group without a third-placed row gives neither a third nor its leaders.
        if (List5->listCount() < 3) continue;
        const auto row = platform::split(List5->list(List5->listCount() - 3), '|');
        if (row.size() < 2) continue;
        const double k3 = keyValue(row[0]);
        const std::string third(row[1]);
        double d = 0;
        const auto lines = platform::split(Text5->text(), '\n');
        for (size_t l = 0; l + 1 < lines.size(); ++l) {
            std::string_view line = lines[l];
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            const auto f = platform::split(line, '|');
            if (f.size() >= 2 && f[0] == third) d = platform::val(f[1]);
        }
        ListMeilleurB->addItem(digits(1000 * d + k3, 6) + "|" + third);
        if (k3 > 1200) {
            ListPremiers->addItem(SortEQU[1]->text());
            ListSeconds->addItem(SortEQU[2]->text());
        }
    }
    Command25->setTag("");
    const auto nom = [](const std::string& item) {
        const size_t bar = item.find('|');
        return bar == std::string::npos ? std::string() : item.substr(bar + 1);
    };
    if (cal.NbMatchsJoues > 8) {
        for (int i = 0; i < ListPremiers->listCount() && i < 9; ++i)
            QUALIF[static_cast<size_t>(1 + i)]->setText(ListPremiers->list(i));
        for (int i = 0; i < ListSeconds->listCount() && i < 9; ++i)
            QUALIF[static_cast<size_t>(10 + i)]->setText(ListSeconds->list(i));
        if (ListMeilleurB->listCount() > 0)
            QUALIF[19]->setText(nom(ListMeilleurB->list(ListMeilleurB->listCount() - 1)));
    }
    std::string candidats;
    for (int k = 2; k <= 9; ++k) {
        const int i = ListMeilleurB->listCount() - k;
        if (i < 0) break;
        candidats += nom(ListMeilleurB->list(i)) + kCrLf;
    }
    QuaBar->setText(candidats);
    List7->setVisible(false);
    Label24[2]->setVisible(List7->visible());
    Label24[0]->setCaption(std::to_string(cal.NbMatchsJoues) + w_.MSG[18] + std::to_string(cal.NbMatchsElim));
}

} // namespace zentrafo
