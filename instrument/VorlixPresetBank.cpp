// Program value rule and the engine-only program load.
#include "VorlixPresetBank.h"

#include "VorlixEngineOps.h"

namespace VorlixPresetBank {

float programValue (int program, int id)
{
    if (program < 0 || program >= num_programs || id < 0 || id >= kNumParams)
        return 0.0f;
    // The rows' own level column predates the fixed program level and is not what they sound at.
    if (id == kOutputLevel)
        return kProgramLevel;
    const float* row = programs[program];
    // The count is stored as a float; guard the conversion so that a damaged row cannot make it UB.
    const float countValue = row[0];
    const int count = (countValue >= 0.0f && countValue <= static_cast<float> (num_params - 1))
                          ? static_cast<int> (countValue)
                          : 0;
    if (id >= count)
        return 0.0f;
    const float v = row[1 + id];
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

const char* programName (int index)
{
    if (index < 0 || index >= num_programs || !programnames[index])
        return "";
    return programnames[index];
}

namespace {
struct EngineTarget
{
    VorlixGenPolyphonic& engine;
    void setParam (int index, float plain) { engine.setParam (index, plain); }
    void setProgramName (int program) { VorlixEngineOps::setProgramName (engine, program); }
};
} // namespace

void loadProgram (VorlixGenPolyphonic& engine, int index)
{
    EngineTarget target {engine};
    loadProgramInto (target, index);
}

} // namespace VorlixPresetBank
