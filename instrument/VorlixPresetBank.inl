// Template part of VorlixPresetBank.h.
#pragma once

#include "VorlixGenConvert.h"
#include "VorlixParamID.h"

namespace VorlixPresetBank {

template <class Target>
void loadProgramInto (Target& target, int index)
{
    if (index < 0 || index >= num_programs)
        return;
    target.setProgramName (index);
    for (int id = 0; id < kNumParams; ++id)
        target.setParam (id, VorlixGenConvert::convertValue (id, programValue (index, id)));
}

} // namespace VorlixPresetBank
