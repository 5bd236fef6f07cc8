#pragma once
// The per-user settings of the program: application "Zentrafo", section "data".
// Keys: "langue", "ChImage", "reduit", "pseudo", "mdp", "FirstUse".
#include <functional>
#include <string>
#include <string_view>

#include "platform/settings.h"

namespace zentrafo {

class UserSettings {
public:
    static constexpr std::string_view kApplication = "Zentrafo";
    static constexpr std::string_view kSection = "data";

    // The store under the user's configuration folder.
    UserSettings();
    explicit UserSettings(platform::Settings store);

    // The stored value; `def` when the key is missing. Stored empty reads as empty.
    std::string get(std::string_view key, std::string_view def = {}) const;
    // The program goes on whatever happens; the result is for those who care.
    bool set(std::string_view key, std::string_view value);

    const platform::Settings& store() const { return store_; }

    // Called at the first setting of the run that could not be kept, and only then: the
    // user hears once why, not at every click.
    std::function<void()> siNonGardes;
    // At the start: where no setting can be kept this run, says so now, and only now.
    void annonceSiNonGardes();

private:
    void signale();
    platform::Settings store_;
    bool signale_ = false;
};

} // namespace zentrafo
