// What each built-in program is meant to be, read from its name, and the register it is played in
// when the bank is measured or rendered.
#pragma once

#include <string_view>

namespace vorlix_bank {

enum class Category { Init, Bass, Vintage, Fx, Pad, Piano, Lead, Synth, Orch, Drum };

// The category a program name promises ("bass-juno" is a bass); Init for anything unprefixed.
Category categoryOf (std::string_view name);
const char* categoryName (Category c);

// Sustained sounds that must swell in rather than start with a click: the pads and bowed strings.
// Pizzicato strings are plucked and stay out.
bool isSlowAttack (std::string_view name);

// The MIDI pitch a single test note of this program is played at: basses low, leads high, kicks
// at the bottom of the drum map, hats and snares where drum maps put them.
int registerNote (std::string_view name);

} // namespace vorlix_bank
