#pragma once
// Runs guichan for one top widget on the current render device: input, logic and drawing
// with OrvHgeGraphics. The frame loop (and the gallery) call Logic and Draw once per frame.
//
// Callers may rely on: Logic without a top widget does nothing (guichan would throw);
// Draw draws the top widget, then its ex layer when it is an OrvHgeWindow. The runner does
// not own the top widget.
#include <memory>

#include <guichan/gui.hpp>
#include <guichan/widget.hpp>

#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/sdlguiinput.h"

namespace plat {

class GuiRunner {
 public:
  GuiRunner();
  explicit GuiRunner(HGE* hge);
  ~GuiRunner();
  GuiRunner(const GuiRunner&) = delete;
  GuiRunner& operator=(const GuiRunner&) = delete;

  void SetTop(gcn::Widget* top);
  gcn::Widget* Top() const { return m_gui.getTop(); }
  gcn::Gui& Gui() { return m_gui; }
  OrvHgeGraphics& Graphics() { return m_graphics; }
  SdlGuiInput& Input() { return m_input; }

  void Logic();
  void Draw();
  void Frame() { Logic(); Draw(); }

 private:
  OrvHgeGraphics m_graphics;
  SdlGuiInput m_input;
  gcn::Gui m_gui;
};

}  // namespace plat
