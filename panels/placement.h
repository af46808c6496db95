// Moving one control relative to another, or to the panel's right edge,
// through the host's own get and set calls and in the host's panel units.
// Each sets X and then Y; the coordinate it keeps is set to its current
// value. Each gives false and calls nothing when an argument is missing.
#pragma once

#include "module/host.h"

namespace panels {

// X = anchor X + anchor W + gap; Y = anchor Y.
bool placeRightOf(lw::Control* anchor, lw::Control* control, int gap);

// X unchanged; Y = anchor Y + anchor H + gap - 12. The host's H includes
// the space below a control, hence the fixed pull upwards.
bool placeBelow(lw::Control* anchor, lw::Control* control, int gap);

// X = panel width - (control W + offset); Y unchanged.
bool alignRightEdge(lw::PanelFuncs* services, lw::Panel* panel,
                    lw::Control* control, int offset);

}  // namespace panels
