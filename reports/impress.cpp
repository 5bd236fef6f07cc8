#include "reports/impress.h"

#include <string>

#include "main/marlix.h"
#include "online/online_services.h"
#include "reports/stats.h"

namespace zentrafo {

using forms::Control;
using forms::onClick;
using forms::Ev;
using forms::Kind;

namespace {

constexpr int kBoxWidth = 2300;
constexpr int kBoxHeight = 300;
constexpr std::array<int, 16> kTopT8{435, 720, 1185, 1470, 1935, 2220, 2685, 2970,
                                     3435, 3720, 4185, 4470, 4935, 5220, 5685, 5970};
constexpr std::array<int, 8> kTopT4{855, 1140, 2340, 2625, 3870, 4155, 5325, 5610};
constexpr std::array<int, 4> kTopT2{1620, 1905, 4575, 4860};
constexpr std::array<int, 2> kTopTF{3075, 3360};

// Heights of the semi-final and final connectors, 15 and 30 below their ties' seams.
constexpr std::array<int, 3> kLineFY{1920, 4875, 3390};

} // namespace

Impress::Impress(Marlix& w) : w_(w) {
    forms::Form& f = form;
    f.caption = "Impression";
    f.clientWidth = 14085;
    f.clientHeight = 8265;
    f.backColor = kWhite;

    auto hover = [this](Control& c, forms::EventArgs&) { Surligne(c); };
    auto column = [&](const char* name, int left, const auto& tops, auto& boxes) {
        for (size_t i = 0; i < boxes.size(); ++i) {
            Control* b = &f.add(Kind::TextBox, name, static_cast<int>(i), nullptr, left, tops[i], kBoxWidth, kBoxHeight);
            b->setAlignment(forms::Align::Center);
            b->on(Ev::MouseMove, hover);
            boxes[i] = b;
        }
    };
    column("T8", 285, kTopT8, T8);
    column("T4", 3270, kTopT4, T4);
    column("T2", 5790, kTopT2, T2);
    column("TF", 8595, kTopTF, TF);

    Image1 = &f.add(Kind::Image, "Image1", -1, nullptr, 1245, 6675, 8175, 1605);
    Image1->setPicture("banner");
    Image1->setStretch(true);

    struct Result {
        int left, top, width, height;
        forms::Align align;
        double size;
        bool bold;
        uint32_t colour;
    };
    static constexpr std::array<Result, 3> kResult{{{6945, 6270, 2115, 390, forms::Align::Center, 13.5, true, 0x800000},
                                                    {5805, 6945, 1590, 345, forms::Align::Right, 12, true, 0x800000},
                                                    {8565, 6885, 1950, 465, forms::Align::Left, 8.25, false, 0xFF8080}}};
    for (int i = 0; i < 3; ++i) {
        const Result& r = kResult[static_cast<size_t>(i)];
        Control* b = &f.add(Kind::TextBox, "RESULT", i, nullptr, r.left, r.top, r.width, r.height);
        b->setAlignment(r.align);
        b->setFontSize(r.size);
        b->setFontBold(r.bold);
        b->setForeColor(r.colour);
        b->on(Ev::MouseMove, hover);
        RESULT[static_cast<size_t>(i)] = b;
    }

    Label1 = &f.add(Kind::Label, "Label1", -1, nullptr, 510, 7065, 4980, 1095);
    onClick(Label1, [this] { Label1_Click(); });

    Frame1 = &f.add(Kind::Frame, "Frame1", -1, nullptr, 12525, 180, 1545, 3300);
    Frame1->setValue(1); // no border
    Frame1->setBackColor(kWhite);
    Command2 = &f.add(Kind::Button, "Command2", -1, Frame1, 90, 855, 1020, 720);
    Command2->setPicture("refresh");
    Command5 = &f.add(Kind::Button, "Command5", -1, Frame1, 90, 1620, 1020, 720);
    Command5->setPicture("print");
    Command1 = &f.add(Kind::Button, "Command1", -1, Frame1, 90, 2400, 1020, 720);
    Command1->setPicture("closebox");
    onClick(Command2, [this] { Command2_Click(); });
    onClick(Command5, [this] { Command5_Click(); });
    onClick(Command1, [this] { Command1_Click(); });

    auto addLine = [&](const char* name, int index) {
        Control& l = f.add(Kind::Line, name, index);
        l.setForeColor(kLineColour);
        l.setValue(3);
        return &l;
    };
    Line8H[0] = addLine("Line8H", 0);
    Line8H[0]->setLine(2340, 6480, 2805, 6480);
    Line8H[0]->setVisible(false); // the template of the stubs
    for (int m = 0; m < 4; ++m) Line8V[static_cast<size_t>(m)] = addLine("Line8V", m);
    for (int j = 0; j < 4; ++j) Line4H[static_cast<size_t>(j)] = addLine("Line4H", j);
    for (int n = 0; n < 2; ++n) Line4V[static_cast<size_t>(n)] = addLine("Line4V", n);
    for (size_t k = 0; k < 3; ++k) {
        LineF[k] = addLine("LineF", static_cast<int>(k));
        LineF[k]->setLine(0, kLineFY[k], 0, kLineFY[k]);
    }
    LinefV = addLine("LinefV", -1);
}

void Impress::Form_Load() {
    form.icon = w_.form.icon;
    // The title in the current language; with no language file read it stays French.
    if (!w_.MSG[23].empty()) form.caption = w_.MSG[23];
    Command2_Click();
    w_.platform.yield();
    form.focusRequest = Command1;
}

void Impress::Command2_Click() {
    RecupInfo();
    CopieTableau();
}

void Impress::CopieTableau() {
    auto& ko = w_.knockout;
    for (size_t i = 0; i < 16; ++i) T8[i]->setText(w_.groups.overview[i]->text());
    for (size_t i = 0; i < 8; ++i) T4[i]->setText(ko.Qua[i]->text());
    for (size_t i = 0; i < 4; ++i) T2[i]->setText(ko.DEM[i]->text());
    for (size_t i = 0; i < 2; ++i) TF[i]->setText(ko.FIN[i]->text());
    for (size_t i = 0; i < 3; ++i) RESULT[i]->setText(ko.pod[i + 1]->caption());
}

void Impress::RecupInfo() {
    // On a refresh the stubs exist already, and every position is set again to the
    // value it has.
    for (size_t i = 1; i <= 15; i += 2) {
        Control*& stub = Line8H[i];
        if (!stub) stub = form.loadElement("Line8H", static_cast<int>(i));
        const int y = T8[i]->top();
        stub->setLine(stub->x1(), y, stub->x2(), y);
        stub->setVisible(true);
    }
    for (size_t m = 0; m < 4; ++m) {
        const Control* a = Line8H[4 * m + 1];
        const Control* b = Line8H[4 * m + 3];
        Line8V[m]->setLine(b->x2(), a->y1(), b->x2(), b->y1());
    }
    const int bars = Line8V[1]->x1();
    const int beforeSemis = T2[1]->left() - 100;
    for (size_t j = 0; j < 4; ++j) {
        const int y = T4[2 * j + 1]->top();
        Line4H[j]->setLine(bars, y, beforeSemis, y);
    }
    const int x4 = Line4H[1]->x2();
    Line4V[0]->setLine(x4, Line4H[0]->y1(), x4, Line4H[1]->y1());
    Line4V[1]->setLine(x4, Line4H[2]->y1(), x4, Line4H[3]->y1());
    const int fromQuarters = Line4H[3]->x2();
    const int beforeFinal = TF[1]->left() - 300;
    Control* f0 = LineF[0];
    Control* f1 = LineF[1];
    Control* f2 = LineF[2];
    f0->setLine(fromQuarters, f0->y1(), beforeFinal, f0->y2());
    f1->setLine(fromQuarters, f1->y1(), beforeFinal, f1->y2());
    LinefV->setLine(f0->x2(), f0->y1(), f0->x2(), f1->y1());
    f2->setLine(f1->x2(), f2->y1(), TF[1]->left() + 300, f2->y2());
}

void Impress::Surligne(const Control& box) {
    const std::string s = box.text(); // a copy: the box itself is repainted below
    if (s.empty()) return;
    auto paint = [](Control* c, bool lit) { c->setBackColor(lit ? kHighlight : kWhite); };
    for (Control* c : T8) paint(c, c->text() == s);
    for (Control* c : T4) paint(c, c->text() == s);
    for (Control* c : T2) paint(c, c->text() == s);
    for (Control* c : TF) paint(c, c->text() == s);
    for (Control* c : RESULT) paint(c, c->text().find(s) != std::string::npos);
}

void Impress::Command5_Click() {
    // The sheet prints on white and stays white afterwards.
    form.backColor = kWhite;
    printWithoutButtons(w_.platform, form, *Frame1);
}

void Impress::Command1_Click() {
    w_.reports.unloadImpress();
    w_.platform.showForm(w_.form, false); // the main window comes to the front
}

void Impress::Label1_Click() { w_.platform.shellOpen(AdresseServeur() + "/"); }

} // namespace zentrafo
