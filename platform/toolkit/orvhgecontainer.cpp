#include "platform/toolkit/orvhgecontainer.h"

OrvHgeContainer::OrvHgeContainer() = default;

void OrvHgeContainer::draw(gcn::Graphics* g) { OrvHgeWindow::draw(g); }
