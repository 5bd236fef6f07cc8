#include "reports/stats.h"

#include "main/marlix.h"

namespace zentrafo {

using forms::Control;
using forms::onClick;
using forms::Ev;
using forms::Kind;

namespace {
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlue = 0xC00000;
constexpr uint32_t kGreen = 0x008000;
} // namespace

void printWithoutButtons(platform::Platform& platform, forms::Form& form, Control& buttons) {
    struct Restore {
        Control& c;
        ~Restore() { c.setVisible(true); }
    } restore{buttons};
    buttons.setVisible(false);
    // The window repaints without its buttons before its picture is taken.
    platform.yield();
    platform.printPicture(form.name());
}

Stats::Stats(Marlix& w) : w_(w) {
    forms::Form& f = form;
    f.caption = "Statistiques";
    f.clientWidth = 13530;
    f.clientHeight = 7875;
    f.backColor = kWhite;

    Text1 = &f.add(Kind::TextBox, "Text1", -1, nullptr, 7200, 60, 5685, 510, "Dravello ");
    Text1->setAlignment(forms::Align::Right);
    Text1->setFontBold(true);
    Text1->setFontSize(18);
    Text1->setForeColor(kBlue);
    Image1 = &f.add(Kind::Image, "Image1", -1, nullptr, 30, 60, 1755, 1575);
    Image1->setStretch(true);
    Label1 = &f.add(Kind::Label, "Label1", -1, nullptr, 9975, 660, 3480, 300, "Buts marqués au total : ");
    Label3 = &f.add(Kind::Label, "Label3", -1, nullptr, 7005, 1050, 2265, 195, "Classement : ");
    List2 = &f.add(Kind::ListBox, "List2", -1, nullptr, 7005, 1305, 2790, 6465);
    Label2 = &f.add(Kind::Label, "Label2", -1, nullptr, 9975, 1050, 2265, 195, "Meilleurs buteurs: ");
    List1 = &f.add(Kind::ListBox, "List1", -1, nullptr, 9975, 1305, 2130, 6465);

    Frame2 = &f.add(Kind::Frame, "Frame2", -1, nullptr, 90, 2565, 5925, 5175);
    Frame2->setBackColor(kWhite);
    // The trophy first, so the names stand over it.
    Image8 = &f.add(Kind::Image, "Image8", -1, Frame2, 1200, 345, 1905, 3750);
    Image8->setPicture("trophy");
    Image8->setStretch(true);
    struct Step {
        int top, width, height;
        double size;
        uint32_t colour;
    };
    static constexpr std::array<Step, 3> kSteps{{{60, 5595, 675, 27.75, kGreen},
                                                 {3960, 5310, 420, 18, kBlue},
                                                 {4440, 5310, 690, 18, kBlue}}};
    for (int i = 0; i < 3; ++i) {
        const Step& s = kSteps[static_cast<size_t>(i)];
        Control* v = &f.add(Kind::Label, "Vainq", i, Frame2, 285, s.top, s.width, s.height, std::to_string(i + 1));
        v->setFontName("Arial");
        v->setFontBold(true);
        v->setFontSize(s.size);
        v->setForeColor(s.colour);
        Vainq[static_cast<size_t>(i)] = v;
    }
    Image2 = &f.add(Kind::Image, "Image2", -1, nullptr, 1080, 1740, 5610, 6000);
    Image2->setPicture("undecided");
    Image2->setStretch(true);

    Frame1 = &f.add(Kind::Frame, "Frame1", -1, nullptr, 12210, 6360, 1515, 1800);
    Frame1->setValue(1); // no border
    Frame1->setBackColor(kWhite);
    Command5 = &f.add(Kind::Button, "Command5", -1, Frame1, 240, 15, 1020, 720);
    Command5->setPicture("print");
    Command1 = &f.add(Kind::Button, "Command1", -1, Frame1, 240, 720, 1020, 720);
    Command1->setPicture("closebox");
    onClick(Command5, [this] { Command5_Click(); });
    onClick(Command1, [this] { Command1_Click(); });
}

void Stats::Command1_Click() { w_.reports.unloadStats(); }

void Stats::Command5_Click() { printWithoutButtons(w_.platform, form, *Frame1); }

} // namespace zentrafo
