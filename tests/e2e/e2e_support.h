#pragma once
// What a user does with the mouse and the keyboard, sent as real Qt events.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include "main/marlix.h"
#include "platform/fake_platform.h"
#include "qt/main_window.h"

namespace e2e {

inline void mouse(QWidget* target, QEvent::Type type) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QMouseEvent e(type, at, target->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

inline void click(QWidget* target) {
    mouse(target, QEvent::MouseButtonPress);
    mouse(target, QEvent::MouseButtonRelease);
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

// A started program in the offscreen front end: the model loaded, the window shown.
struct WindowFixture : ::testing::Test {
    platform::FakePlatform fake;
    zentrafo::Marlix w{fake};
    std::unique_ptr<zqt::MainWindow> window;

    void SetUp() override {
        // A returning user: no welcome panel over the window.
        w.reglages.set("FirstUse", "1");
        w.Form_Load();
        window = std::make_unique<zqt::MainWindow>(w);
        window->show();
    }
    QWidget* widget(const forms::Control* c) { return window->view().widgetOf(*c); }
};

} // namespace e2e
