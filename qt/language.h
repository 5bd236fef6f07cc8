#pragma once
// Qt's own dialogs and menus (the file dialog, a message box's buttons, a box's context
// menu) speak the language the user chose for the program's texts.

namespace zqt {

// The program's language to follow: 0 French, 1 English, 2 Spanish.
void followLanguage(const int* current);
// Stops following `current`, if it still is the one followed.
void forgetLanguage(const int* current);
// Loads Qt's translations for the followed language when it changed since the last
// call; returns that language (French while none is followed).
int speakChosenLanguage();

} // namespace zqt
