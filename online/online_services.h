#pragma once
// The online services as far as the rest of the window needs them until they are
// built in full: the settings and publisher panel with the contest identity, the send
// panel that the save button unlocks, and the link label that the tournament file fills.
#include <array>
#include <string>

#include "forms/control.h"

namespace zentrafo {

class Marlix;

// Base address of the author's server, without a trailing "/": the built-in one, or
// the value of the environment variable ZENTRAFO_SERVER when it is set and not empty.
std::string AdresseServeur();

class OnlineServices {
public:
    explicit OnlineServices(Marlix& w) : w_(w) {}
    void design();

    // Settings and publisher panel; hidden until opened.
    forms::Control* Frame20 = nullptr;
    std::array<forms::Control*, 2> Text2{}; // 0 password, 1 pseudonym
    forms::Control* ChChargeImage = nullptr; // 1 ticked: no download at start-up

    // Send panel: the status shape, its notice and the send button, which the save
    // button unlocks once published results were downloaded and saved.
    forms::Control* Shape9 = nullptr;
    forms::Control* Label17_6 = nullptr;
    forms::Control* Command16 = nullptr;

    // The published link: caption and, in its Tag, the address.
    forms::Control* Lablien = nullptr;

    // The contest image: in the settings panel and its copy on the main view.
    forms::Control* Image13 = nullptr;
    forms::Control* Image14 = nullptr;

    // Downloads the contest image afresh; a failed download leaves the pictures as they were.
    void ChargeImage();

    // Colour of Shape9 until the send button is unlocked.
    static constexpr uint32_t kShapeLocked = 0x0000FF;
    static constexpr uint32_t kShapeUnlocked = 0x00FF00;

private:
    Marlix& w_;
};

} // namespace zentrafo
