// A small Standard MIDI File reader: formats 0 and 1, running status, tempo changes (or SMPTE
// time), note on and off. Everything else in the file is skipped; malformed or truncated files
// are refused with one line that says what is wrong and where.
#pragma once

#include "tools/render/NoteSequence.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Vorlix::Render {

bool parseMidiFile (const std::uint8_t* data, size_t size, NoteSequence& out, std::string& error);
/** Reads `path` and parses it; errors start with the path. */
bool readMidiFile (const std::string& path, NoteSequence& out, std::string& error);

} // namespace Vorlix::Render
