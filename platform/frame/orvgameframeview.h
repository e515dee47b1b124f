#pragma once
// Base of the game's main view: the widget window the frame shows as the game area, feeds
// with mouse input, draws every frame and runs the game's timers on.
#include <array>
#include <cstdint>
#include <memory>

#include <guichan/mouseevent.hpp>

#include "platform/frame/igameframeview.h"
#include "platform/frame/livemark.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/orvhgewindow.h"

class COrvGameFrameView : public OrvHgeWindow, public IGameFrameView {
 public:
  static constexpr int kFaceCount = 6;
  // Frame confirmations the game can switch off with SetCyrmEnable.
  static constexpr int kCyrmCount = 4;
  static constexpr int kCyrmLeave = 1;  // closing the window asks to close it a second time

  enum CursorShape { kCursorArrow = 0, kCursorHand = 1 };

  COrvGameFrameView();
  ~COrvGameFrameView() override;

  // Called once by the frame after the dialog handed the view over; the base sizes the view
  // to the game area.
  virtual void InitResource();
  // The mouse cursor the frame shows over the game area (a CursorShape).
  virtual int GetCursorShape();

  void draw(gcn::Graphics* g) override;
  void drawExLayer(gcn::Graphics* g) override;
  void OnCommand(int id) override;
  void OnTimer(unsigned id) override;
  void mouseClicked(gcn::MouseEvent& e) override;
  void mouseMoved(gcn::MouseEvent& e) override;
  void action(const gcn::ActionEvent& e) override;
  bool IsValid() const override;

  // The face picture of a user ("Frame/Face/face_<id % 6>.png"), loaded once and kept by the
  // view; null when the frame has faces switched off.
  OrvHgeImage* GetFaceImg(std::uint32_t userId);
  // Indexes outside 0..kCyrmCount-1 are ignored (and read as disabled).
  void SetCyrmEnable(int index, bool enable);
  bool IsCyrmEnabled(int index) const;

  // Frame side.
  void SetFacesEnabled(bool enabled) { m_bFacesEnabled = enabled; }

 private:

  plat::LiveMark<COrvGameFrameView> m_live{this};
  std::array<std::unique_ptr<OrvHgeImage>, kFaceCount> m_faces;
  std::array<bool, kCyrmCount> m_cyrm;
  bool m_bFacesEnabled = true;
};
