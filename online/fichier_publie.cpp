#include "online/fichier_publie.h"

#include <sys/stat.h>

#include <cstdio>
#include <string_view>
#include <unistd.h>

#include "platform/files.h"
#include "platform/ini.h"

namespace zentrafo {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

// What a web page, an error page or a sign-in page cannot pass for: a first byte that is
// not markup, and the four team names of each group that every saved forecast holds.
// That it arrived whole, its transfer has already told (its length or its last chunk):
// a file edited by hand may well end without a line end.
bool EstResultats(std::string_view body) {
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    while (!body.empty() && isSpace(body.front())) body.remove_prefix(1);
    if (body.empty() || body.front() == '<') return false;
    const platform::IniFile doc = platform::IniFile::parse(body);
    for (char g = 'A'; g <= 'F'; ++g)
        for (char k = '1'; k <= '4'; ++k)
            if (!doc.get(std::string("Equip") + g, std::string(1, k))) return false;
    return true;
}

bool RemplaceFichier(std::string_view contenu, const std::string& fichier, const std::string& sauvegarde) {
    // The save's own writer: the user confirmed the replacement, so a forecast made
    // read-only is replaced too and stays read-only; a link stays a link, and no moment
    // shows half a file. The backup is a second safety only: a folder closed to new files
    // has none, and there the forecast is rewritten in place like any save. Nor is there one
    // where another account's file stands at its name: the user's content never goes into a
    // file someone else may read.
    bool missing = false;
    const auto old = platform::readWholeFile(fichier, &missing);
    if (!old && !missing) return false; // the read says why
    // Only the backup made here goes: whatever else has that name is not the program's.
    const bool backedUp = old && platform::writeWholeFile(sauvegarde, *old, 0600u, platform::Replace::OwnOnly);
    const bool ok = platform::writeWholeFile(fichier, contenu, std::nullopt, platform::Replace::EvenReadOnly);
    if (backedUp) std::remove(sauvegarde.c_str());
    return ok;
}

bool RestaureFichier(const std::string& fichier, const std::string& sauvegarde) {
    // Beside a forecast, which no update leaves less than whole, the backup is only an
    // older content that a later start could bring back.
    struct stat st{};
    // A backup the program made, never what another account put at its name.
    if (!platform::isOwnFile(sauvegarde)) return false;
    if (::stat(fichier.c_str(), &st) == 0 && S_ISREG(st.st_mode)) std::remove(sauvegarde.c_str());
    if (exists(fichier) || !exists(sauvegarde)) return false;
    return std::rename(sauvegarde.c_str(), fichier.c_str()) == 0;
}

} // namespace zentrafo
