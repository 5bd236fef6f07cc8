#include "qt/plain_text.h"

#include <QLabel>
#include <QMessageBox>

namespace zqt {

QString plainToolTip(const std::string& text) {
    QString t = q(text);
    // Most tips are plain already and stay exactly as they are.
    if (!Qt::mightBeRichText(t)) return t;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return QStringLiteral("<p style=\"white-space:pre\">") + t.toHtmlEscaped() + QStringLiteral("</p>");
}

QString plainTitle(const std::string& text) {
    // Qt shows a doubled mark as one, literally.
    return q(text).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

void keepPlain(QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) box->setTextFormat(Qt::PlainText);
    if (auto* label = qobject_cast<QLabel*>(w)) label->setTextFormat(Qt::PlainText);
    for (QLabel* label : w->findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
}

} // namespace zqt
