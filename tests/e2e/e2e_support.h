#pragma once
// What a user does with the mouse and the keyboard, sent as real Qt events.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>

#include <deque>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "main/marlix.h"
#include "platform/fake_platform.h"
#include "platform/settings.h"
#include "private_folders.h"
#include "qt/main_window.h"

namespace e2e {

// One mouse event at `at` (the middle of the widget when not given): a press or a
// double-click holds `button`, a release holds nothing, a move presses nothing.
inline void mouse(QWidget* target, QEvent::Type type, std::optional<QPointF> at = std::nullopt,
                  Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    const QPointF p = at.value_or(QPointF(target->width() / 2.0, target->height() / 2.0));
    const bool held = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    QMouseEvent e(type, p, target->mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : button,
                  held ? button : Qt::NoButton, keys);
    QApplication::sendEvent(target, &e);
}

inline void click(QWidget* target, std::optional<QPointF> at = std::nullopt) {
    mouse(target, QEvent::MouseButtonPress, at);
    mouse(target, QEvent::MouseButtonRelease, at);
}

inline void moveOver(QWidget* target, std::optional<QPointF> at = std::nullopt) {
    mouse(target, QEvent::MouseMove, at);
}

// A click where the user points in `window`: it lands on whatever shows there.
inline void clickAt(QWidget* window, QPoint at) {
    QWidget* target = window->childAt(at);
    if (!target) target = window;
    click(target, QPointF(target->mapFrom(window, at)));
}

// The window on show with this title, if any.
inline QWidget* topLevelTitled(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title) return w;
    return nullptr;
}

// Where the tests leave their screenshots and printed pages to look at: a folder of the
// build's, never the program's folder itself, nor /tmp, which a run leaves as it found it.
inline QString outputPath(const QString& name) {
    static const QString folder = [] {
        const QString dir = QStringLiteral(ZENTRAFO_BUILD_DIR "/test-pictures");
        QDir().mkpath(dir);
        return dir;
    }();
    return folder + QLatin1Char('/') + name;
}

// A picture of what the user sees, left to look at.
inline void shot(QWidget* what, const char* name) {
    ASSERT_TRUE(what->grab().save(outputPath(QString::fromLatin1(name))));
}

inline void key(QWidget* target, QChar ch) {
    const int code = ch == QLatin1Char('-') ? static_cast<int>(Qt::Key_Minus) : ch.unicode();
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &release);
}

// Entering a score: click the box (which selects what it holds), type the figures.
inline void type(QWidget* box, const QString& text) {
    click(box);
    for (QChar ch : text) key(box, ch);
}

// A user's forecast with one match of group A typed and one team renamed.
inline const std::string kUserFile = "[ButA]\n0=3\n1=1\n[EquipA]\n1=Mine\n";
// Groups B to F as every forecast the program saves names them, for the published files.
inline const std::string kGroupsBToF = "[EquipB]\n1=B1\n2=B2\n3=B3\n4=B4\n[EquipC]\n1=C1\n2=C2\n3=C3\n4=C4\n"
                                       "[EquipD]\n1=D1\n2=D2\n3=D3\n4=D4\n[EquipE]\n1=E1\n2=E2\n3=E3\n4=E4\n"
                                       "[EquipF]\n1=F1\n2=F2\n3=F3\n4=F4\n";

// The program's window as a user starts it: the model loads, then its window shows and
// takes the keyboard focus. `returning`: the user has seen the welcome panel, so none
// lies over the window.
inline std::unique_ptr<zqt::MainWindow> startWindow(zentrafo::Marlix& w, bool returning,
                                                   zqt::QtPlatform* desktop = nullptr) {
    if (returning) w.reglages.set("FirstUse", "1");
    w.Form_Load();
    auto window = std::make_unique<zqt::MainWindow>(w, desktop);
    window->show();
    window->activateWindow();
    QCoreApplication::processEvents();
    return window;
}

// A started program in the offscreen front end on the tests' private folders.
struct WindowFixture : ::testing::Test {
    platform::FakePlatform fake;
    zentrafo::Marlix w{fake};
    std::unique_ptr<zqt::MainWindow> window;

    void SetUp() override { window = startWindow(w, true); }
    QWidget* widget(const forms::Control* c) { return window->view().widgetOf(*c); }
};

// The program started on its own settings folder; a new start closes the previous one.
struct Started {
    std::unique_ptr<zentrafo::Marlix> w;
    std::unique_ptr<zqt::MainWindow> window;

    void start(platform::Platform& p, const std::string& config, bool returning = false,
               zqt::QtPlatform* desktop = nullptr) {
        window.reset();
        w.reset();
        w = std::make_unique<zentrafo::Marlix>(p, platform::Settings::inFolder(config));
        window = startWindow(*w, returning, desktop);
    }
    QWidget* widget(const forms::Control* c) const { return window->view().widgetOf(*c); }
};

// Starts of the program on one private installation, each kept open to the end of the test.
struct ProgramRuns : ::testing::Test {
    testing_support::ProgramFolder folder;
    platform::FakePlatform fake;
    std::deque<Started> runs;

    ProgramRuns() { fake.folder = folder.program; }
    Started& startProgram() {
        runs.emplace_back().start(fake, folder.config);
        return runs.back();
    }
};

// In a child process: a file system of `size` bytes mounted at `folder` (in a mount
// namespace of the child's own, which goes with it) and filled but for `free` bytes.
// False where this machine does not let the tests mount one.
inline bool mountNearlyFullDisk(const std::string& folder, size_t size, size_t free) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    const std::string options = "size=" + std::to_string(size) + ",mode=0700";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) return false;
    return !!(std::ofstream(folder + "/filler", std::ios::binary) << std::string(size - free, '\0'));
}

} // namespace e2e
