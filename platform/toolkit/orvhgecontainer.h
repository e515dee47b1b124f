#pragma once
// A window used as a plain container of other widgets; draws its children.
#include <guichan/graphics.hpp>

#include "platform/toolkit/orvhgewindow.h"

class OrvHgeContainer : public OrvHgeWindow {
 public:
  OrvHgeContainer();
  void draw(gcn::Graphics* g) override;
};
