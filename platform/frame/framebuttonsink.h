#pragma once
// Caption (and, without a skin image, the body) of the frame's own small buttons.
#include <memory>
#include <string>

#include "platform/toolkit/ibtndrawsink.h"

class OrvHgeButton;
class OrvHgeFont;
class OrvHgeWindow;

namespace plat {

class FrameButtonSink : public IBtnDrawSink {
 public:
  static constexpr int kWidth = 64;
  static constexpr int kHeight = 26;
  static constexpr const char* kSkinPath = "Frame/BtFrame.png";

  explicit FrameButtonSink(std::string captionGbk);
  ~FrameButtonSink() override;

  // A frame button on `parent` at (x, y) drawn by `sink`; kWidth x kHeight when the skin image
  // is missing, so it can still be hit.
  static std::unique_ptr<OrvHgeButton> MakeButton(OrvHgeWindow* parent, int id, int x, int y,
                                                  FrameButtonSink* sink);

  bool DrawButtonCaption(gcn::Graphics* g, OrvHgeButton* btn) override;
  const std::string& Caption() const { return m_caption; }

 private:
  std::string m_caption;
  std::unique_ptr<OrvHgeFont> m_font;
};

}  // namespace plat
