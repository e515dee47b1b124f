#include "platform/frame/globalunits.h"

#include "platform/frame/frametopwindow.h"

CGameFrameDlg* CGlobalUnits::s_pGameFrameDlg = nullptr;

OrvHgeWindow* CGlobalUnits::GetTopWindow() { return &plat::FrameTopWindow::Instance(); }
