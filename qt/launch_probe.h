#pragma once
// Lets the launch benchmark time a process from its start to its first painted window:
// when the environment variable ZENTRAFO_QUIT_WHEN_SHOWN is set, the application quits
// as soon as `window` has been painted once. Does nothing otherwise.
class QWidget;

namespace zqt {

void quitWhenShownIfAsked(QWidget* window);

} // namespace zqt
