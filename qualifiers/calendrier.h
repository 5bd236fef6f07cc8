#pragma once
// Counters shared by the group stage and the qualifying competition. Each user sets
// the counter before it reads it; neither keeps a value across the other.
#include <cstdint>

namespace zentrafo {

struct Calendrier {
    int16_t NbMatchsJoues = 0;
    int16_t NbMatchsElim = 0;
};

} // namespace zentrafo
