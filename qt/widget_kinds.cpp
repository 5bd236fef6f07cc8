#include "qt/widget_kinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QTextLayout>

namespace zqt {

namespace {
// The fonts the windows are designed with; each maps to a close, common family.
QStringList wantedFamilies(const QString& n) {
    static const QStringList sans{"Liberation Sans", "Arimo", "Arial", "Helvetica", "DejaVu Sans"};
    if (n.isEmpty() || n.compare("MS Sans Serif", Qt::CaseInsensitive) == 0 ||
        n.compare("Microsoft Sans Serif", Qt::CaseInsensitive) == 0)
        return sans;
    return QStringList{n} + sans;
}

} // namespace

// Colours as the windows' designs hold them: &HBBGGRR, or a system colour (high bit
// set) that follows the user's palette.
QColor colour(uint32_t c) {
    if (c & 0x80000000u) {
        const QPalette pal = QApplication::palette();
        switch (c & 0xFF) {
        case 5: return pal.color(QPalette::Base);
        case 7:
        case 8: return pal.color(QPalette::Text);
        case 13: return pal.color(QPalette::Highlight);
        case 14: return pal.color(QPalette::HighlightedText);
        case 16: return pal.color(QPalette::Dark);
        case 17: return pal.color(QPalette::Disabled, QPalette::Text);
        case 18: return pal.color(QPalette::ButtonText);
        case 20: return pal.color(QPalette::Light);
        case 21: return pal.color(QPalette::Shadow);
        case 22: return pal.color(QPalette::Midlight);
        case 23: return pal.color(QPalette::ToolTipText);
        case 24: return pal.color(QPalette::ToolTipBase);
        case 9:
        case 19: return pal.color(QPalette::WindowText);
        default: return pal.color(QPalette::Button);
        }
    }
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

// Only the wanted families the machine has, in the same order. Qt asks the system's
// font configuration about every listed family it lacks, again for each new size and
// weight, and hundreds of controls start at once; the answer is always the first
// family installed. With none of them installed, the system chooses, as before.
QStringList families(const std::string& name) {
    static QHash<QString, QStringList> known;
    const QString n = q(name);
    auto found = known.constFind(n);
    if (found != known.cend()) return *found;
    static const QStringList installed = QFontDatabase::families();
    const QStringList wanted = wantedFamilies(n);
    QStringList present;
    for (const QString& f : wanted)
        if (installed.contains(f, Qt::CaseInsensitive) && !present.contains(f, Qt::CaseInsensitive)) present.push_back(f);
    return *known.insert(n, present.isEmpty() ? wanted : present);
}

Qt::Alignment horizontal(forms::Align a) {
    switch (a) {
    case forms::Align::Right: return Qt::AlignRight;
    case forms::Align::Center: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

// Positions in the model count UTF-8 bytes; Qt counts UTF-16 units.
int toQtIndex(const std::string& text, int bytes) {
    bytes = std::clamp(bytes, 0, static_cast<int>(text.size()));
    return static_cast<int>(QString::fromUtf8(text.data(), bytes).size());
}

// Where the cursor belongs after a handler rewrote what the user typed: after the
// characters that were before it and survived. A rewrite that is not a deletion puts
// the cursor at the end.
int cursorAfterRewrite(const QString& typed, int cursor, const QString& now) {
    qsizetype j = 0, before = -1;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        if (i == cursor) before = j;
        if (j < now.size() && typed[i] == now[j]) ++j;
    }
    if (before < 0) before = j;
    if (j < now.size()) return static_cast<int>(now.size());
    return static_cast<int>(before);
}

int buttonBits(Qt::MouseButtons b) {
    int v = 0;
    if (b & Qt::LeftButton) v |= 1;
    if (b & Qt::RightButton) v |= 2;
    if (b & Qt::MiddleButton) v |= 4;
    return v;
}

int shiftBits(Qt::KeyboardModifiers m) {
    int v = 0;
    if (m & Qt::ShiftModifier) v |= 1;
    if (m & Qt::ControlModifier) v |= 2;
    if (m & Qt::AltModifier) v |= 4;
    return v;
}

// The character code a key press carries, 0 for keys that type nothing.
int keyAscii(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    default: break;
    }
    const QString t = e->text();
    if (t.size() != 1) return 0;
    const char16_t u = t.at(0).unicode();
    return u > 0 && u < 256 ? u : 0;
}





void report(const char* where) {
    try {
        throw;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zentrafo: %s: %s\n", where, e.what());
    } catch (...) {
        std::fprintf(stderr, "zentrafo: %s: unknown error\n", where);
    }
}

// The painter's clip alone would cut a line through its letters. Lines are laid out as the
// painter lays them (each on a whole pixel after the font's leading); the first line whose
// letters would not stand whole above the bottom, and all after it, go below a margin that
// keeps them out of the clip. A line that loses only the tips of its descenders still
// reads, and stays as it always was drawn.
void showWholeLines(QLabel* l) {
    const QString text = l->text();
    const int width = l->width(), room = l->height();
    const QFontMetricsF m(l->font());
    int hidden = 0;
    if (text.contains(QLatin1Char('\n')) || m.horizontalAdvance(text) > width) {
        QString lines = text;
        lines.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QChar::LineSeparator);
        QTextLayout layout(lines, l->font());
        QTextOption wrap;
        wrap.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(wrap);
        layout.beginLayout();
        qreal top = -m.leading(), bottom = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            top = std::ceil(top + m.leading());
            if (line.lineNumber() > 0 && top + line.ascent() > room) {
                hidden = std::max(0, room - static_cast<int>(std::ceil(bottom)));
                break;
            }
            bottom = top = top + line.ascent() + line.descent();
        }
        layout.endLayout();
    }
    if (l->contentsMargins().bottom() != hidden) l->setContentsMargins(0, 0, 0, hidden);
}

} // namespace zqt
