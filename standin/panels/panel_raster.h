// What the panel host draws a panel into. Coordinates are raster pixels,
// the panel's frame included. One source per platform implements it:
// - panel_raster_cairo.cpp draws with cairo and writes PNG files;
// - panel_raster_none.cpp, for Windows, where cairo is not at hand, keeps
//   only the size: panels work there, nobody can look at them.
// The panel geometry the module sees (text width, line height, control
// boxes) is the host's arithmetic and never asks the raster.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace standin {

struct Rgb {
  int r, g, b;
};

class PanelRaster {
 public:
  // A raster `width` x `height` (each at least 1) filled with `background`.
  PanelRaster(int width, int height, Rgb background);
  ~PanelRaster();
  PanelRaster(const PanelRaster&) = delete;
  PanelRaster& operator=(const PanelRaster&) = delete;

  int width() const;
  int height() const;

  // Nothing is drawn for a box with no width or height.
  void fillBox(Rgb colour, double x, double y, double w, double h);
  void line(Rgb colour, double x0, double y0, double x1, double y1,
            double lineWidth);
  // Components are clamped to 0..255; a pixel outside the raster is
  // dropped.
  void setPixel(int x, int y, int r, int g, int b);
  // One line of text with its top-left at (x, y): the i-th cell (one
  // character, as UTF-8) at x + i * advance, so that the drawn width is
  // what the host's arithmetic says.
  void text(const std::vector<std::string>& cells, double advance, Rgb colour,
            double x, double y);
  // Drawing is limited to the box until the matching unclip; clips nest.
  // An unclip without a clip is ignored.
  void clip(double x, double y, double w, double h);
  void unclip();

  // False, with the reason in *why, when no PNG file was written.
  bool writePng(const std::string& file, std::string* why) const;
  // Whether this platform's rasters can be written as PNG files at all.
  static bool canWritePng();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Gives back what the drawing library keeps between rasters, so that a leak
// checker sees only what the module leaves. Call it only while no raster is
// alive; drawing later starts the library again by itself.
void releasePanelRasterCaches();

}  // namespace standin
