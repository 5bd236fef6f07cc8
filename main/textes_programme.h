#pragma once
// The program's own texts: those no language file carries (the language files hold the
// captions of the controls and the MSG table), in the window's three languages.
#include <initializer_list>
#include <string>
#include <string_view>

namespace zentrafo {

enum class Texte {
    TitreFichierPdf, // the title of the dialog that names a PDF file
    // What a failed save was to write, as the opening of its message.
    PronosticNonEnregistre,
    QualificationsNonEnregistrees,
    InformationsNonEnregistrees,
    ResultatsNonEnregistres,
    // %1 one of the openings above, %2 the file, %3 the cause below, %4 the button's caption.
    EchecSauvegarde,
    // The same, when another program holds the file (%3 unused).
    EchecFichierUtilise,
    // The same, when the old content could not be kept meanwhile in the settings folder.
    EchecCopie,
    // A download the disk did not take: %1 the folder it went to, %2 the button's caption,
    // %3 the cause below.
    TelechargementNonEnregistre,
    // A setting not kept: %1 the cause below.
    ReglagesNonGardes,
    // A file that is there but could not be read: %1 the file, %2 the cause below.
    LectureImpossible,
    // Causes, in the order of platform::Why: %1 the folder at fault.
    CauseInconnue,
    CauseProtection,
    CausePlein,
    CauseDossierPartage,
    CauseAutreCompte,
    CauseAdministrateur,
    // %1 the file
    CauseFichierProtege,
    CauseLectureProtegee,
    CauseTropGrand,
    CausePasUnFichier,
    CauseLienAutreCompte,
    CauseDossierAbsent, // %1 the folder
};

// `t` in `langue` (0 French, 1 English, 2 Spanish; French for any other), each "%1" to
// "%9" replaced by the value of that rank.
std::string TexteProgramme(Texte t, int langue, std::initializer_list<std::string_view> valeurs = {});

// `texte` with its blanks made non-breaking: a button's caption quoted in a message stays on
// one line.
std::string SansCoupure(std::string_view texte);

} // namespace zentrafo
