#pragma once
// A started main window with nothing loaded, and the user's way of entering a match.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "main/marlix.h"
#include "platform/fake_platform.h"

struct StartedWindow : ::testing::Test {
    platform::FakePlatform fake;
    zentrafo::Marlix w{fake};

    void SetUp() override { w.Form_Load(); }
    zentrafo::Group& g(char letter) { return w.groups.group(letter); }
    // Types one match: box 2m gets `a`, box 2m+1 gets `b`.
    static void play(zentrafo::Group& grp, int m, const std::string& a, const std::string& b) {
        grp.score[static_cast<size_t>(2 * m)]->setText(a);
        grp.score[static_cast<size_t>(2 * m + 1)]->setText(b);
    }
    void play(char letter, int m, const std::string& a, const std::string& b) { play(g(letter), m, a, b); }
    // Types a whole group, box by box.
    void play(char letter, const std::array<const char*, 12>& scores) {
        for (size_t k = 0; k < 12; ++k) g(letter).score[k]->setText(scores[k]);
    }
    // A complete group won by slot 1 (4 goals), slot 2 second (4), slot 3 third (3), slot 4
    // last (0); its matches pair the slots 1-2, 3-4, 1-3, 4-2, 4-1, 2-3.
    void complete(char letter) { play(letter, {"1", "0", "2", "0", "1", "1", "0", "3", "0", "2", "1", "0"}); }
};
