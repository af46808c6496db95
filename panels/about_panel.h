// The About panel: the module's picture at the left and, beside it, a column
// of centred text lines grouped by dividers and coloured by markup lines. It
// sizes itself once, centres on its parent (or the display), and runs until
// closed; Enter closes it.
#pragma once

#include "module/host.h"
#include "panels/panel_picture.h"

namespace panels {

// The About panel's lines, ended by a null entry. An entry equal to one of
// "<HDIV>" (a divider), "<VTAB>" (an empty line), "<YELLOW>" or "<BLACK>"
// (the colour of the text lines after it), in any case, is markup.
extern const char* const kAboutText[];

class AboutPanel {
 public:
  // Makes the host panel titled "About <titleWord>" and lays it out for
  // `lines`. `services` and `lines` are not owned and must outlive the
  // panel; `parent` (may be null: centre on the display) is only read. With
  // `openAtOnce` the constructor also runs openCentred, so it returns once
  // the panel has been closed. When the host refuses the panel, nothing
  // else is done and openCentred does nothing.
  AboutPanel(lw::PanelFuncs* services, const char* titleWord,
             const char* const* lines, lw::Panel* parent,
             bool openAtOnce) noexcept;
  ~AboutPanel();

  // The host keeps this object's address as the panel's user data.
  AboutPanel(const AboutPanel&) = delete;
  AboutPanel& operator=(const AboutPanel&) = delete;
  AboutPanel(AboutPanel&&) = delete;
  AboutPanel& operator=(AboutPanel&&) = delete;

  // Centres the panel, opens it and runs its events; returns once it has
  // been closed.
  void openCentred() noexcept;

  lw::Panel* panel() const noexcept { return panel_; }
  int textTop() const noexcept { return textTop_; }

  // What the host's draw and key callbacks do once they have found the
  // panel's object.
  void draw() noexcept;
  void key(int code) noexcept;

 private:
  int lineHeight() const noexcept;
  int textWidth(const char* text) const noexcept;

  lw::PanelFuncs* services_;
  lw::Panel* panel_ = nullptr;
  lw::Panel* parent_;
  int textTop_ = 0;
  const char* const* lines_;
  PanelPicture picture_;
};

// The host panel's callbacks; `userData` is the AboutPanel.
void drawAboutPanel(lw::Panel* panel, void* userData, int mode) noexcept;
void aboutPanelKey(lw::Panel* panel, void* userData, int key) noexcept;

// Shows the About panel centred on `parent` (or the display) and returns
// once the user has closed it; nothing of it remains.
void showAbout(lw::PanelFuncs* services, const char* titleWord,
               const char* const* lines, lw::Panel* parent) noexcept;

}  // namespace panels
