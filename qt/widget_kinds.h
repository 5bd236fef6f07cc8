#pragma once
// The kinds of widget the front end draws controls with, and the conversions between
// the model's units and Qt's, shared by every view.
#include <QColor>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QWidget>

#include <algorithm>
#include <string>

#include "forms/control.h"
#include "qt/form_view.h"
#include "qt/plain_text.h"

namespace zqt {

// Colours as the windows' designs hold them: &HBBGGRR, or a system colour (high bit
// set) that follows the user's palette.
QColor colour(uint32_t c);
// The installed font families that stand for a designed font, best first.
QStringList families(const std::string& name);
Qt::Alignment horizontal(forms::Align a);
// Positions in the model count UTF-8 bytes; Qt counts UTF-16 units.
int toQtIndex(const std::string& text, int bytes);
// Where the cursor belongs after a handler rewrote what the user typed.
int cursorAfterRewrite(const QString& typed, int cursor, const QString& now);
int buttonBits(Qt::MouseButtons b);
int shiftBits(Qt::KeyboardModifiers m);
// The character code a key press carries, 0 for keys that type nothing.
int keyAscii(const QKeyEvent* e);
// Tells of an exception a handler let out, from inside a catch block.
void report(const char* where);
// A word-wrapped label that runs out of height ends with its last line whose letters show
// whole, never with one cut through; the first line shows however short the label is.
void showWholeLines(QLabel* l);

// A push button whose caption wraps over several lines, under its picture when it has
// one, as the designed buttons expect.
class CaptionButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    static constexpr int kTextFlags = Qt::TextWordWrap | Qt::TextShowMnemonic;

    void setPicture(const QPixmap& p) {
        picture_ = p;
        update();
    }
    QRect contentRect() const { return rect().adjusted(4, 3, -4, -3); }
    int captionHeight(int width) const {
        if (text().isEmpty()) return 0;
        return fontMetrics().boundingRect(QRect(0, 0, width, 10000), kTextFlags | Qt::AlignHCenter, text()).height();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        opt.text.clear();
        opt.icon = QIcon();
        p.drawControl(QStyle::CE_PushButtonBevel, opt);
        QRect r = contentRect();
        if (opt.state & (QStyle::State_Sunken | QStyle::State_On)) r.translate(1, 1);
        p.setPen(palette().color(QPalette::ButtonText));
        if (picture_.isNull()) {
            p.drawText(r, kTextFlags | Qt::AlignCenter, text());
        } else {
            const QSize ps = picture_.deviceIndependentSize().toSize();
            const int caption = captionHeight(r.width());
            const int block = ps.height() + (caption ? 2 + caption : 0);
            const int top = r.top() + std::max(0, (r.height() - block) / 2);
            p.drawPixmap(QPoint(r.center().x() - ps.width() / 2 + 1, top), picture_);
            if (caption)
                p.drawText(QRect(r.left(), top + ps.height() + 2, r.width(), r.bottom() - top - ps.height() - 1),
                           kTextFlags | Qt::AlignHCenter | Qt::AlignTop, text());
        }
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rect().adjusted(3, 3, -3, -3);
            p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }

private:
    QPixmap picture_;
};

// A framed box: an etched border whose top line the caption interrupts. A group box
// underneath, for its title and caption shortcut; only the drawing is its own.
class FrameBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QFontMetrics fm = fontMetrics();
        const QString caption = title();
        const int line = caption.isEmpty() ? 0 : fm.height() / 2;
        const QRect box = rect().adjusted(0, line, -2, -2);
        const QPalette pal = palette();
        p.setPen(pal.color(QPalette::Mid));
        p.drawRect(box);
        p.setPen(pal.color(QPalette::Light));
        p.drawRect(box.translated(1, 1));
        if (caption.isEmpty()) return;
        const int flags = Qt::TextShowMnemonic | Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        const QRect text = fm.boundingRect(QRect(8, 0, width() - 16, fm.height()), flags, caption);
        p.fillRect(text.adjusted(-2, 0, 2, 0), pal.color(QPalette::Window));
        p.setPen(pal.color(QPalette::WindowText));
        p.drawText(text, flags, caption);
    }
};

class ShapeWidget : public QWidget {
public:
    // A shape is drawing only: the pointer goes through it to what lies beneath.
    ShapeWidget(const forms::Control& c, QWidget* parent) : QWidget(parent), c_(c) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, c_.value() >= 2);
        p.setPen(QPen(colour(c_.foreColor()), 1));
        p.setBrush(colour(c_.backColor()));
        QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const int style = c_.value();
        if (style == 1 || style == 3 || style == 5) {
            const qreal side = std::min(r.width(), r.height());
            r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
        }
        if (style == 2 || style == 3)
            p.drawEllipse(r);
        else if (style == 4 || style == 5)
            p.drawRoundedRect(r, r.width() / 8, r.height() / 8);
        else
            p.drawRect(r);
    }

private:
    const forms::Control& c_;
};

// A line has no box of its own: it lies over its parent, where its end points are.
class LineWidget : public QWidget {
public:
    LineWidget(const forms::Control& c, const FormView& view, QWidget* parent) : QWidget(parent), c_(c), view_(view) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    int penWidth() const { return std::max(1, c_.value()); }
    QRect span() const {
        const int m = penWidth() + 1;
        return QRect(QPoint(view_.px(c_.x1()), view_.px(c_.y1())), QPoint(view_.px(c_.x2()), view_.px(c_.y2())))
            .normalized()
            .adjusted(-m, -m, m, m);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(colour(c_.foreColor()), penWidth(), Qt::SolidLine, Qt::FlatCap));
        const QPoint o = geometry().topLeft();
        p.drawLine(QPoint(view_.px(c_.x1()), view_.px(c_.y1())) - o, QPoint(view_.px(c_.x2()), view_.px(c_.y2())) - o);
    }

private:
    const forms::Control& c_;
    const FormView& view_;
};

} // namespace zqt
