#pragma once
// The window's languages: French, English and Spanish files of records in the program's
// folder, the flags that switch between them and the message of the day.
//
// A language file is read line by line, each line whole (a line ends at CR, CR LF or LF;
// the bound on the file's size bounds a line); a line that is not valid UTF-8 is read as
// Windows-1252. Each line is split at every "\" into fields.
// - "MSG\text\n": MSG(n) := text, n read as a number and rounded half to even; a number
//   outside 0 to 100 changes nothing. A record without a number uses the number of the
//   last one that had one (0 when none did).
// - any other line, "name\caption\text\tooltip\index": every control of that exact name
//   (or only the element whose index equals the index field, when it is not empty) gets
//   the caption, text and tooltip it has a property for. A record without an index
//   field uses the last one given: when that was not empty, the record changes nothing.
#include <array>
#include <string>
#include <string_view>

#include "forms/control.h"

namespace forms {
class Form;
}

namespace zentrafo {

class Marlix;

// Reads the language file named by `fichier` ("langFr.txt") in the program's folder and
// applies it to `fenetre`, then puts the texts no language file can set. A file that
// cannot be read shows "Fichier absent." and changes nothing.
void ChargeLangue(Marlix& w, std::string_view fichier, forms::Form& fenetre);
// The records of a file already read (bytes as on disk).
void AppliqueLangue(Marlix& w, std::string_view contenu, forms::Form& fenetre);

class Langage {
public:
    explicit Langage(Marlix& w) : w_(w) {}
    // The three flags, the message of the day and its marker.
    void design();

    // Applies language 0 (French), 1 (English) or 2 (Spanish): its file, the message
    // of the day of the tournament file loaded last, and the setting "langue".
    void lang_Click(int index);
    // The message of the day in Label10, with its marker shown when there is one.
    void AfficheMessage(const std::string& message);

    static constexpr std::array<std::string_view, 3> kFichiers{"langFr.txt", "langEn.txt", "langSp.txt"};
    static constexpr std::array<std::string_view, 3> kDrapeaux{"flag_fr", "flag_en", "flag_sp"};

    std::array<forms::Control*, 3> lang{};
    forms::Control* Label10 = nullptr;
    forms::Control* Shape3 = nullptr;

private:
    Marlix& w_;
};

} // namespace zentrafo
