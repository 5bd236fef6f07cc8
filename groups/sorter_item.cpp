#include "groups/sorter_item.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/text.h"

namespace zentrafo {

namespace {

// The key is written for its text order to be its numeric order whatever score a box
// accepts. From 0 to below 100 it is "00.0000". Above, "99", its count of integer digits
// in three figures, then its digits: after every "00.0000" (a digit follows "99" where
// they have "."), a longer number after a shorter one. Below 0, "-", then 999 less that
// count and every digit as 9 less itself: before every other key, the farthest below
// first.
std::string keyText(double v) {
    const double shown = std::round(v * 1e4) / 1e4;
    if (shown >= 0 && shown < 100) return platform::formatFixed(v, 2, 4);
    char digits[400];
    std::snprintf(digits, sizeof digits, "%.4f", std::fabs(v));
    std::string text = digits;
    const int count = static_cast<int>(text.find('.'));
    if (v > 0) return "99" + platform::formatFixed(count, 3, 0) + text;
    for (char& c : text)
        if (c != '.') c = static_cast<char>('9' - (c - '0'));
    return "-" + platform::formatFixed(999 - count, 3, 0) + text;
}

// The number a text written by keyText() begins with.
double keyValue(std::string_view item) {
    const auto part = [&](size_t from, size_t length) { return item.substr(std::min(from, item.size()), length); };
    // Integer digits, a point and four decimals, from the count written at `at`.
    const auto digits = [&](size_t at, double count) {
        return std::string(part(at + 3, static_cast<size_t>(std::clamp(count, 0.0, 400.0)) + 5));
    };
    if (!item.empty() && item[0] == '-') {
        std::string shown = digits(1, 999 - platform::val(part(1, 3)));
        for (char& c : shown)
            if (c >= '0' && c <= '9') c = static_cast<char>('9' - (c - '0'));
        return -platform::val(shown);
    }
    if (item.size() > 5 && item.substr(0, 2) == "99" && item[2] != '.') return platform::val(digits(2, platform::val(part(2, 3))));
    return platform::val(part(0, 7));
}

} // namespace

std::string groupItem(double keyPlus10, int slot) { return keyText(keyPlus10) + "x " + std::to_string(slot); }

std::string bestThirdItem(std::string_view groupItem, char letter, std::string_view name) {
    return std::string(groupItem).append("|").append(1, letter).append("|").append(name);
}

std::string seedItem(std::string_view groupItem, std::string_view name) {
    return std::string(groupItem).append("x ").append(name);
}

std::string placingItem(double score, std::string_view name) {
    return platform::formatFixed(score, 4, 5).append(" X ").append(name);
}

SorterItem readItem(ItemForm form, std::string_view text) {
    SorterItem item;
    if (form == ItemForm::Placing) {
        const size_t x = text.find('X');
        item.key = platform::val(text.substr(0, x));
        if (x != std::string_view::npos && x + 2 < text.size()) item.name = text.substr(x + 2);
        return item;
    }
    item.key = keyValue(text);
    std::string_view head = text;
    if (form == ItemForm::BestThird) {
        const auto fields = platform::split(text, '|');
        head = fields[0];
        if (fields.size() > 1) item.letter = fields[1];
        if (fields.size() > 2) item.name = fields[2];
    } else if (form == ItemForm::Seed) {
        const size_t x = text.find('x');
        head = text.substr(0, x == std::string_view::npos ? text.size() : x + 3);
        if (x != std::string_view::npos && x + 5 < text.size()) item.name = text.substr(x + 5);
    }
    // The slot is the number after the key's "x ".
    const size_t x = head.find('x');
    const double slot = x == std::string_view::npos ? 0 : platform::val(head.substr(std::min(x + 2, head.size())));
    item.slot = slot >= 1 && slot < 5 ? static_cast<int>(slot) : 0;
    return item;
}

} // namespace zentrafo
