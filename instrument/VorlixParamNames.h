// Enumerator names of every VorlixParamID, indexed by ID; host titles are built from them.
#pragma once

inline constexpr int cVorlixParamNameCount = 41;

extern const char* const cVorlixParamNames[cVorlixParamNameCount];
