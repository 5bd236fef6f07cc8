#pragma once
// The one way the program reaches its INI files (the tournament file, the qualifying
// file): a file is named by its stem alone and lies in the program's folder.
//
// A stem that could name anything outside that folder (empty, ".", "..", holding a "/"
// or a NUL byte) names no file: reading it gives the default, writing it fails.
#include <string>
#include <string_view>

#include "main/textes_programme.h"
#include "platform/ini.h"
#include "platform/platform.h"

namespace zentrafo {

// The program's folder, without a trailing "/" ("." when the platform names none).
std::string DossierProgramme(platform::Platform& p);

// The path of the file `nom` in the program's folder.
std::string CheminProgramme(platform::Platform& p, std::string_view nom);

// Program's folder + "/" + stem + ".ini"; empty when the stem names no file.
std::string CheminIni(platform::Platform& p, std::string_view stem);

// One value: the stored value when the key exists (empty when stored empty, whatever
// the default), else the default. A missing or unreadable file gives the default.
std::string LireIni(platform::Platform& p, std::string_view stem, std::string_view section, std::string_view key,
                    std::string_view def = {});

// One value written through an atomic rewrite of the whole file. False when it could
// not be written; the file is then as it was.
bool EcrireIni(platform::Platform& p, std::string_view stem, std::string_view section, std::string_view key,
               std::string_view value);

// Readers of many keys read the file once and ask the document, with the same result
// rules as LireIni.
platform::IniFile LitFichierIni(platform::Platform& p, std::string_view stem);
// The same, for the file whose content the window shows: where it is there but cannot be
// read, a message in `langue` names it and why, and says that it is left as it is.
platform::IniFile LitFichierAffiche(platform::Platform& p, int langue, std::string_view stem);
std::string LireIni(const platform::IniFile& doc, std::string_view section, std::string_view key,
                    std::string_view def = {});

// Writers of many keys group them into one atomic rewrite (IniBatch::commit).
platform::IniBatch LotIni(platform::Platform& p, std::string_view stem);

// The one message of every save that failed, in `langue`: `quoi` (what was to be written)
// could not be written into the file of `stem`; the message names the file, says what the
// window shows is kept, why the save failed and which folder is at fault, and that
// `bouton` (the button's caption) may be pressed again once that is fixed.
void SignaleEchecSauvegarde(platform::Platform& p, int langue, std::string_view stem, Texte quoi,
                            std::string_view bouton);

// The message of a download the disk did not take whole, into `fichier`, in `langue`: it
// names the folder, says the forecast is as it was, and why, as the save of the download said.
void SignaleTelechargementNonEnregistre(platform::Platform& p, int langue, const std::string& fichier,
                                        std::string_view bouton);

// The message of a setting that could not be kept, in `langue`: why, naming the folder at
// fault and what would make it safe.
void SignaleReglagesNonGardes(platform::Platform& p, int langue);

} // namespace zentrafo
