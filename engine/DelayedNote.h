// A note-on or note-off scheduled a number of samples ahead.
#pragma once

#include <cstdint>

struct DelayedNote
{
    float cv = 0.0f;
    float velocity = 0.0f;
    int32_t delay = 0; // samples still to wait
    uint32_t stamp = 0;
    bool flag = false; // note-on argument, passed on to Add
    bool isNoteOn = false;
};
