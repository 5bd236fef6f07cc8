#include "platform/settings.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/ini.h"

namespace platform {

Settings::Settings(std::string_view application) : folder_(folderFor(application)) {}

Settings Settings::inFolder(std::string folder) {
    Settings s;
    s.folder_ = std::move(folder);
    return s;
}

std::string Settings::folderFor(std::string_view application) {
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // A relative value is to be ignored: it would put the settings wherever the program
    // happened to be started.
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw && pw->pw_dir ? pw->pw_dir : ".";
        }
        base = std::string(home) + "/.config";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/" + std::string(application);
}

std::string Settings::get(std::string_view section, std::string_view key, std::string_view def) const {
    return readIni(filePath(), section, key, def);
}

bool Settings::set(std::string_view section, std::string_view key, std::string_view value) {
    auto doc = IniFile::open(filePath());
    // Start-up stores the language it has just read; rewriting and flushing the same
    // file on every launch, or looking at its folders, would only cost time.
    if (doc && doc->get(section, key) == value) return true;
    // Only where no other account can put a link in the file's place, at any moment.
    if (!makePrivateFolders(folder_) || !isOwnFolder(folder_))
        return io::failedFor(SaveFailure::Folder, filePath(), folder_, errno);
    if (!doc) return io::unreadable(filePath());
    doc->set(section, key, value);
    return doc->saveAtomic(filePath(), 0600);
}

} // namespace platform
