#include "panels/about_panel.h"

#include <cstdio>

#include "panels/panel_picture.h"

namespace panels {

const char* const kAboutText[] = {
    "<YELLOW>",
    "Spaceball Driver",
    "<VTAB>",
    "<BLACK>",
    "Basic Spaceball Input Device Driver",
    "for Lightwave 3D",
    "<HDIV>",
    "May 12 2002",
    "Vexa SpaceBall plug-in project",
    "<HDIV>",
    "https://vexa-spaceball.example/",
    "spaceball@vexa-spaceball.example",
    nullptr,
};

namespace {

enum class Entry { Divider, Gap, Yellow, Black, Text };

bool sameIgnoringCase(const char* a, const char* b) {
  auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (lower(*a) != lower(*b)) return false;
  }
  return *a == *b;
}

Entry classify(const char* line) {
  if (sameIgnoringCase(line, "<HDIV>")) return Entry::Divider;
  if (sameIgnoringCase(line, "<VTAB>")) return Entry::Gap;
  if (sameIgnoringCase(line, "<YELLOW>")) return Entry::Yellow;
  if (sameIgnoringCase(line, "<BLACK>")) return Entry::Black;
  return Entry::Text;
}

constexpr int kPictureLeft = 3;
constexpr int kPictureTop = 3;
constexpr int kDividerDrop = 8;   // from the top of a divider's slot
constexpr int kDividerExtra = 5;  // a divider's slot is one line and this
constexpr int kPanelExtraHeight = 45;

int getInt(lw::PanelFuncs* services, lw::Panel* panel, int tag) {
  int value = 0;
  services->get(panel, tag, &value);
  return value;
}

void setInt(lw::PanelFuncs* services, lw::Panel* panel, int tag, int value) {
  services->set(panel, tag, &value);
}

}  // namespace

AboutPanel::AboutPanel(lw::PanelFuncs* services, const char* titleWord,
                       const char* const* lines, lw::Panel* parent,
                       bool openAtOnce) noexcept
    : services_(services), parent_(parent), lines_(lines) {
  if (services_ == nullptr) return;
  // A title word of any length is cut to fit rather than overflowing.
  char title[256];
  std::snprintf(title, sizeof title, "About %s",
                titleWord != nullptr ? titleWord : "");
  panel_ = services_->create(title, services_);
  // Without a panel there is nothing to lay out, draw or run.
  if (panel_ == nullptr) return;

  const int h = lineHeight();
  int sum = 0;
  int widest = 0;
  for (const char* const* line = lines_; line != nullptr && *line != nullptr;
       ++line) {
    switch (classify(*line)) {
      case Entry::Divider:
        sum += h + kDividerExtra;
        break;
      case Entry::Gap:
        sum += h;
        break;
      case Entry::Yellow:
      case Entry::Black:
        break;
      case Entry::Text: {
        const int w = textWidth(*line);
        if (w > widest) widest = w;
        sum += h;
        break;
      }
    }
  }

  // Short text is centred beside the picture; text taller than the picture
  // starts near the top and the panel grows to hold it.
  const int pictureHeight = picture_.height();
  int contentHeight;
  if (sum + 10 < pictureHeight) {
    textTop_ = (pictureHeight - sum - 4) / 2;
    contentHeight = pictureHeight;
  } else {
    textTop_ = 10;
    contentHeight = sum + 5;
  }
  setInt(services_, panel_, lw::kPanW, picture_.width() + widest + 20);
  setInt(services_, panel_, lw::kPanH, contentHeight + kPanelExtraHeight);

  services_->set(panel_, lw::kPanUserData, this);
  services_->set(panel_, lw::kPanDrawFunc,
                 reinterpret_cast<void*>(&drawAboutPanel));
  services_->set(panel_, lw::kPanKeyFunc,
                 reinterpret_cast<void*>(&aboutPanelKey));

  if (openAtOnce) openCentred();
}

AboutPanel::~AboutPanel() {
  if (panel_ != nullptr) services_->destroy(panel_);
}

int AboutPanel::lineHeight() const noexcept {
  const lw::DrawFuncs* draw = services_->drawFuncs;
  if (draw == nullptr || draw->displayMetrics == nullptr) return 0;
  const lw::DisplayMetrics* metrics = draw->displayMetrics();
  return metrics != nullptr ? metrics->textHeight : 0;
}

int AboutPanel::textWidth(const char* text) const noexcept {
  const lw::DrawFuncs* draw = services_->drawFuncs;
  if (draw == nullptr || draw->textWidth == nullptr) return 0;
  return draw->textWidth(panel_, text);
}

void AboutPanel::openCentred() noexcept {
  if (panel_ == nullptr) return;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  if (parent_ != nullptr) {
    x = getInt(services_, parent_, lw::kPanX);
    y = getInt(services_, parent_, lw::kPanY);
    width = getInt(services_, parent_, lw::kPanW);
    height = getInt(services_, parent_, lw::kPanH);
  } else if (services_->drawFuncs != nullptr &&
             services_->drawFuncs->displayMetrics != nullptr) {
    if (const lw::DisplayMetrics* metrics =
            services_->drawFuncs->displayMetrics()) {
      width = metrics->width;
      height = metrics->height;
    }
  }
  const int ownWidth = getInt(services_, panel_, lw::kPanW);
  const int ownHeight = getInt(services_, panel_, lw::kPanH);
  // Not clamped: a panel larger than its parent may start left of or above
  // it, even off the display.
  const int left = x + width / 2 - ownWidth / 2;
  const int top = y + height / 2 - ownHeight / 2;
  setInt(services_, panel_, lw::kPanX, left);
  setInt(services_, panel_, lw::kPanY, top);
  services_->open(panel_, lw::kPanelAllKeys);
  // Opening may place the panel where the host likes; put it back.
  setInt(services_, panel_, lw::kPanX, left);
  setInt(services_, panel_, lw::kPanY, top);
  services_->handle(panel_, lw::kHandleEventsWait);
}

void AboutPanel::draw() noexcept {
  const lw::DrawFuncs* drawFuncs = services_->drawFuncs;
  picture_.drawOnPanel(panel_, drawFuncs, kPictureLeft, kPictureTop);
  if (drawFuncs == nullptr || drawFuncs->drawText == nullptr) return;

  const int pictureWidth = picture_.width();
  const int panelWidth = getInt(services_, panel_, lw::kPanW);
  const int h = lineHeight();
  const int columnLeft = pictureWidth + 10;
  const int columnWidth = panelWidth - pictureWidth - 20;
  int y = textTop_;
  int colour = lw::kColourBlack;  // each redraw starts in black
  for (const char* const* line = lines_; line != nullptr && *line != nullptr;
       ++line) {
    switch (classify(*line)) {
      case Entry::Divider:
        drawDivider(panel_, drawFuncs, pictureWidth + 20, y + kDividerDrop,
                    columnWidth - 20, 1);
        y += h + kDividerExtra;
        break;
      case Entry::Gap:
        y += h;
        break;
      case Entry::Yellow:
        colour = lw::kColourYellow;
        break;
      case Entry::Black:
        colour = lw::kColourBlack;
        break;
      case Entry::Text: {
        const int w = textWidth(*line);
        drawFuncs->drawText(panel_, *line, colour,
                            columnLeft + columnWidth / 2 - w / 2, y);
        y += h;
        break;
      }
    }
  }
}

void AboutPanel::key(int code) noexcept {
  if (code == lw::kKeyEnter) services_->close(panel_);
}

void drawAboutPanel(lw::Panel*, void* userData, int) noexcept {
  if (auto* about = static_cast<AboutPanel*>(userData)) about->draw();
}

void aboutPanelKey(lw::Panel*, void* userData, int key) noexcept {
  if (auto* about = static_cast<AboutPanel*>(userData)) about->key(key);
}

void showAbout(lw::PanelFuncs* services, const char* titleWord,
               const char* const* lines, lw::Panel* parent) noexcept {
  AboutPanel about(services, titleWord, lines, parent, true);
}

}  // namespace panels
