#pragma once
// The published results file on disk: whether a download is one, and how it takes the
// place of the user's file without a moment where neither file is whole.
#include <string>
#include <string_view>

namespace zentrafo {

// True when `contenu` is not a web page (its first byte past a byte-order mark and
// white space is not "<") and names the four teams of each of the six groups, as every
// forecast the program saves does.
bool EstResultats(std::string_view contenu);

// Puts the accepted download `contenu` in the place of `fichier`, through the save's own
// writer: under the name `fichier` there is at every instant either the whole old file
// or the whole new one, with the old file's permissions (a read-only one too), and a
// link stays a link. The old file is kept as `sauvegarde` while the new one is written,
// where the folder allows it. False when the file could not be written; it is then as
// it was.
bool RemplaceFichier(std::string_view contenu, const std::string& fichier, const std::string& sauvegarde);

// A backup left by an update that was cut short goes back under its name when that
// name is free, and goes when the file is there. True when it was put back.
bool RestaureFichier(const std::string& fichier, const std::string& sauvegarde);

} // namespace zentrafo
