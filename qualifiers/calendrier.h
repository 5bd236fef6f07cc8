#pragma once
// Counters shared by the group stage and the qualifying competition. Each user sets
// the counter before it reads it; neither keeps a value across the other. And the
// qualifying calendar: one record per fixture, "dd/mm/yyyy|home|away|group".
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zentrafo {

// The 260 fixtures of the qualifying groups, in calendar order.
extern const std::array<std::string_view, 260> kMatchsElim;

struct Calendrier {
    int16_t NbMatchsJoues = 0;
    int16_t NbMatchsElim = 0;
    // Filled once by ChargeCalendrier; element 260 stays empty.
    std::array<std::string, 261> MatchsElim;

    void ChargeCalendrier() {
        for (size_t i = 0; i < kMatchsElim.size(); ++i) MatchsElim[i] = kMatchsElim[i];
    }
};

// Adds one to a counter that stops at its largest value rather than wrapping.
inline void compte(int16_t& n) {
    if (n < INT16_MAX) ++n;
}

} // namespace zentrafo
