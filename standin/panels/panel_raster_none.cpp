// Windows builds have no cairo, and a picture without its text would show
// nothing worth looking at: this raster keeps only its size, which the host
// reads to know when a panel has changed size. Everything the module asks
// of the panel services still happens and is recorded.
#include <algorithm>

#include "standin/panels/panel_raster.h"

namespace standin {

struct PanelRaster::Impl {
  int width = 1;
  int height = 1;
};

PanelRaster::PanelRaster(int width, int height, Rgb)
    : impl_(std::make_unique<Impl>()) {
  impl_->width = std::max(1, width);
  impl_->height = std::max(1, height);
}

PanelRaster::~PanelRaster() = default;

int PanelRaster::width() const { return impl_->width; }
int PanelRaster::height() const { return impl_->height; }

void PanelRaster::fillBox(Rgb, double, double, double, double) {}
void PanelRaster::line(Rgb, double, double, double, double, double) {}
void PanelRaster::setPixel(int, int, int, int, int) {}
void PanelRaster::text(const std::vector<std::string>&, double, Rgb, double,
                       double) {}
void PanelRaster::clip(double, double, double, double) {}
void PanelRaster::unclip() {}

bool PanelRaster::canWritePng() { return false; }

bool PanelRaster::writePng(const std::string&, std::string* why) const {
  if (why != nullptr) *why = "PNG snapshots are not made on Windows";
  return false;
}

void releasePanelRasterCaches() {}

}  // namespace standin
