#pragma once
// The main window: its form, its window variables and the subsystems that design
// and drive its controls. Everything the window shows is held by its controls.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "forms/form.h"
#include "groups/group_stage.h"
#include "knockout/knockout_stage.h"
#include "knockout/match_info.h"
#include "main/demarrage.h"
#include "main/langage.h"
#include "main/tournament_file.h"
#include "main/user_settings.h"
#include "main/views.h"
#include "online/online_services.h"
#include "platform/platform.h"
#include "qualifiers/calendrier.h"
#include "qualifiers/qualifiers_stage.h"
#include "reports/reports.h"

namespace zentrafo {

class Marlix {
public:
    // Settings from the user's configuration folder.
    explicit Marlix(platform::Platform& platform);
    Marlix(platform::Platform& platform, platform::Settings settings);
    Marlix(const Marlix&) = delete;
    Marlix& operator=(const Marlix&) = delete;

    forms::Form form{"Marlix"};
    platform::Platform& platform;

    // Window variables.
    bool ChargementFini = false;
    int LangueCourante = 0;
    bool ResultatsRecus = false;
    uint32_t CouleurNonQualifie = 0;
    uint32_t CouleurVainqueur = 0;

    // Text table of the current language, 0 to 100; empty until a language file is read.
    std::array<std::string, 101> MSG;

    Calendrier calendrier;
    GroupStage groups;
    KnockoutStage knockout;
    Views views;
    QualifiersStage qualifiers;
    OnlineServices online;
    Reports reports;
    TournamentFile fichier;
    Langage langage;
    UserSettings reglages;
    MatchInfo infos;
    Demarrage demarrage;

    // Start-up of the window: everything before it is first shown.
    void Form_Load();
    // The window closes: keeps the display mode and the contest identity.
    void Form_Unload();
    // The user closes the window by its close box: the secondary windows close with it.
    void closeWindow();

private:
    // Every group's figure columns and captions take group A's positions.
    void alignColumns();
};

} // namespace zentrafo
