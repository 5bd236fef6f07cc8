// The best third-placed teams, the round-of-sixteen seating, the goal total and the
// full recalculation that ties the group stage to the knockout stage.
#include <cmath>

#include "forms/form.h"
#include "groups/group_stage.h"
#include "groups/sorter_item.h"
#include "main/marlix.h"
#include "platform/text.h"

namespace zentrafo {

using forms::Control;
using forms::Kind;

namespace {

// The 15 choices of four groups and whose thirds meet the winners of A, B, C and D.
constexpr std::array<std::pair<const char*, const char*>, 15> kSeatingTable{{
    {"ABCD", "3C|3D|3A|3B"}, {"ABCE", "3C|3A|3B|3E"}, {"ABCF", "3C|3A|3B|3F"}, {"ABDE", "3D|3A|3B|3E"},
    {"ABDF", "3D|3A|3B|3F"}, {"ABEF", "3E|3A|3B|3F"}, {"ACDE", "3C|3D|3A|3E"}, {"ACDF", "3C|3D|3A|3F"},
    {"ACEF", "3C|3A|3F|3E"}, {"ADEF", "3D|3A|3F|3E"}, {"BCDE", "3C|3D|3B|3E"}, {"BCDF", "3C|3D|3B|3F"},
    {"BCEF", "3E|3C|3B|3F"}, {"BDEF", "3E|3D|3B|3F"}, {"CDEF", "3C|3D|3F|3E"},
}};

constexpr std::array<int, 6> kWinnerSeat{4, 12, 8, 2, 10, 7};
constexpr std::array<int, 6> kRunnerUpSeat{0, 6, 1, 11, 15, 14};
constexpr std::array<const char*, 16> kPlaceholder{
    "2 Gr A", "2 Gr C", "1 Gr D", "3 Gr BEF", "1 Gr A", "3 Gr CDE", "2 Gr B", "1 Gr F",
    "1 Gr C", "3 Gr ABF", "1 Gr E", "2 Gr D", "1 Gr B", "3 Gr ACD", "2 Gr F", "2 Gr E"};

std::string field(const std::string& s, char sep, size_t n) {
    auto f = platform::split(s, sep);
    return n < f.size() ? std::string(f[n]) : std::string();
}

} // namespace

void GroupStage::designOverview() {
    forms::Form& f = w_.form;
    // At the top of the right-hand column: the match details below keep their place, and
    // the day's panel covers the overview only for the few seconds it stays open.
    Frame11 = &f.add(Kind::Frame, "Frame11", -1, nullptr, 13355, 990, 4065, 3720, "Huitièmes de Finale");
    Frame11->setFontBold(true);
    for (int s = 0; s < 16; ++s) {
        const int k = s / 2;
        Control& b = f.add(Kind::TextBox, "Huit", s + 16, Frame11, s % 2 == 0 ? 90 : 2010, 300 + k * 330, 1860, 285);
        b.setLocked(true);
        b.setAlignment(forms::Align::Center);
        overview[static_cast<size_t>(s)] = &b;
    }
    TexMeillTrois = &f.add(Kind::TextBox, "TexMeillTrois", -1, Frame11, 90, 3000, 3780, 600);
    TexMeillTrois->setLocked(true);
    TexMeillTrois->setMultiLine(true);
    for (int i = 0; i < 4; ++i) {
        List3[static_cast<size_t>(i)] = &f.add(Kind::ListBox, "List3", i, Frame11, 90, 3000, 900, 300);
        List3[static_cast<size_t>(i)]->setVisible(false);
        List3[static_cast<size_t>(i)]->setSorted(i != 3);
    }
    Label15 = &f.add(Kind::Label, "Label15", -1, nullptr, 10800, 630, 2550, 285);
    Label15->setFontBold(true);
    Label15->setFontSize(9.75);
    Label12 = &f.add(Kind::Label, "Label12", -1, nullptr, 17160, 60, 300, 300);
    Label12->setToolTip("Déblocage");
    Label12->on(forms::Ev::Click, [this](Control&, forms::EventArgs&) { Label12_Click(); });
}

void GroupStage::designOnBracket() {
    // Below the third-place match, clear of the panels that open over the bracket's lower half.
    Label21 = &w_.form.add(Kind::Label, "Label21", -1, w_.knockout.Frame9, 13300, 4500, 3800, 300);
    Label21->setFontBold(true);
    Label21->setFontSize(9.75);
}

void GroupStage::ClasseMeilleursTroisiemes() {
    Control* best = List3[1];
    Control* letters = List3[2];
    best->clear();
    letters->clear();
    List3[3]->clear();
    TexMeillTrois->setTag(TexMeillTrois->text());
    TexMeillTrois->setText("");
    Frame11->setTag("");

    std::array<int, 6> third{};
    for (int s = 1; s <= 4; ++s)
        for (size_t gi = 0; gi < 6; ++gi) {
            const int top = groups[gi].team[static_cast<size_t>(s)]->top();
            if (top > 1350 && top < 1400) third[gi] = s;
        }
    for (size_t gi = 0; gi < 6; ++gi) {
        const Group& g = groups[gi];
        const std::string name = third[gi] ? g.team[static_cast<size_t>(third[gi])]->text() : std::string();
        best->addItem(bestThirdItem(g.sorter->list(1), g.letter, name));
    }
    const auto ranked = [best](int i) { return readItem(ItemForm::BestThird, best->list(i)); };
    for (int i = 2; i <= 5; ++i) letters->addItem(ranked(i).letter);

    int16_t played = 0;
    for (int s = 1; s <= 4; ++s) {
        int sum = played;
        for (const Group& g : groups) sum += static_cast<int>(platform::val(g.played[static_cast<size_t>(s)]->caption()));
        played = static_cast<int16_t>(sum);
    }
    w_.calendrier.NbMatchsJoues = static_cast<int16_t>(std::nearbyint(played / 2.0));

    std::string code;
    for (int i = 0; i < letters->listCount(); ++i) code += letters->list(i);
    for (const auto& [key, seating] : kSeatingTable)
        if (code == key) {
            Frame11->setTag(seating);
            break;
        }

    // The whole-number parts of the best and the worst keys.
    const double spread = std::floor(ranked(5).key) - std::floor(ranked(0).key);
    if (w_.calendrier.NbMatchsJoues > 10 || spread > 0.5) {
        std::string shown;
        for (int i = best->listCount() - 1; i >= 2; --i) {
            const std::string name = ranked(i).name;
            shown = shown.empty() ? name : shown + " / " + name;
        }
        TexMeillTrois->setText(shown);
    }
}

std::string GroupStage::NomTroisieme(const std::string& code) const {
    std::string result;
    for (const Group& g : groups) {
        if (code != std::string("3") + g.letter) continue;
        for (int s = 1; s <= 4; ++s)
            if (g.team[static_cast<size_t>(s)]->top() == 1380) result = g.team[static_cast<size_t>(s)]->text();
    }
    return result;
}

void GroupStage::RemplitHuitiemes() {
    ClasseMeilleursTroisiemes();
    CompteButs();
    auto& seat = w_.knockout.Huit;
    for (Control* c : seat) c->setText("-");
    w_.platform.yield();
    // An edit handled during the yield may have emptied the seats: start from "-" again
    // so the seating never mixes its own result with what the edit left.
    for (Control* c : seat) c->setText("-");

    for (int s = 1; s <= 4; ++s)
        for (size_t gi = 0; gi < 6; ++gi) {
            const Control* t = groups[gi].team[static_cast<size_t>(s)];
            if (t->top() == 690 && t->foreColor() == 255) seat[static_cast<size_t>(kWinnerSeat[gi])]->setText(t->text());
            if (t->top() == 945 && t->foreColor() == 255)
                seat[static_cast<size_t>(kRunnerUpSeat[gi])]->setText(t->text());
        }

    const std::string& seating = Frame11->tag();
    if (!seating.empty()) {
        auto fieldAt = [&](size_t i) { return field(seating, '|', i); };
        if (seat[4]->text() != "-") seat[5]->setText(NomTroisieme(fieldAt(0)));
        if (seat[12]->text() != "-") seat[13]->setText(NomTroisieme(fieldAt(1)));
        if (seat[8]->text() != "-") seat[9]->setText(NomTroisieme(fieldAt(2)));
        if (seat[2]->text() != "-") seat[3]->setText(NomTroisieme(fieldAt(3)));
    }

    for (size_t s = 0; s < 16; ++s) {
        Control* o = overview[s];
        if (seat[s]->text() != "-") {
            o->setText(seat[s]->text());
            o->setFontBold(true);
            o->setForeColor(0xC0);
        } else {
            o->setText(kPlaceholder[s]);
            o->setFontBold(false);
            o->setForeColor(0);
        }
    }
}

void GroupStage::CompteButs() {
    double total = 0;
    bool any = false;
    auto add = [&](const Control* c) {
        if (c && c->text() != "-") {
            total = platform::finiteSum(total, platform::val(c->text()));
            any = true;
        }
    };
    for (int i = 0; i < 12; ++i)
        for (Group& g : groups) {
            Control* b = g.score[static_cast<size_t>(i)];
            const bool played = b->text() != "-";
            add(b);
            b->setBackColor(played ? 0xFFFFFFu : forms::ButtonFace);
        }
    const auto& ko = w_.knockout;
    for (const Control* c : ko.Buthui) add(c);
    for (const Control* c : ko.ButQua) add(c);
    for (const Control* c : ko.ButDem) add(c);
    for (size_t i = 0; i < 2; ++i) {
        add(ko.Butpetfin[i]);
        add(ko.ButFIN[i]);
    }
    Label15->setCaption((any ? platform::numText(total) : std::string()) + " " + w_.MSG[10]);
    if (Label21) Label21->setCaption(Label15->caption());
}

void GroupStage::Label12_Click() {
    // Every group opens, not only A to D: a user who unlocks the names expects to be
    // able to correct any of them.
    for (int s = 1; s <= 4; ++s)
        for (Group& g : groups) g.team[static_cast<size_t>(s)]->setLocked(false);
    for (Control* c : w_.qualifiers.NEElim) c->setVisible(true);
    w_.fichier.Command3->setEnabled(true);
    w_.qualifiers.Frame22->setVisible(false);
    w_.platform.messageBox("Equipes débloquées", platform::MbIconInformation, "OK");
}

void GroupStage::RecalculeTout() {
    // A loop rather than recursion: edits arriving during the seating's yield may keep
    // asking for another pass, and the stack must not grow with them.
    do {
        TexMeillTrois->setTag(TexMeillTrois->text());
        TexMeillTrois->setText("");
        MajLabelsMatchs();
        for (Group& g : groups) CalculGroupe(g);
        ClasseMeilleursTroisiemes();
        RemplitHuitiemes();
        w_.knockout.PropageHuitiemes();
        w_.knockout.PropageQuarts();
        ReplaceEquipes();
        CompteButs();
    } while (TexMeillTrois->text() != TexMeillTrois->tag());
}

} // namespace zentrafo
