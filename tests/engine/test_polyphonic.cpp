// The engine as the plug-in drives it: notes in, blocks out, control-rate split, polyphony.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "VorlixGenConvert.h"
#include "VorlixGenPolyphonic.h"
#include "VorlixParamID.h"

namespace {

struct Block
{
    std::vector<float> left, right;
};

Block render(VorlixGenPolyphonic& e, long frames)
{
    Block b{std::vector<float>(frames), std::vector<float>(frames)};
    e.processReplacingT<float>(b.left.data(), b.right.data(), 1, frames, true);
    return b;
}

float peak(const std::vector<float>& v)
{
    float p = 0.0f;
    for (float x : v)
        p = std::max(p, std::fabs(x));
    return p;
}

} // namespace

TEST(Polyphonic, NoteSoundsAndReleasesToSilence)
{
    VorlixGenPolyphonic e;
    e.setSampleRate(48000.0f);
    e.voiceBank.Add(true, 60 * 0.083333336f, 1.0f, 0, 0);
    Block b = render(e, 4800);
    EXPECT_GT(peak(b.left), 0.01f);
    EXPECT_EQ(e.activeVoiceCount(), 1);
    e.voiceBank.Release(60 * 0.083333336f, 0);
    render(e, 48000); // release 0.2 s
    EXPECT_EQ(e.activeVoiceCount(), 0);
    b = render(e, 256);
    EXPECT_EQ(peak(b.left), 0.0f);
    EXPECT_EQ(peak(b.right), 0.0f);
}
