#include "panels/placement.h"

#include "panels/host_values.h"

namespace panels {

namespace {

int read(lw::Control* control, int tag) {
  control->get(control, tag, &intValue);
  return intValue.intv.value;
}

void moveTo(lw::Control* control, int x, int y) {
  intValue.intv.value = x;
  control->set(control, lw::kCtlX, &intValue);
  intValue.intv.value = y;
  control->set(control, lw::kCtlY, &intValue);
}

}  // namespace

bool placeRightOf(lw::Control* anchor, lw::Control* control, int gap) {
  if (anchor == nullptr || control == nullptr) return false;
  const int x = read(anchor, lw::kCtlX);
  const int w = read(anchor, lw::kCtlW);
  const int y = read(anchor, lw::kCtlY);
  moveTo(control, x + w + gap, y);
  return true;
}

bool placeBelow(lw::Control* anchor, lw::Control* control, int gap) {
  if (anchor == nullptr || control == nullptr) return false;
  const int y = read(anchor, lw::kCtlY);
  const int h = read(anchor, lw::kCtlH);
  const int x = read(control, lw::kCtlX);
  moveTo(control, x, y + h + gap - 12);
  return true;
}

bool alignRightEdge(lw::PanelFuncs* services, lw::Panel* panel,
                    lw::Control* control, int offset) {
  if (services == nullptr || panel == nullptr || control == nullptr)
    return false;
  const int y = read(control, lw::kCtlY);
  const int w = read(control, lw::kCtlW);
  services->get(panel, lw::kPanW, &intValue.intv.value);
  moveTo(control, intValue.intv.value - (w + offset), y);
  return true;
}

}  // namespace panels
