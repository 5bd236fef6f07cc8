#include "main/user_settings.h"

namespace zentrafo {

UserSettings::UserSettings() : store_(kApplication) {}

UserSettings::UserSettings(platform::Settings store) : store_(std::move(store)) {}

std::string UserSettings::get(std::string_view key, std::string_view def) const {
    return store_.get(kSection, key, def);
}

bool UserSettings::set(std::string_view key, std::string_view value) {
    if (store_.set(kSection, key, value)) return true;
    signale();
    return false;
}

void UserSettings::annonceSiNonGardes() {
    if (!store_.keepable()) signale();
}

void UserSettings::signale() {
    if (!signale_ && siNonGardes) {
        signale_ = true;
        siNonGardes();
    }
}

} // namespace zentrafo
