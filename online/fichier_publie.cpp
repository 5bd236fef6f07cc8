#include "online/fichier_publie.h"

#include <sys/stat.h>

#include <cstdio>
#include <string_view>

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
// A saved forecast ends with a line end; a file cut on its way may not.
bool EstResultats(std::string_view body) {
    if (body.empty() || (body.back() != '\n' && body.back() != '\r')) return false;
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
    // The save's own writer: a forecast the user made read-only is refused, a replaced
    // one keeps its permissions, a link stays a link, and no moment shows half a file.
    if (!platform::mayWriteFile(fichier)) return false;
    bool missing = false;
    const auto old = platform::readWholeFile(fichier, &missing);
    if (!old && !missing) return false;
    if (old && !platform::writeWholeFile(sauvegarde, *old, 0600u)) return false;
    const bool ok = platform::writeWholeFile(fichier, contenu);
    std::remove(sauvegarde.c_str());
    return ok;
}

bool RestaureFichier(const std::string& fichier, const std::string& sauvegarde) {
    if (exists(fichier) || !exists(sauvegarde)) return false;
    return std::rename(sauvegarde.c_str(), fichier.c_str()) == 0;
}

} // namespace zentrafo
