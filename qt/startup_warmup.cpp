#include "qt/startup_warmup.h"

#include <QFontDatabase>
#include <QStringList>

namespace zqt {

StartupWarmUp::StartupWarmUp()
    : thread_([] {
          // Reading the system's font list takes milliseconds and comes before any text
          // is measured. The list is shared by every thread, and reading it is safe
          // from any of them: the GUI thread finds it ready or waits for it.
          QFontDatabase::families();
      }) {}

StartupWarmUp::~StartupWarmUp() {
    if (thread_.joinable()) thread_.join();
}

} // namespace zqt
