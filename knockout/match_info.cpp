#include "knockout/match_info.h"

#include <cctype>

#include "forms/form.h"
#include "main/marlix.h"
#include "platform/text.h"

namespace zentrafo {

using forms::Control;
using forms::Ev;
using forms::Kind;

namespace {

struct Venue {
    const char* code;
    const char* city;
    int picture; // element of Terrain holding the stadium, -1 for none
};
constexpr std::array<Venue, 10> kVenues{{
    {"VAL", "Valenciennes", 0},
    {"PDP", "Paris", 2},
    {"LHA", "Le Havre", 1},
    {"NCE", "Nice", 7},
    {"REN", "Rennes", 5},
    {"REM", "Reims", 3},
    {"GRE", "Grenoble", 6},
    {"LYS", "Lyon", 4},
    {"MON", "Montpellier", 8},
    {"MRS", "Marseille", -1},
}};
// Stadium pictures by Terrain element; the search for a code anywhere in the text runs
// in this order, so the last code found wins.
constexpr std::array<const char*, 9> kStadiumCode{"VAL", "LHA", "PDP", "REM", "LYS", "REN", "GRE", "NCE", "MON"};

struct Broadcaster {
    const char* code;
    int main;     // logo on the main window
    int knockout; // its copy in the knockout view
    const char* picture;
};
constexpr std::array<Broadcaster, 5> kBroadcasters{{
    {"TF1", 1, 5, "chaine_tf1"},
    {"F2", 2, 6, "chaine_f2"},
    {"TMC", 3, 7, "chaine_tmc"},
    {"C+", 0, 4, "chaine_cplus"},
    {"BE", 8, 9, "chaine_be"},
}};
constexpr int kNoLogo = 5;

bool contains(std::string_view text, std::string_view what) { return text.find(what) != std::string_view::npos; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// One or two digits (the year: two or four), nothing else.
std::optional<int> digits(std::string_view s, size_t maxLength) {
    if (s.empty() || s.size() > maxLength) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// dd/mm/yy read day first whatever the user's locale; two-digit years 00-29 are 20xx.
std::optional<platform::DateTime> readDate(std::string_view s) {
    const size_t a = s.find('/');
    if (a == std::string_view::npos) return std::nullopt;
    const size_t b = s.find('/', a + 1);
    if (b == std::string_view::npos) return std::nullopt;
    const auto day = digits(s.substr(0, a), 2);
    const auto month = digits(s.substr(a + 1, b - a - 1), 2);
    const std::string_view y = s.substr(b + 1);
    const auto year = y.size() == 3 ? std::nullopt : digits(y, 4);
    if (!day || !month || !year) return std::nullopt;
    int fullYear = *year;
    if (y.size() <= 2) fullYear += fullYear < 30 ? 2000 : 1900;
    if (*month < 1 || *month > 12 || *day < 1) return std::nullopt;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (fullYear % 4 == 0 && fullYear % 100 != 0) || fullYear % 400 == 0;
    const int last = kDays[*month - 1] + (*month == 2 && leap ? 1 : 0);
    if (*day > last || fullYear < 100) return std::nullopt;
    return platform::DateTime{fullYear, *month, *day, 0, 0, 0};
}

// Characters `from` (0-based) on, at most `count`, of `s`; empty past its end.
std::string_view mid(std::string_view s, size_t from, size_t count) {
    if (from >= s.size()) return {};
    return s.substr(from, count);
}

} // namespace

InfoMatchFields DecodeInfoMatch(std::string_view c) {
    InfoMatchFields out;
    const size_t slash = c.find('/');
    if (slash == std::string_view::npos) return out;
    // Venue and broadcasters: everything before the blank that precedes the date.
    if (slash >= 3) out.broadcasters = std::string(c.substr(0, slash - 3));
    const std::string_view prefix = out.broadcasters;
    if (const size_t paren = prefix.find('('); paren != std::string_view::npos) {
        const std::string_view code = prefix.substr(0, paren);
        for (const Venue& v : kVenues)
            if (code == v.code) out.city = v.city;
    }
    if (slash >= 2) out.date = readDate(trimBlanks(mid(c, slash - 2, 9)));
    out.time = std::string(mid(c, slash + 6, 10));
    return out;
}

int IndexChaine(std::string_view text) {
    if (contains(text, "TF1")) return 1;
    if (contains(text, "F2")) return 2;
    if (contains(text, "TMC")) return 3;
    if (contains(text, "BE")) return 8;
    if (contains(text, "C+")) return 0;
    return kNoLogo;
}

void MatchInfo::design() {
    designBracketCopy();
    designDay();
    wireHover();
}

namespace {
struct Place {
    int left, top, width, height;
};
constexpr uint32_t kPanelFace = 0xF4F0EA;
constexpr uint32_t kPanelBorder = 0x7A5A2A;
// Logos by element; 4 to 7 and 9 stand in the knockout view's copy.
constexpr std::array<Place, 10> kLogos{{{13590, 7740, 600, 420},
                                        {15060, 7620, 600, 420},
                                        {15795, 7635, 600, 420},
                                        {16410, 7845, 600, 420},
                                        {105, 2760, 600, 420},
                                        {1575, 2640, 600, 420},
                                        {2310, 2655, 600, 420},
                                        {2970, 2830, 600, 420},
                                        {14280, 7800, 600, 420},
                                        {795, 2820, 600, 420}}};
constexpr std::array<Place, 6> kLabTer{{{13635, 5100, 3600, 330},
                                        {13710, 5640, 2200, 420},
                                        {15945, 5595, 1300, 300},
                                        {90, 2010, 3600, 330},
                                        {135, 2400, 2480, 420},
                                        {2655, 2355, 1150, 300}}};
bool inBracketCopy(int logo) { return (logo >= 4 && logo <= 7) || logo == 9; }
} // namespace

void MatchInfo::designMainCopy() {
    forms::Form& f = w_.form;
    LabInfo = &f.add(Kind::Label, "LabInfo", -1, nullptr, 20000, 0, 100, 100);
    LabInfo->setVisible(false);
    LabInfo->on(Ev::Change, [this](Control&, forms::EventArgs&) { LabInfo_Change(); });

    // In the right-hand column below the day's panel, so a hover while the day's panel
    // is open is still seen; the knockout view, made after it, covers it.
    Shape1 = &f.add(Kind::Shape, "Shape1", -1, nullptr, 13425, 4965, 3960, 3465);
    Shape1->setBackColor(kPanelFace);
    Shape1->setForeColor(kPanelBorder);
    Shape1->setValue(4); // rounded
    Shape1->setVisible(false);
    for (int i = 0; i < 3; ++i) designLabTer(i, nullptr);
    // Nine stored stadiums (hidden), the shown picture area 10, and 12 unused; 11 is the
    // knockout view's.
    for (int i = 0; i < 13; ++i) {
        if (i == 11) continue;
        Control& t = i == 10 ? f.add(Kind::Image, "Terrain", i, nullptr, 13530, 6045, 3750, 1545)
                             : f.add(Kind::Image, "Terrain", i, nullptr, 20000, 0, 3750, 1545);
        if (i <= 8) {
            std::string code = kStadiumCode[static_cast<size_t>(i)];
            for (char& ch : code) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            t.setPicture("stade_" + code);
        }
        if (i != 10) t.setVisible(false);
        t.setStretch(true);
        Terrain[static_cast<size_t>(i)] = &t;
    }
    for (int i = 0; i < 10; ++i)
        if (!inBracketCopy(i)) designLogo(i, nullptr);
    // The main window's logos hold the pictures; start-up copies them to the bracket's.
    for (const Broadcaster& b : kBroadcasters) ImChaine[static_cast<size_t>(b.main)]->setPicture(b.picture);
}

void MatchInfo::designLabTer(int i, Control* parent) {
    const Place& p = kLabTer[static_cast<size_t>(i)];
    Control& l = w_.form.add(Kind::Label, "LabTer", i, parent, p.left, p.top, p.width, p.height);
    l.setFontBold(i % 3 != 1);
    l.setFontSize(i % 3 == 0 ? 11.25 : 9.75);
    LabTer[static_cast<size_t>(i)] = &l;
}

void MatchInfo::designLogo(int i, Control* parent) {
    const Place& p = kLogos[static_cast<size_t>(i)];
    Control& l = w_.form.add(Kind::Image, "ImChaine", i, parent, p.left, p.top, p.width, p.height);
    l.setStretch(true);
    l.setVisible(false);
    ImChaine[static_cast<size_t>(i)] = &l;
}

void MatchInfo::designBracketCopy() {
    forms::Form& f = w_.form;
    // In the lower half of the bracket, left of centre; start-up brings it in.
    Control* ko = w_.knockout.Frame9;
    Frame16 = &f.add(Kind::Frame, "Frame16", -1, ko, 20000, 5280, 3900, 3500);
    Frame16->setValue(1); // borderless: Shape2 draws its border
    Frame16->setVisible(false);
    // Over the details themselves the pointer changes nothing: the bracket behind them
    // would otherwise take the move and hide them.
    Frame16->on(Ev::MouseMove, [](Control&, forms::EventArgs&) {});
    Shape2 = &f.add(Kind::Shape, "Shape2", -1, Frame16, 0, 120, 3870, 3345);
    Shape2->setBackColor(kPanelFace);
    Shape2->setForeColor(kPanelBorder);
    Shape2->setValue(4);
    Shape2->setVisible(false);
    for (int i = 3; i < 6; ++i) designLabTer(i, Frame16);
    Terrain[11] = &f.add(Kind::Image, "Terrain", 11, Frame16, 60, 465, 3750, 1545);
    Terrain[11]->setStretch(true);
    for (int i = 0; i < 10; ++i)
        if (inBracketCopy(i)) designLogo(i, Frame16);
    Image15 = &f.add(Kind::Image, "Image15", -1, ko, 20000, 0, 100, 100);
    Image15->setVisible(false);
}

void MatchInfo::designDay() {
    forms::Form& f = w_.form;
    Control* panel = w_.views.Frame18;
    Label14 = &f.add(Kind::Label, "Label14", -1, panel, 360, 240, 2000, 285, "Matches du :");
    Label14->setFontBold(true);
    Label14->setFontSize(9.75);
    Combo3 = &f.add(Kind::ComboBox, "Combo3", -1, panel, 2460, 315, 645, 330);
    Combo4 = &f.add(Kind::ComboBox, "Combo4", -1, panel, 3135, 315, 645, 330);
    static constexpr std::array<int, 4> kRowTops{870, 1140, 1395, 1665};
    for (int r = 0; r < 4; ++r) {
        const int top = kRowTops[static_cast<size_t>(r)];
        RepIm[static_cast<size_t>(r)] = &f.add(Kind::Image, "RepIm", r, panel, 105, top, 540, 270);
        RepIm[static_cast<size_t>(r)]->setStretch(true);
        LabCAL[static_cast<size_t>(r)] = &f.add(Kind::Label, "LabCAL", r, panel, 705, top, 3300, 255);
    }
    List2 = &f.add(Kind::ListBox, "List2", -1, panel, 315, 2010, 2220, 750);
    List2->setSorted(true);
    List2->setForeColor(0xC0);
    Timer1 = &f.add(Kind::Timer, "Timer1", -1, panel);
    Timer1->setInterval(800);
    Timer1->setEnabled(true);
    Command15 = &f.add(Kind::Button, "Command15", -1, nullptr, 14520, 15, 1065, 915, "Calendrier");
    Command15->setPicture("calendar");

    auto run = [](Control* c, Ev ev, auto fn) { c->on(ev, [fn](Control&, forms::EventArgs&) { fn(); }); };
    for (Control* combo : {Combo3, Combo4}) {
        run(combo, Ev::Click, [this] { AfficheJour(); });
        run(combo, Ev::Change, [this] { AfficheJour(); });
        run(combo, Ev::GotFocus, [this] { Timer1->setEnabled(false); });
        run(combo, Ev::KeyPress, [this] { Timer1->setEnabled(false); });
    }
    run(Command15, Ev::Click, [this] { Command15_Click(); });
    run(panel, Ev::Click, [this] { w_.views.Frame18->setVisible(false); });
    run(Timer1, Ev::Timer, [this] { Timer1_Timer(); });
}

void MatchInfo::copyTipToLabInfo(const Control& carrier) {
    // Pointing again at the match already shown rebuilds the panel too: it may have been
    // hidden since, by the bare window or the bracket's background.
    if (LabInfo->caption() == carrier.toolTip())
        LabInfo_Change();
    else
        LabInfo->setCaption(carrier.toolTip());
}

void MatchInfo::wireHover() {
    auto carrier = [this](Control* c) {
        c->on(Ev::MouseMove, [this](Control& self, forms::EventArgs&) { copyTipToLabInfo(self); });
    };
    auto clearing = [this](Control* c) {
        c->on(Ev::MouseMove, [this](Control&, forms::EventArgs&) { LabInfo->setCaption(""); });
    };
    GroupStage& gs = w_.groups;
    for (size_t g = 0; g < gs.groups.size(); ++g) {
        Group& grp = gs.groups[g];
        for (Control* label : grp.fixture) carrier(label);
        // The score boxes of groups A to D stand for the label of the same index.
        if (g < 4)
            for (size_t j = 0; j < grp.score.size(); ++j) {
                Control* label = grp.fixture[j];
                grp.score[j]->on(Ev::MouseMove, [this, label](Control&, forms::EventArgs&) { copyTipToLabInfo(*label); });
            }
        clearing(grp.frame);
    }
    KnockoutStage& ko = w_.knockout;
    for (Control* c : ko.Huit) carrier(c);
    for (Control* c : gs.overview) carrier(c);
    for (Control* c : ko.Qua) carrier(c);
    for (Control* c : ko.DEM) carrier(c);
    for (Control* c : ko.pf) carrier(c);
    for (Control* c : ko.FIN) carrier(c);
    clearing(ko.Frame10);
    ko.Frame9->on(Ev::MouseMove, [this](Control&, forms::EventArgs&) {
        LabInfo->setCaption("");
        CacheDetailsMatch();
    });
    w_.form.mouseMove = [this](forms::EventArgs&) { CacheDetailsMatch(); };
}

void MatchInfo::CacheDetailsMatch() {
    Shape1->setVisible(false);
    Shape2->setVisible(false);
    Terrain[10]->setPicture("");
    Terrain[11]->setPicture("");
    for (Control* l : LabTer) l->setCaption("");
    Frame16->setVisible(false);
    for (Control* logo : ImChaine) logo->setVisible(false);
}

void MatchInfo::LabInfo_Change() {
    Frame16->setVisible(true);
    const std::string c = LabInfo->caption();
    for (Control* l : LabTer) l->setCaption("");
    const InfoMatchFields info = DecodeInfoMatch(c);
    LabTer[0]->setCaption(info.city);
    for (Control* logo : ImChaine) logo->setVisible(false);
    for (const Broadcaster& b : kBroadcasters)
        if (contains(info.broadcasters, b.code)) {
            ImChaine[static_cast<size_t>(b.main)]->setVisible(true);
            ImChaine[static_cast<size_t>(b.knockout)]->setVisible(true);
        }
    if (info.date) LabTer[1]->setCaption(w_.platform.formatDate(*info.date, "dddd dd MMM yyyy "));
    LabTer[2]->setCaption(info.time);
    for (int i = 0; i < 3; ++i) LabTer[static_cast<size_t>(i + 3)]->setCaption(LabTer[static_cast<size_t>(i)]->caption());
    const bool any = !LabTer[0]->caption().empty() || !LabTer[1]->caption().empty() || !LabTer[2]->caption().empty();
    Shape1->setVisible(any);
    Shape2->setVisible(any);
    // The last code found wins. Set once: a picture set away and back would be drawn
    // again at every move of the pointer over the same match.
    std::string stadium;
    for (size_t k = 0; k < kStadiumCode.size(); ++k)
        if (contains(c, kStadiumCode[k])) stadium = Terrain[k]->picture();
    Terrain[10]->setPicture(stadium);
    Terrain[11]->setPicture(Terrain[10]->picture());
}

void MatchInfo::AfficheJour() {
    List2->clear();
    const std::string day = Combo3->text() + "/" + Combo4->text();
    GroupStage& gs = w_.groups;
    KnockoutStage& ko = w_.knockout;
    const Control* matchList = w_.fichier.List1;
    for (const std::string& line : matchList->items()) {
        const std::string_view tail = std::string_view(line).substr(line.size() > 14 ? line.size() - 14 : 0);
        if (tail.substr(0, 5) != day || line.size() < 2) continue;
        const char tag = line[0];
        int number = static_cast<int>(platform::val(line.substr(1, 1)));
        if (number == 1) number = static_cast<int>(platform::val(line.substr(1, 2)));
        const std::string time = line.substr(line.size() >= 5 ? line.size() - 5 : 0);
        const Control* first = nullptr;
        const Control* second = nullptr;
        const Control* info = nullptr;
        auto pair = [&](const auto& arr, bool infoOnSecond) {
            const size_t n = static_cast<size_t>(number);
            if (number < 0 || n + 1 >= arr.size()) return;
            first = arr[n];
            second = arr[n + 1];
            info = infoOnSecond ? second : first;
        };
        if (tag >= 'A' && tag <= 'F')
            pair(gs.groups[static_cast<size_t>(tag - 'A')].fixture, true);
        else if (tag == 'V')
            pair(ko.Huit, false);
        else if (tag == 'W')
            pair(ko.Qua, false);
        else if (tag == 'X')
            pair(ko.DEM, false);
        else if (tag == 'Y')
            first = ko.pf[0], second = ko.pf[1], info = ko.pf[0];
        else if (tag == 'Z')
            first = ko.FIN[0], second = ko.FIN[1], info = ko.FIN[0];
        if (!first) continue;
        List2->addItem(time + " " + first->text() + " Vs " + second->text() + std::to_string(IndexChaine(info->toolTip())));
    }

    for (int r = 0; r < 4; ++r) {
        LabCAL[static_cast<size_t>(r)]->setCaption("");
        RepIm[static_cast<size_t>(r)]->setPicture("");
        LabCAL[static_cast<size_t>(r)]->setAlignment(forms::Align::Left);
    }
    const int n = List2->listCount();
    for (int i = 0; i < n; ++i) {
        const std::string& entry = List2->list(i);
        const int d = static_cast<int>(platform::val(entry.substr(entry.size() - 1)));
        const int row = n == 1 ? i + 2 : n <= 3 ? i + 1 : i;
        if (row > 3) break; // the fifth match on is listed in List2 only
        LabCAL[static_cast<size_t>(row)]->setCaption(entry.substr(0, entry.size() - 1));
        RepIm[static_cast<size_t>(row)]->setPicture(d == kNoLogo ? std::string() : ImChaine[static_cast<size_t>(d)]->picture());
    }
    if (n == 0) {
        for (Control* l : LabCAL) l->setAlignment(forms::Align::Center);
        LabCAL[0]->setCaption("");
        LabCAL[1]->setCaption(w_.MSG[7]);
        LabCAL[2]->setCaption(w_.MSG[8]);
        LabCAL[3]->setCaption("!!!");
    }
}

void MatchInfo::Command15_Click() {
    if (w_.qualifiers.FraElim->visible()) return;
    Control* panel = w_.views.Frame18;
    panel->setLeft(13380);
    panel->setTop(w_.knockout.Frame9->visible() ? 6345 : 990);
    panel->setVisible(!panel->visible());
    w_.views.Fraide->setVisible(false);
}

void MatchInfo::Timer1_Timer() {
    const double ticks = platform::val(Timer1->tag());
    if (ticks > 7) {
        w_.views.Frame18->setVisible(false);
        Timer1->setEnabled(false);
        w_.online.Image6->setVisible(false); // the banner goes with the panel
    }
    Timer1->setTag(platform::numText(ticks + 1));
}

} // namespace zentrafo
