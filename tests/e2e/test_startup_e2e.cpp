// Start-up, match information, the display scale and quitting, in the offscreen front
// end with real events on the real widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "e2e_support.h"
#include "http_test_server.h"
#include "kill_during_saves.h"
#include "qt/qt_platform.h"

namespace {

// Whether anything opened or read a file since the watch began.
struct ReadWatch {
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    explicit ReadWatch(const std::string& file) { ::inotify_add_watch(fd, file.c_str(), IN_OPEN | IN_ACCESS); }
    ~ReadWatch() { ::close(fd); }
    bool touched() const {
        char events[4096];
        return ::read(fd, events, sizeof events) > 0;
    }
};

// The characters a label puts on the screen: its text, or what its markup renders.
std::string readable(const QLabel* l) {
    const Qt::TextFormat f = l->textFormat();
    if (f == Qt::PlainText || (f == Qt::AutoText && !Qt::mightBeRichText(l->text()))) return l->text().toStdString();
    QTextDocument doc;
    doc.setHtml(l->text());
    return doc.toPlainText().toStdString();
}

struct StartupTest : ::testing::Test {
    testing_support::ProgramFolder folder;
    platform::FakePlatform fake;
    e2e::Started run;
    std::unique_ptr<zentrafo::Marlix>& w = run.w;
    std::unique_ptr<zqt::MainWindow>& window = run.window;

    void SetUp() override {
        fake.folder = folder.program;
        start("[EquipA]\n1=France\n2=Corée\n3=Norvège\n4=Nigeria\n"
              "[Match]\n0=PDP(TF1 C+) 07/06/19 21:00\n"
              "2=REN(C+) 12/06/19 21:00\n"
              "6=NCE(TF1) 08/06/19 18:00\n"
              "12=LHA(C+) 08/06/19 21:00\n"
              "24=REN(BE) 08/06/19 15:00\n"
              "100=GRE(TF1) 22/06/19 17:30\n");
    }
    // The program started afresh on this forecast file.
    void start(const std::string& forecast) {
        folder.put("Zentrafo.ini", forecast);
        fake.clock = {2019, 6, 8, 10, 0, 0};
        run.start(fake, folder.config, true);
    }
    QWidget* widget(const forms::Control* c) { return run.widget(c); }
    QString text(const forms::Control* c) { return qobject_cast<QLabel*>(widget(c))->text(); }
};

TEST_F(StartupTest, DaysPanelListsTheDaysGamesInTimeOrder) {
    auto& mi = w->infos;
    QWidget* panel = widget(w->views.Frame18);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(text(mi.LabCAL[0]), "");
    EXPECT_EQ(text(mi.LabCAL[1]), QString::fromUtf8("15:00 C1 Vs C2"));
    EXPECT_EQ(text(mi.LabCAL[2]), QString::fromUtf8("18:00 Nigeria Vs Corée"));
    EXPECT_EQ(text(mi.LabCAL[3]), QString::fromUtf8("21:00 B1 Vs B2"));
    EXPECT_FALSE(qobject_cast<QLabel*>(widget(mi.RepIm[1]))->pixmap().isNull());
    e2e::shot(panel, "day_panel.png");

    // The user tabs into the day and steps it back: the 7th has one match.
    auto* day = qobject_cast<QComboBox*>(widget(mi.Combo3));
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    day->setFocus(Qt::TabFocusReason);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(day, &up);
    EXPECT_EQ(day->currentText(), "07");
    EXPECT_EQ(text(mi.LabCAL[2]), QString::fromUtf8("21:00 France Vs Corée"));
    EXPECT_EQ(text(mi.LabCAL[3]), "");
    EXPECT_FALSE(mi.Timer1->timerEnabled()) << "choosing a date keeps the panel open";
}

TEST_F(StartupTest, PointingAtAMatchShowsWhereWhenAndOnWhichChannel) {
    auto& mi = w->infos;
    QWidget* label = widget(w->groups.group('A').fixture[6]);
    e2e::moveOver(label);
    EXPECT_EQ(text(mi.LabTer[0]), "Nice");
    EXPECT_TRUE(text(mi.LabTer[1]).contains("2019")) << text(mi.LabTer[1]).toStdString();
    EXPECT_TRUE(text(mi.LabTer[1]).endsWith(' '));
    EXPECT_EQ(text(mi.LabTer[2]), " 18:00");
    EXPECT_TRUE(widget(mi.ImChaine[1])->isVisible());
    EXPECT_FALSE(widget(mi.ImChaine[0])->isVisible());
    EXPECT_FALSE(qobject_cast<QLabel*>(widget(mi.Terrain[10]))->pixmap().isNull());
    // The day's panel stays open beside them, and nothing lies over the details.
    ASSERT_TRUE(widget(w->views.Frame18)->isVisible());
    for (const forms::Control* c : {mi.LabTer[0], mi.LabTer[1], mi.LabTer[2], mi.Terrain[10]}) {
        QWidget* shown = widget(c);
        const QPoint centre = shown->mapTo(&window->view(), shown->rect().center());
        EXPECT_EQ(window->view().childAt(centre), shown) << c->name() << "(" << c->index() << ") is covered";
    }
    e2e::shot(&window->view(), "details_on_groups.png");

    // The bare window between two group panels hides the panel.
    e2e::moveOver(&window->view(), QPointF(4470 / 15.0, 3000 / 15.0));
    EXPECT_FALSE(widget(mi.Shape1)->isVisible());
    EXPECT_EQ(text(mi.LabTer[0]), "");

    // Over the bracket, the bracket's own copy shows the round-of-sixteen match.
    e2e::click(widget(w->views.Command1));
    ASSERT_TRUE(widget(w->knockout.Frame9)->isVisible());
    w->views.Frame18->setVisible(false);
    window->view().sync();
    e2e::moveOver(widget(w->knockout.Huit[1]));
    EXPECT_TRUE(widget(mi.Frame16)->isVisible());
    EXPECT_EQ(text(mi.LabTer[3]), "Grenoble");
    EXPECT_EQ(text(mi.LabTer[5]), " 17:30");
    e2e::shot(&window->view(), "details_over_bracket.png");
    e2e::moveOver(widget(w->knockout.Frame9), QPointF(10, 600));
    EXPECT_FALSE(widget(mi.Frame16)->isVisible());
}

TEST_F(StartupTest, TextsFromFilesShowTheirOwnCharactersAndReadNothing) {
    const std::string picture = folder.root + "/watched.png";
    ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(QString::fromStdString(picture)));
    const std::string markup = "<b>PDP</b><img src=\"" + picture + "\"> 07/06/19 21:00";
    start("[Match]\n0=" + markup + "\n[Mess]\n0=" + markup + "\n1=" + markup + "\n2=" + markup + "\n");
    ReadWatch watch(picture);

    QWidget* match = widget(w->groups.group('A').fixture[0]);
    const QPoint at(match->width() / 2, match->height() / 2);
    e2e::moveOver(match, at);
    QHelpEvent hover(QEvent::ToolTip, at, match->mapToGlobal(at));
    QApplication::sendEvent(match, &hover);
    QLabel* tip = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "qtooltip_label" && top->isVisible()) tip = qobject_cast<QLabel*>(top);
    ASSERT_NE(tip, nullptr);
    tip->grab();
    EXPECT_EQ(readable(tip), markup);
    QToolTip::hideText();

    auto* message = qobject_cast<QLabel*>(widget(w->langage.Label10));
    ASSERT_TRUE(message->isVisible());
    EXPECT_EQ(readable(message), markup);

    // The desktop's own dialogs: a message box and an input box.
    zqt::QtPlatform desktop;
    std::vector<std::string> asked;
    auto readDialog = [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->grab();
        for (const QLabel* l : dialog->findChildren<QLabel*>())
            if (!l->text().isEmpty()) asked.push_back(readable(l));
        dialog->reject();
    };
    QTimer::singleShot(0, readDialog);
    desktop.messageBox(markup, 0, "Zentrafo");
    QTimer::singleShot(0, readDialog);
    desktop.inputBox(markup, "Zentrafo", "");
    EXPECT_EQ(asked, (std::vector<std::string>{markup, markup}));

    EXPECT_FALSE(watch.touched()) << "a text named a picture and the program read it";
    testing_support::slurp(picture);
    EXPECT_TRUE(watch.touched()) << "the watch must see a read";
}

TEST_F(StartupTest, ReducedModeShrinksEveryWidgetAndComesBackExactly) {
    std::map<const forms::Control*, QRect> design, model;
    for (const auto& c : w->form.controls())
        if (QWidget* wid = widget(c.get())) {
            design[c.get()] = wid->geometry();
            model[c.get()] = QRect(c->left(), c->top(), c->width(), c->height());
        }
    const QSize size = window->size();
    const int font = widget(w->groups.group('A').team[1])->font().pixelSize();

    auto toggle = [&] {
        e2e::click(widget(w->views.Command6)); // the help panel holds the mode button
        QWidget* button = widget(w->demarrage.Command14);
        ASSERT_TRUE(button->isVisible());
        // Nothing lies over it: the help opens above the group panels.
        const QPoint centre = button->mapTo(&window->view(), button->rect().center());
        ASSERT_EQ(window->view().childAt(centre), button);
        e2e::click(widget(w->demarrage.Command14));
        EXPECT_FALSE(widget(w->views.Fraide)->isVisible());
    };
    toggle();
    EXPECT_EQ(window->size(), size);
    EXPECT_EQ(w->demarrage.Command14->caption(), "Passer en mode normal");
    int checked = 0;
    for (const auto& [c, rect] : design) {
        if (c->kind() == forms::Kind::Line) continue;
        const QRect now = widget(c)->geometry();
        EXPECT_NEAR(now.x(), rect.x() * 0.85, 1.5) << c->name() << c->index();
        EXPECT_NEAR(now.width(), rect.width() * 0.85, 1.5) << c->name() << c->index();
        ++checked;
    }
    EXPECT_GT(checked, 300);
    EXPECT_LT(widget(w->groups.group('A').team[1])->font().pixelSize(), font);

    // Scores typed in reduced mode rank the table where the user sees it.
    QWidget* box = widget(w->groups.group('A').score[2]);
    e2e::type(box, "0");
    e2e::type(widget(w->groups.group('A').score[3]), "3");
    EXPECT_EQ(widget(w->groups.group('A').team[4])->y(), design[w->groups.group('A').team[1]].y() * 85 / 100);
    e2e::shot(&window->view(), "reduced_window.png");
    // A panel first opened in reduced mode shows at the reduced scale too.
    e2e::click(widget(w->views.Command1));
    const forms::Control* seat = w->knockout.Huit[2];
    ASSERT_NE(widget(seat), nullptr);
    EXPECT_EQ(widget(seat)->x(), std::lround(seat->left() * 0.85 / 15));
    EXPECT_EQ(widget(seat)->width(), std::lround((seat->left() + seat->width()) * 0.85 / 15) - widget(seat)->x());
    e2e::click(widget(w->views.Command1));

    toggle();
    for (int i = 0; i < 6; ++i) toggle();
    // Every box the entries did not move is back exactly where it was designed.
    int same = 0;
    for (const auto& [c, rect] : design)
        if (c->kind() != forms::Kind::Line && model[c] == QRect(c->left(), c->top(), c->width(), c->height())) {
            EXPECT_EQ(widget(c)->geometry(), rect) << c->name() << c->index();
            ++same;
        }
    EXPECT_GT(same, 300);
    EXPECT_EQ(widget(w->groups.group('A').team[1])->font().pixelSize(), font);
    EXPECT_EQ(widget(w->views.Command1)->geometry(), design[w->views.Command1]);
}

// Which rows of a picture of red text hold ink, each as its pixels: the message of the day
// is dark red on the window's grey.
using Ink = std::vector<std::vector<bool>>;
Ink redInk(const QImage& img) {
    Ink rows(static_cast<size_t>(img.height()), std::vector<bool>(static_cast<size_t>(img.width())));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = c.red() - std::max(c.green(), c.blue()) > 60;
        }
    return rows;
}
bool inked(const std::vector<bool>& row) { return std::find(row.begin(), row.end(), true) != row.end(); }
int inkBands(const Ink& ink) {
    int bands = 0;
    for (size_t y = 0; y < ink.size(); ++y) bands += inked(ink[y]) && (y == 0 || !inked(ink[y - 1]));
    return bands;
}

// The message of the day lies between the window's top and the goal total: three lines
// of it show whole, a longer one down to its last whole line, in both display modes.
TEST_F(StartupTest, MessageOfTheDayShowsWholeLinesAndCoversNothing) {
    const std::string three = "Ce soir au Parc des Princes, France contre Corée : rendez-vous pour le match !";
    const std::string longer = three + " Bonne chance à tous les pronostiqueurs, que le meilleur gagne !";
    start("[Mess]\n0=" + three + "\n");
    auto* shown = qobject_cast<QLabel*>(widget(w->langage.Label10));
    for (const auto& [reduced, message] : {std::pair{false, three}, {false, longer}, {true, three}, {true, longer}}) {
        SCOPED_TRACE((reduced ? "reduced: " : "normal: ") + message);
        if (reduced && w->form.zoom == 1.0) {
            e2e::click(widget(w->views.Command6));
            e2e::click(widget(w->demarrage.Command14));
        }
        w->langage.AfficheMessage(message);
        window->view().sync();
        ASSERT_TRUE(shown->isVisible());
        const QRect place(shown->mapTo(&window->view(), QPoint()), shown->size());
        const int h = place.height();

        // The same text in a label with room below it, as it runs on.
        QLabel free;
        free.setFont(shown->font());
        free.setAlignment(shown->alignment());
        free.setWordWrap(true);
        free.setText(shown->text());
        free.resize(shown->width(), 4 * h);
        QPalette red = free.palette();
        red.setColor(QPalette::WindowText, shown->palette().color(QPalette::WindowText));
        free.setPalette(red);
        const Ink all = redInk(free.grab().toImage());
        if (message == three) {
            ASSERT_EQ(inkBands(all), 3);
            EXPECT_TRUE(std::none_of(all.begin() + h, all.end(), inked)) << "three lines have room";
        } else {
            ASSERT_TRUE(std::any_of(all.begin() + h, all.end(), inked)) << "the longer one has not";
        }

        // What shows is the text down to its last gap between lines within the label.
        const Ink seen = redInk(window->view().grab(place).toImage());
        int cut = h;
        while (cut > 0 && inked(all[static_cast<size_t>(cut)])) --cut;
        int wrong = 0, first = -1;
        for (int y = 0; y < h; ++y)
            if (seen[static_cast<size_t>(y)] != (y < cut ? all[static_cast<size_t>(y)] : std::vector<bool>(all[0].size()))) {
                if (first < 0) first = y;
                ++wrong;
            }
        EXPECT_EQ(wrong, 0) << "rows drawn otherwise than whole lines, from row " << first << " of " << h;

        // Nothing beside or below lies under it: the goal total, the flags, the red dot.
        for (QWidget* other : window->view().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (other != shown && other->isVisible()) {
                EXPECT_FALSE(other->geometry().intersects(place)) << other->geometry().x() << "," << other->geometry().y();
            }
        e2e::shot(&window->view(), (std::string("message_") + (reduced ? "reduced" : "normal") +
                                    (message == three ? "_three.png" : "_longer.png")).c_str());
    }
}

// A pseudonym stored and the picture wanted at each start: a picture server that never
// answers keeps the user from the window a few seconds at most.
TEST(StartupOnline, StallingImageServerDoesNotHoldTheWindow) {
    testing_support::ProgramFolder folder;
    testhttp::Server server;
    server.route("/imvosk.php", testhttp::Reply::stall());
    ::setenv("ZENTRAFO_SERVER", server.base().c_str(), 1);
    struct : zqt::QtPlatform {
        std::string folder;
        std::string programFolder() override { return folder; }
    } desktop;
    desktop.folder = folder.program;
    platform::Settings stored = platform::Settings::inFolder(folder.config);
    ASSERT_TRUE(stored.set("data", "pseudo", "Zizou") && stored.set("data", "ChImage", "0"));
    e2e::Started run;
    const auto start = std::chrono::steady_clock::now();
    run.start(desktop, folder.config, true, &desktop);
    const auto waited = std::chrono::steady_clock::now() - start;
    ::unsetenv("ZENTRAFO_SERVER");
    EXPECT_EQ(server.hits("/imvosk.php"), 1u);
    EXPECT_TRUE(run.window->isVisible());
    EXPECT_TRUE(run.widget(run.w->online.Image14)->isVisible());
    EXPECT_FALSE(std::filesystem::exists(folder.path("imgtmp.gif")));
    // Not a measure of speed: a download may otherwise take 20 s, the start-up's one ~3 s.
    EXPECT_LT(waited, std::chrono::seconds(8));
}

// Where no setting can be kept, the start says so in one box, and only once the window is
// drawn behind it: on a first run, and on a later one whose language is already stored.
TEST(StartupSettings, UnkeptSettingsBoxComesOverTheDrawnWindowOnce) {
    SKIP_UNLESS_ROOT();
    // Every message box as it comes up, whether the program's window stood drawn behind it,
    // answered OK at once.
    struct BoxWatch : QObject {
        std::vector<std::pair<std::string, bool>> boxes;
        QWidget* drawn = nullptr;
        bool eventFilter(QObject* watched, QEvent* e) override {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && e->type() == QEvent::Paint && qobject_cast<zqt::MainWindow*>(w->window()) && w->window()->isVisible())
                drawn = w->window();
            if (auto* box = qobject_cast<QMessageBox*>(watched); box && e->type() == QEvent::Show) {
                boxes.emplace_back(box->text().toStdString(), drawn && drawn->isVisible() && box->parentWidget() == drawn);
                QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
            }
            return false;
        }
    };
    for (const bool stored : {false, true}) {
        SCOPED_TRACE(stored ? "later run" : "first run");
        testing_support::ProgramFolder folder;
        const std::string xdg = folder.root + "/xdg", config = xdg + "/Zentrafo";
        std::filesystem::create_directories(stored ? config : xdg);
        if (stored) std::ofstream(config + "/settings.ini") << "[data]\nlangue=0\nFirstUse=1\n";
        // A group with other members may write the folder above the settings.
        ASSERT_EQ(::chown(xdg.c_str(), 0, 4321), 0);
        ASSERT_EQ(::chmod(xdg.c_str(), 0775), 0);
        struct : zqt::QtPlatform {
            std::string folder;
            std::string programFolder() override { return folder; }
            platform::DateTime now() override { return {2019, 6, 8, 10, 0, 0}; }
        } desktop;
        desktop.folder = folder.program;
        BoxWatch watch;
        qApp->installEventFilter(&watch);
        e2e::Started run;
        run.start(desktop, config, false, &desktop);
        for (int i = 0; i < 500 && watch.boxes.empty(); ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::processEvents();
        ASSERT_EQ(watch.boxes.size(), 1u);
        EXPECT_TRUE(watch.boxes[0].second) << "the box came before the window was drawn";
        EXPECT_NE(watch.boxes[0].first.find("ne pourront pas être gardés"), std::string::npos) << watch.boxes[0].first;
        EXPECT_NE(watch.boxes[0].first.find(xdg + "\n"), std::string::npos) << watch.boxes[0].first;
    }
}

TEST_F(StartupTest, QuitEndsTheProgramWithTheSettingsStored) {
    w->online.Text2[1]->setText("Zizou");
    e2e::click(widget(w->views.Command6));
    e2e::click(widget(w->demarrage.Command14));
    e2e::click(widget(w->demarrage.Command5));
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(w->reglages.get("reduit"), "1");
    EXPECT_EQ(w->reglages.get("pseudo"), "Zizou");
}

} // namespace
