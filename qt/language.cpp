#include "qt/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zqt {

namespace {
const int* followed = nullptr;
int spoken = -1; // none loaded: Qt's own English
} // namespace

void followLanguage(const int* current) { followed = current; }

void forgetLanguage(const int* current) {
    if (followed == current) followed = nullptr;
}

int speakChosenLanguage() {
    const int language = followed && *followed >= 0 && *followed <= 2 ? *followed : 0;
    if (language == spoken || !QCoreApplication::instance()) return language;
    spoken = language;
    static QTranslator translations;
    QCoreApplication::removeTranslator(&translations);
    static const char* const kLocales[] = {"fr", "en", "es"};
    if (translations.load(QLocale(QString::fromLatin1(kLocales[language])), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translations);
    return language;
}

} // namespace zqt
