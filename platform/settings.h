#pragma once
// Per-user settings: application, section and key, kept as an INI file
// "$XDG_CONFIG_HOME/<application>/settings.ini" ("$HOME/.config" when XDG_CONFIG_HOME is
// unset or not an absolute path). The folder is created readable by the user only (0700),
// when it is first judged (platform/trust.h), and the file is always 0600: it holds the
// contest password as typed.
//
// Every get reads the file, and every set that changes it rewrites it atomically (a value
// the file already holds is not written again), so a value set is seen by the next get at
// once. A value that could not be kept lasts for the run: gets see it, and every later set
// that can write writes it too. Both go through the folder the start judged: a folder
// deleted meanwhile keeps nothing more. The file follows the rules of platform/ini.h
// (names match without regard to case, values of one line, at most 1023 characters).
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/trust.h"

namespace platform {

class IniFile;

class Settings {
public:
    explicit Settings(std::string_view application);
    // Settings kept in `folder`/settings.ini, whatever the environment says.
    static Settings inFolder(std::string folder);

    // The stored value; `def` when the key, its section or the file is missing. A key
    // stored with an empty value reads as the empty text, not as `def`.
    std::string get(std::string_view section, std::string_view key, std::string_view def = "") const;
    // Creates or replaces the value, creating the file when missing, only in a folder of
    // the user's own (platform/trust.h). False when it could not be stored, the file then as
    // it was: lastSaveFailure() names the folder at fault, and why.
    bool set(std::string_view section, std::string_view key, std::string_view value);
    // Whether settings can be kept in the folder at all, judged once; false with
    // lastSaveFailure() naming the folder at fault, and why.
    bool keepable() const;

    const std::string& folder() const { return folder_.path(); }
    const OwnFolder& place() const { return folder_; }
    static constexpr const char* kFile = "settings.ini";
    std::string filePath() const { return folder_.path() + "/" + kFile; }

    // The folder for `application` from the environment, as the constructor uses it.
    static std::string folderFor(std::string_view application);

private:
    Settings() = default;
    // The file as stored, with the values this run could not keep.
    IniFile read(bool* readable = nullptr) const;
    OwnFolder folder_;
    std::vector<std::array<std::string, 3>> unkept_; // section, key, value
};

} // namespace platform
