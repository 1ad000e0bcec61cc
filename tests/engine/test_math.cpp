// Exponential estimates, pitch conversions and shaping curves at the values the tuning relies on.
#include <gtest/gtest.h>

#include "SynMath.h"

using syn::Math;

TEST(Math, PitchConversions)
{
    EXPECT_FLOAT_EQ(Math::cv2freq(0.0f), 8.1488457f);
    EXPECT_FLOAT_EQ(Math::cv2freq(5.75f), 439.99466f);
    EXPECT_FLOAT_EQ(Math::note2freq(69.0f), Math::cv2freq(69.0f * 0.083333336f));
    EXPECT_FLOAT_EQ(Math::cv2freqClamped(9.0f), 4186.0083f);
    EXPECT_FLOAT_EQ(Math::cv2freqClamped(12.0f), 4186.0083f);
    EXPECT_EQ(Math::freq2note(440.0f), 69.0f);
    EXPECT_EQ(Math::freq2note(440.0), 69.0);
}
