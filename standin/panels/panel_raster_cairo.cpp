#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdint>

#include "standin/panels/panel_raster.h"

namespace standin {

namespace {

constexpr const char* kFontFamily = "DejaVu Sans Mono";
constexpr double kFontSize = 11.5;  // DejaVu Sans Mono advances ~7 px here
constexpr int kBaseline = 12;       // from the top of a line

void useColour(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

}  // namespace

struct PanelRaster::Impl {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  int clipDepth = 0;
};

PanelRaster::PanelRaster(int width, int height, Rgb background)
    : impl_(std::make_unique<Impl>()) {
  impl_->surface = cairo_image_surface_create(
      CAIRO_FORMAT_RGB24, std::max(1, width), std::max(1, height));
  impl_->cr = cairo_create(impl_->surface);
  cairo_select_font_face(impl_->cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                         CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(impl_->cr, kFontSize);
  fillBox(background, 0, 0, width, height);
}

PanelRaster::~PanelRaster() {
  cairo_destroy(impl_->cr);
  cairo_surface_destroy(impl_->surface);
}

int PanelRaster::width() const {
  return cairo_image_surface_get_width(impl_->surface);
}

int PanelRaster::height() const {
  return cairo_image_surface_get_height(impl_->surface);
}

void PanelRaster::fillBox(Rgb colour, double x, double y, double w, double h) {
  if (w <= 0 || h <= 0) return;
  useColour(impl_->cr, colour);
  cairo_rectangle(impl_->cr, x, y, w, h);
  cairo_fill(impl_->cr);
}

void PanelRaster::line(Rgb colour, double x0, double y0, double x1, double y1,
                       double lineWidth) {
  useColour(impl_->cr, colour);
  cairo_set_line_width(impl_->cr, lineWidth);
  cairo_move_to(impl_->cr, x0, y0);
  cairo_line_to(impl_->cr, x1, y1);
  cairo_stroke(impl_->cr);
}

void PanelRaster::setPixel(int x, int y, int r, int g, int b) {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return;
  // Written straight into the surface: a picture is 20000 of these, and a
  // one-pixel fill would blend its edges.
  cairo_surface_flush(impl_->surface);
  unsigned char* data = cairo_image_surface_get_data(impl_->surface);
  const int stride = cairo_image_surface_get_stride(impl_->surface);
  auto clampByte = [](int v) {
    return static_cast<std::uint32_t>(std::clamp(v, 0, 255));
  };
  auto* pixel = reinterpret_cast<std::uint32_t*>(data + y * stride + x * 4);
  *pixel = 0xFF000000u | clampByte(r) << 16 | clampByte(g) << 8 | clampByte(b);
  cairo_surface_mark_dirty_rectangle(impl_->surface, x, y, 1, 1);
}

void PanelRaster::text(const std::vector<std::string>& cells, double advance,
                       Rgb colour, double x, double y) {
  useColour(impl_->cr, colour);
  double left = x;
  for (const std::string& cell : cells) {
    cairo_move_to(impl_->cr, left, y + kBaseline);
    cairo_show_text(impl_->cr, cell.c_str());
    left += advance;
  }
}

void PanelRaster::clip(double x, double y, double w, double h) {
  cairo_save(impl_->cr);
  cairo_rectangle(impl_->cr, x, y, std::max(0.0, w), std::max(0.0, h));
  cairo_clip(impl_->cr);
  ++impl_->clipDepth;
}

void PanelRaster::unclip() {
  // A restore without a save would put the context in an error state that
  // stops all later drawing.
  if (impl_->clipDepth == 0) return;
  cairo_restore(impl_->cr);
  --impl_->clipDepth;
}

bool PanelRaster::canWritePng() { return true; }

bool PanelRaster::writePng(const std::string& file, std::string* why) const {
  const cairo_status_t status =
      cairo_surface_write_to_png(impl_->surface, file.c_str());
  if (status != CAIRO_STATUS_SUCCESS) {
    if (why != nullptr)
      *why = "cannot write " + file + ": " + cairo_status_to_string(status);
    return false;
  }
  return true;
}

void releasePanelRasterCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace standin
