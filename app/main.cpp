#include <QApplication>

#include "main/marlix.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("zentrafo");
    zqt::prepareApplication();
    zqt::QtPlatform platform;
    zentrafo::Marlix w(platform);
    w.Form_Load();
    zqt::MainWindow window(w, &platform);
    // Closing the window stores the display mode and the contest identity.
    window.onClose = [&w] {
        w.Form_Unload();
        return true;
    };
    window.show();
    return QApplication::exec();
}
