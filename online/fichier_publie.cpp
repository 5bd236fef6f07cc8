#include "online/fichier_publie.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "platform/files.h"
#include "platform/ini.h"

namespace zentrafo {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

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

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool syncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool syncFolder(const std::string& path) { return syncPath(folderOf(path), O_RDONLY | O_DIRECTORY); }

bool exists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

// A whole copy of `from` under `to`, flushed, or nothing under `to`.
bool copyWhole(const std::string& from, const std::string& to) {
    const auto bytes = platform::readWholeFile(from);
    if (!bytes) return false;
    const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes->size()) {
        const ssize_t n = ::write(fd, bytes->data() + done, bytes->size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) std::remove(to.c_str());
    return ok;
}

} // namespace

bool EstFichierTournoi(const std::string& path, long long tailleMax) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 || st.st_size > tailleMax)
        return false;
    const auto bytes = platform::readWholeFile(path);
    return bytes && EstResultats(*bytes);
}

bool RemplaceFichier(const std::string& recu, const std::string& fichier, const std::string& sauvegarde) {
    struct stat old{};
    const bool hadFile = ::stat(fichier.c_str(), &old) == 0;
    // A rename replaces a file whatever its mode: a forecast the user made read-only stays
    // as it is, and a replaced one keeps the permissions the user gave it.
    if (hadFile && (::faccessat(AT_FDCWD, fichier.c_str(), W_OK, AT_EACCESS) != 0 ||
                    ::chmod(recu.c_str(), old.st_mode & 07777) != 0))
        return false;
    if (!syncPath(recu, O_RDONLY)) return false;
    if (hadFile) {
        // The backup is made under a temporary name and renamed, so a stale backup is
        // replaced in one step and a backup present is always whole.
        const std::string partial = sauvegarde + ".tmp";
        std::remove(partial.c_str());
        if (::link(fichier.c_str(), partial.c_str()) != 0 && !copyWhole(fichier, partial)) return false;
        if (std::rename(partial.c_str(), sauvegarde.c_str()) != 0) {
            std::remove(partial.c_str());
            return false;
        }
        syncFolder(sauvegarde);
    }
    if (std::rename(recu.c_str(), fichier.c_str()) != 0) {
        if (hadFile) std::remove(sauvegarde.c_str());
        return false;
    }
    syncFolder(fichier);
    if (hadFile) {
        std::remove(sauvegarde.c_str());
        syncFolder(sauvegarde);
    }
    return true;
}

bool RestaureFichier(const std::string& fichier, const std::string& sauvegarde) {
    if (exists(fichier) || !exists(sauvegarde)) return false;
    if (std::rename(sauvegarde.c_str(), fichier.c_str()) != 0) return false;
    syncFolder(fichier);
    return true;
}

} // namespace zentrafo
