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
    s.folder_ = OwnFolder(std::move(folder));
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

IniFile Settings::read(bool* readable) const {
    bool missing = false;
    const auto bytes = readWholeFile(folder_.at(kFile), &missing, &folder_);
    if (readable) *readable = bytes || missing;
    IniFile doc = bytes ? IniFile::parse(*bytes) : IniFile{};
    for (const auto& [section, key, value] : unkept_) doc.set(section, key, value);
    return doc;
}

std::string Settings::get(std::string_view section, std::string_view key, std::string_view def) const {
    auto v = read().get(section, key);
    return v ? std::move(*v) : std::string(def);
}

bool Settings::keepable() const {
    return folder_.own() || io::failedFor(SaveFailure::Folder, filePath(), folder_, 0);
}

bool Settings::set(std::string_view section, std::string_view key, std::string_view value) {
    bool readable = false;
    IniFile doc = read(&readable);
    // Start-up stores the language it has just read; rewriting and flushing the same
    // file on every launch would only cost time. Values the file does not hold yet are
    // written with any set that can.
    if (unkept_.empty() && doc.get(section, key) == value) return true;
    unkept_.push_back({std::string(section), std::string(key), std::string(value)});
    doc.set(section, key, value);
    if (!keepable()) return false;
    if (!readable) return false;
    // The folder is the user's own: root's file there, left by a run under sudo, is the
    // user's to replace.
    if (!writeWholeFile(folder_.at(kFile), doc.serialize(), 0600u, Replace::EvenReadOnly)) return false;
    unkept_.clear();
    return true;
}

} // namespace platform
