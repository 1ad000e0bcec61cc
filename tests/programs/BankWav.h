// 32-bit float stereo WAV files for the bank's renders: written by the probe, read back from the
// renders that vorlix-render makes through the plug-in bundle.
#pragma once

#include "BankProbe.h"

#include <string>

namespace vorlix_bank {

bool writeWav (const std::string& path, const Render& r);

// Reads a stereo (or mono, duplicated) 32-bit float or 16-bit PCM WAV, walking past any extra
// chunks. False, with `error` set, for anything else.
bool readWav (const std::string& path, Render& r, std::string& error);

} // namespace vorlix_bank
