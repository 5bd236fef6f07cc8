#pragma once
// The program's own texts: those no language file carries (the language files hold the
// captions of the controls and the MSG table), in the window's three languages.
#include <string>

namespace zentrafo {

enum class Texte {
    TitreFichierPdf, // the title of the dialog that names a PDF file
};

// `t` in `langue` (0 French, 1 English, 2 Spanish; French for any other).
std::string TexteProgramme(Texte t, int langue);

} // namespace zentrafo
