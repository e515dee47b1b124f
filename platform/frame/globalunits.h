#pragma once
// Process-wide frame objects the game reaches without a pointer chain.

class CGameFrameDlg;
class OrvHgeWindow;

class CGlobalUnits {
 public:
  // The running dialog, null while no frame runs one.
  static CGameFrameDlg* s_pGameFrameDlg;
  // The frame's top window covering the whole game area; never null.
  static OrvHgeWindow* GetTopWindow();
};
