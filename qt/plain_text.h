#pragma once
// The texts the windows show come from the model, and much of it from outside the
// program: published files, language files, what the user typed. Qt takes a text that
// looks like markup for rich text, and rich text reads every picture it names (any local
// file, or /dev/zero without end). Labels, tooltips, titles and dialogs get their texts
// through here, so that none is ever taken for markup.
#include <string>

#include <QString>

class QWidget;

namespace zqt {

// The model's UTF-8 text as Qt holds it, for widgets that draw their text as it stands
// (line and list boxes, buttons, check boxes, frames).
inline QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A tooltip has no plain mode: a text Qt would take for markup is escaped, so that it
// shows its own characters, line breaks and runs of blanks included.
QString plainToolTip(const std::string& text);
// A window's title, whose "[*]" would otherwise stand for the unsaved-changes mark.
QString plainTitle(const std::string& text);
// `w` and every label inside it (a dialog's prompt, say) show their texts as they stand.
void keepPlain(QWidget* w);

} // namespace zqt
