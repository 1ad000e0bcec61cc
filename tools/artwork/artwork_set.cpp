// Which drawing makes which bitmap.
#include "artwork_set.h"

#include "knobs.h"
#include "panel.h"
#include "switches.h"

namespace artwork {

std::vector<DrawnImage> drawEditorImages(int scale) {
    std::vector<DrawnImage> items;
    items.push_back({128, drawPanel(scale)});
    items.push_back({131, drawKnobStrip(KnobStyle::Standard, scale)});
    items.push_back({132, drawKnobStrip(KnobStyle::Mix, scale)});
    items.push_back({133, drawKnobStrip(KnobStyle::Time, scale)});
    items.push_back({134, drawKnobStrip(KnobStyle::Bipolar, scale)});
    items.push_back({137, drawKnobStrip(KnobStyle::ShapeOsc2, scale)});
    items.push_back({139, drawKnobStrip(KnobStyle::ShapeOsc1, scale)});
    items.push_back({141, drawSlideSwitch(scale)});
    items.push_back({142, drawLedSwitch(scale)});
    items.push_back({143, drawAbout(scale)});
    items.push_back({148, drawSlideSelector(scale)});
    items.push_back({149, drawSegmentSelector(scale)});
    items.push_back({150, drawSquareToggle(scale)});
    items.push_back({151, drawRoundToggle(scale)});
    items.push_back({152, drawKickButton(KickIcon::ArrowRight, scale)});
    items.push_back({153, drawKickButton(KickIcon::ArrowLeft, scale)});
    items.push_back({154, drawKnobStrip(KnobStyle::Level, scale)});
    items.push_back({155, drawPresetBox(scale)});
    items.push_back({159, drawKickButton(KickIcon::ArrowUp, scale)});
    items.push_back({160, drawKickButton(KickIcon::ArrowDown, scale)});
    items.push_back({162, drawOctaveToggle(scale)});
    return items;
}

}  // namespace artwork
