#include "main/user_settings.h"

namespace zentrafo {

UserSettings::UserSettings() : store_(kApplication) {}

UserSettings::UserSettings(platform::Settings store) : store_(std::move(store)) {}

std::string UserSettings::get(std::string_view key, std::string_view def) const {
    return store_.get(kSection, key, def);
}

bool UserSettings::set(std::string_view key, std::string_view value) {
    if (store_.set(kSection, key, value)) return true;
    if (!signale_ && siNonGardes) {
        signale_ = true;
        siNonGardes();
    }
    return false;
}

} // namespace zentrafo
