#pragma once
// What a user does with the mouse and the keyboard, sent as real Qt events.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

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

} // namespace e2e
