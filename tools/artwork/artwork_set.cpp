// Which drawing makes which bitmap.
#include "artwork_set.h"

#include "knobs.h"
#include "panel.h"
#include "switches.h"

namespace artwork {

std::vector<DrawnImage> drawEditorImages() {
    std::vector<DrawnImage> items;
    items.push_back({128, drawPanel()});
    items.push_back({131, drawKnobStrip(KnobStyle::Standard)});
    items.push_back({132, drawKnobStrip(KnobStyle::Mix)});
    items.push_back({133, drawKnobStrip(KnobStyle::Time)});
    items.push_back({134, drawKnobStrip(KnobStyle::Bipolar)});
    items.push_back({137, drawKnobStrip(KnobStyle::ShapeOsc2)});
    items.push_back({139, drawKnobStrip(KnobStyle::ShapeOsc1)});
    items.push_back({141, drawSlideSwitch()});
    items.push_back({142, drawLedSwitch()});
    items.push_back({143, drawAbout()});
    items.push_back({148, drawSlideSelector()});
    items.push_back({149, drawSegmentSelector()});
    items.push_back({150, drawSquareToggle()});
    items.push_back({151, drawRoundToggle()});
    items.push_back({152, drawKickButton(KickIcon::ArrowRight)});
    items.push_back({153, drawKickButton(KickIcon::ArrowLeft)});
    items.push_back({154, drawKnobStrip(KnobStyle::Level)});
    items.push_back({155, drawPresetBox()});
    items.push_back({159, drawKickButton(KickIcon::ArrowUp)});
    items.push_back({160, drawKickButton(KickIcon::ArrowDown)});
    items.push_back({162, drawOctaveToggle()});
    return items;
}

}  // namespace artwork
