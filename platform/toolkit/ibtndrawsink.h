#pragma once
// Draws a button's caption over its frame.
//
// Callers may rely on: the button calls DrawButtonCaption after its frame is drawn, with the
// clip area and origin of the button. Answer true when the caption was drawn; false lets the
// button draw its own caption text (if it has one) with its font.
#include <guichan/graphics.hpp>

class OrvHgeButton;

class IBtnDrawSink {
 public:
  virtual ~IBtnDrawSink() = default;
  virtual bool DrawButtonCaption(gcn::Graphics* g, OrvHgeButton* btn) = 0;
};
