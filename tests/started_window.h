#pragma once
// A started main window with nothing loaded, and the user's way of entering a match.
#include <gtest/gtest.h>

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
};
