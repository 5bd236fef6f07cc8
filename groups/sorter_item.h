#pragma once
// The items of the sorted lists that rank teams. A sorted list orders its items as text,
// so an item begins with its number, written for its text order to be its numeric
// order; what follows names the team. The writers below write every such item and
// readItem reads every one, in these forms:
//   Group      "13.0120x 2"           a group's sorter: the key + 10, "x ", the draw slot
//   BestThird  "13.0120x 2|C|Brésil"  the third-placed teams: the third's group item, "|",
//                                      the group letter, "|", the name
//   Seed       "13.0120x 2x Brésil"   the placings' first pass: a team's group item, "x ",
//                                      the name
//   Placing    "0050.01312 X Brésil"  the placings: the score in ten characters, " X ",
//                                      the name
#include <string>
#include <string_view>

namespace zentrafo {

enum class ItemForm { Group, BestThird, Seed, Placing };

// What an item carries; a part its text lacks reads as 0 or empty.
struct SorterItem {
    double key = 0;     // the number the item begins with: a group key + 10, or a score
    int slot = 0;       // the team's draw slot 1 to 4; 0 where the item names none
    std::string letter; // BestThird: the team's group
    std::string name;   // the team's name
};

std::string groupItem(double keyPlus10, int slot);
// These begin with the team's group item as its list holds it (empty while the list
// is), so they sort as the group's list does.
std::string bestThirdItem(std::string_view groupItem, char letter, std::string_view name);
std::string seedItem(std::string_view groupItem, std::string_view name);
std::string placingItem(double score, std::string_view name);

SorterItem readItem(ItemForm form, std::string_view text);

} // namespace zentrafo
