#include "knockout/knockout_stage.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "forms/form.h"
#include "main/marlix.h"
#include "platform/text.h"

namespace zentrafo {

using forms::Control;
using forms::Ev;
using forms::Kind;
using Stage = KnockoutStage::Stage;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0;
constexpr uint32_t kPenaltyGrey = 0x808080;

// Any typed value beyond this is read as this: a side total then always fits a float,
// and two absurd scores compare equal (undecided) instead of misordering.
constexpr double kMaxValue = 1e30;

// Bracket geometry (twips). Four columns left to right: round of sixteen, quarter-finals,
// semi-finals, then the podium above the final and the third-place match. Each later
// round's rows sit midway between the two rows that feed them, so the bracket reads
// without connector lines. Everything stays in the upper half of the view, leaving the
// lower half to the match details and the day's programme, which open over it.
constexpr int kRowHeight = 255;
constexpr int kTeamWidth = 1380;
constexpr int kScoreWidth = 330;
constexpr int kInner = 60;           // frame border to the first box
constexpr int kTeamGap = 30;         // team box to its goals box
constexpr int kFrameWidth = 2 * kInner + 2 * kTeamWidth + 2 * kTeamGap + 4 * kScoreWidth;
constexpr int kColumnGap = 120;
constexpr int kFirstColumn = 75;
constexpr int kFrameTop = 120;
constexpr int kFirstRow = 360;        // below the frame's caption
constexpr int kPitch = 600;           // between two round-of-sixteen rows
constexpr int kBelowLastRow = 165;
constexpr int kStageFrameHeight = kFirstRow + 7 * kPitch + kRowHeight + kBelowLastRow;
constexpr int kOneRowFrameHeight = kFirstRow + kRowHeight + kBelowLastRow;

constexpr int columnLeft(int c) { return kFirstColumn + c * (kFrameWidth + kColumnGap); }
// Top of tie k's row in a round whose ties are `level` halvings from the round of sixteen.
constexpr int rowTop(int level, int k) {
    const int pitch = kPitch << level;
    return kFirstRow + (pitch - kPitch) / 2 + k * pitch;
}
static_assert(columnLeft(3) + kFrameWidth <= 17550, "the bracket must fit the view's width");

constexpr int kFinalTop = kFrameTop + rowTop(3, 0) - kFirstRow;
constexpr int kThirdPlaceTop = kFinalTop + kOneRowFrameHeight + kColumnGap;
constexpr int kTrophyWidth = 960, kTrophyHeight = 1890;
constexpr int kPodiumLeft = columnLeft(3) + kTrophyWidth + kColumnGap;
constexpr std::array<int, 5> kPodiumTop{0, 300, 780, 1200, 1620};
static_assert(180 + kTrophyHeight < kFinalTop, "the trophy must stand above the final");

// One value of a goals or penalty box by the leading-number rule, bounded.
double boxValue(const Control* box) { return std::clamp(platform::val(box->text()), -kMaxValue, kMaxValue); }

// A side's total; a side whose goals box is unplayed counts 0 whatever its penalties say.
float sideTotal(const Control* goals, const Control* pen) {
    if (goals->text() == "-") return 0.0F;
    return static_cast<float>(boxValue(goals) + boxValue(pen));
}

// The shortest decimal that reads back as the same float, so a total of 1.1 shows "1.1"
// and not the float's binary neighbour. Locale-free both ways: the front end may set one.
std::string totalText(float total) {
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, total);
    double shortest = 0;
    std::from_chars(buf, written.ptr, shortest);
    return platform::numText(shortest);
}

// Decides every tie of a round that needs both goals boxes filled. onWin(k, winner,
// loser) receives the tie and the indices of its two sides.
template <size_t N, class Paint, class OnWin>
void decideRound(const std::array<Control*, N>& goals, const std::array<Control*, N>& pen,
                 std::array<float, N>& total, Paint paint, OnWin onWin) {
    for (size_t i = 0; i < N; ++i) total[i] = sideTotal(goals[i], pen[i]);
    for (size_t k = 0; k < N / 2; ++k) {
        const size_t i = 2 * k;
        if (goals[i]->text() != "-" && goals[i + 1]->text() != "-") {
            paint(i, total[i] > total[i + 1]);
            paint(i + 1, total[i] < total[i + 1]);
            if (total[i] > total[i + 1]) onWin(k, i, i + 1);
            if (total[i] < total[i + 1]) onWin(k, i + 1, i);
        } else {
            paint(i, false);
            paint(i + 1, false);
        }
    }
}

} // namespace

void KnockoutStage::design() {
    forms::Form& f = w_.form;
    // Parked outside the window until start-up brings it in.
    Frame9 = &f.add(Kind::Frame, "Frame9", -1, nullptr, 20000, 960, 17550, 10215);
    Frame9->setVisible(false);

    auto stageFrame = [&](const char* name, int column, int top, int height, const char* caption) {
        Control& fr = f.add(Kind::Frame, name, -1, Frame9, columnLeft(column), top, kFrameWidth, height, caption);
        fr.setFontBold(true);
        fr.setFontSize(9.75);
        return &fr;
    };
    auto teamBox = [&](const char* name, int index, Control* frame, int left, int top) {
        Control& t = f.add(Kind::TextBox, name, index, frame, left, top, kTeamWidth, kRowHeight);
        t.setLocked(true);
        t.setBackColor(kWhite);
        t.setForeColor(kBlack);
        t.setAlignment(forms::Align::Center);
        return &t;
    };
    auto scoreBox = [&](const char* name, int index, Control* frame, int left, int top, bool penalty) {
        Control& b = f.add(Kind::TextBox, name, index, frame, left, top, kScoreWidth, kRowHeight, "-");
        b.setAlignment(forms::Align::Center);
        if (penalty) b.setBackColor(kPenaltyGrey);
        return &b;
    };
    // One row per tie: left team, its goals, its penalties, the right side's penalties,
    // the right side's goals, the right team.
    auto rows = [&]<size_t N>(Control* frame, int level, const char* teamName, std::array<Control*, N>& team,
                              const char* goalsName, std::array<Control*, N>& goals, const char* penName,
                              std::array<Control*, N>& pen) {
        constexpr int kGoalsLeft = kInner + kTeamWidth + kTeamGap;
        constexpr int kRightTeamLeft = kGoalsLeft + 4 * kScoreWidth + kTeamGap;
        for (int k = 0; k < static_cast<int>(N) / 2; ++k) {
            const int top = rowTop(level, k);
            const auto l = static_cast<size_t>(2 * k), r = l + 1;
            team[l] = teamBox(teamName, 2 * k, frame, kInner, top);
            goals[l] = scoreBox(goalsName, 2 * k, frame, kGoalsLeft, top, false);
            pen[l] = scoreBox(penName, 2 * k, frame, kGoalsLeft + kScoreWidth, top, true);
            pen[r] = scoreBox(penName, 2 * k + 1, frame, kGoalsLeft + 2 * kScoreWidth, top, true);
            goals[r] = scoreBox(goalsName, 2 * k + 1, frame, kGoalsLeft + 3 * kScoreWidth, top, false);
            team[r] = teamBox(teamName, 2 * k + 1, frame, kRightTeamLeft, top);
        }
    };

    Frame10 = stageFrame("Frame10", 0, kFrameTop, kStageFrameHeight, "Huitième de Finale");
    rows(Frame10, 0, "Huit", Huit, "Buthui", Buthui, "ButPen", ButPen);
    Frame12 = stageFrame("Frame12", 1, kFrameTop, kStageFrameHeight, "Quart de Finale");
    rows(Frame12, 1, "Qua", Qua, "ButQua", ButQua, "ButPen4", ButPen4);
    Frame13 = stageFrame("Frame13", 2, kFrameTop, kStageFrameHeight, "Demi Finale");
    rows(Frame13, 2, "DEM", DEM, "ButDem", ButDem, "ButPen2", ButPen2);
    Frame15 = stageFrame("Frame15", 3, kFinalTop, kOneRowFrameHeight, "Finale");
    rows(Frame15, 0, "FIN", FIN, "ButFIN", ButFIN, "ButPenFIN", ButPenFIN);
    Frame14 = stageFrame("Frame14", 3, kThirdPlaceTop, kOneRowFrameHeight, "Petite Finale");
    rows(Frame14, 0, "pf", pf, "Butpetfin", Butpetfin, "ButPenpetfin", ButPenpetfin);

    Image8 = &f.add(Kind::Image, "Image8", -1, Frame9, columnLeft(3), 180, kTrophyWidth, kTrophyHeight);
    Image8->setPicture("trophy");
    Image8->setStretch(true);
    Image8->setVisible(false);
    for (int p = 1; p <= 4; ++p) {
        const int height = p == 1 ? 360 : 300;
        pod[static_cast<size_t>(p)] =
            &f.add(Kind::Label, "pod", p, Frame9, kPodiumLeft, kPodiumTop[static_cast<size_t>(p)],
                   columnLeft(3) + kFrameWidth - kPodiumLeft, height, p == 3 ? " " : "");
        pod[static_cast<size_t>(p)]->setFontBold(true);
        pod[static_cast<size_t>(p)]->setFontSize(p == 1 ? 12 : 9.75);
    }

    const auto wire = [this](const auto& boxes, Stage stage) {
        for (Control* box : boxes) wireEntryBox(*box, stage);
    };
    wire(Buthui, Stage::RoundOf16);
    wire(ButPen, Stage::RoundOf16);
    wire(ButQua, Stage::QuarterFinal);
    wire(ButPen4, Stage::QuarterFinal);
    wire(ButDem, Stage::SemiFinal);
    wire(ButPen2, Stage::SemiFinal);
    wire(ButFIN, Stage::Final);
    wire(ButPenFIN, Stage::Final);
    wire(Butpetfin, Stage::ThirdPlace);
    wire(ButPenpetfin, Stage::ThirdPlace);
    // The help panel's examples behave as the round of sixteen's boxes they show.
    wire(w_.views.Buthui, Stage::RoundOf16);
    wire(w_.views.ButPen, Stage::RoundOf16);
}

void KnockoutStage::wireEntryBox(Control& box, Stage stage) {
    box.on(Ev::Change, [this, stage](Control& c, forms::EventArgs&) { onEntryChange(c, stage); });
    // Selects the "-" or a two-character score so the next keystrokes replace it.
    box.on(Ev::MouseDown, [](Control& c, forms::EventArgs&) { c.select(0, 2); });
}

void KnockoutStage::onEntryChange(Control& box, Stage stage) {
    box.setText(sansTirets(box.text())); // a change raises Change again; that run finds nothing to clean
    if (!w_.ChargementFini) return;
    switch (stage) {
    case Stage::RoundOf16: PropageHuitiemes(); break;
    case Stage::QuarterFinal: PropageQuarts(); break;
    case Stage::SemiFinal: PropageDemi(); break;
    // The final's boxes restart the chain at the quarter-finals, not at the final; every
    // step is idempotent, so the longer run changes nothing but the time it takes.
    case Stage::Final: PropageQuarts(); break;
    case Stage::ThirdPlace: PropageFinale(); break;
    }
}

void KnockoutStage::paint(Control* team, bool goesThrough) const {
    team->setBackColor(goesThrough ? w_.CouleurVainqueur : kWhite);
    team->setForeColor(goesThrough ? kWhite : kBlack);
}

void KnockoutStage::PropageHuitiemes() {
    DEM[0]->setText("");
    std::array<float, 16> total{};
    decideRound(
        Buthui, ButPen, total, [&](size_t i, bool win) { paint(Huit[i], win); },
        [&](size_t k, size_t winner, size_t) { Qua[k]->setText(Huit[winner]->text()); });
    for (size_t i = 0; i < 16; ++i) Buthui[i]->setToolTip(totalText(total[i]));
    PropageQuarts();
}

void KnockoutStage::PropageQuarts() {
    // Semi-final seat of each quarter-final winner; one earlier edition crossed ties 1 and 2.
    static constexpr std::array<size_t, 4> kUsual{0, 1, 2, 3}, kCrossed{0, 2, 1, 3};
    const auto& seat = w_.fichier.Text1->text() == "Marlix2008" ? kCrossed : kUsual;
    std::array<float, 8> total{};
    decideRound(
        ButQua, ButPen4, total, [&](size_t i, bool win) { paint(Qua[i], win); },
        [&](size_t k, size_t winner, size_t) { DEM[seat[k]]->setText(Qua[winner]->text()); });
    PropageDemi();
}

void KnockoutStage::PropageDemi() {
    w_.groups.CompteButs();
    std::array<float, 4> total{};
    decideRound(
        ButDem, ButPen2, total, [&](size_t i, bool win) { paint(DEM[i], win); },
        [&](size_t k, size_t winner, size_t loser) {
            FIN[k]->setText(DEM[winner]->text());
            pf[k]->setText(DEM[loser]->text());
        });
    PropageFinale();
}

void KnockoutStage::decideLastTie(const std::array<Control*, 2>& team, const std::array<Control*, 2>& goals,
                                  const std::array<Control*, 2>& pen, Control* first, Control* second) {
    const float t0 = sideTotal(goals[0], pen[0]);
    const float t1 = sideTotal(goals[1], pen[1]);
    // No "both played" test here: one side's goals alone can decide the match.
    if (t0 != t1) {
        const size_t w = t1 > t0 ? 1 : 0;
        paint(team[w], true);
        paint(team[1 - w], false);
        first->setCaption(team[w]->text());
        second->setCaption(team[1 - w]->text());
    }
    if (goals[0]->text() == "-" && goals[1]->text() == "-") {
        paint(team[0], false);
        paint(team[1], false);
    }
}

void KnockoutStage::PropageFinale() {
    decideLastTie(FIN, ButFIN, ButPenFIN, pod[1], pod[2]);
    PropagePetiteFinale();
    if (!pod[1]->caption().empty()) Image8->setVisible(true);
}

void KnockoutStage::PropagePetiteFinale() {
    decideLastTie(pf, Butpetfin, ButPenpetfin, pod[3], pod[4]);
}

} // namespace zentrafo
