#pragma once
// What the frame asks of every game view before using it.

class IGameFrameView {
 public:
  virtual ~IGameFrameView() = default;
  // True for a constructed, not yet destroyed view that the frame may use.
  virtual bool IsValid() const = 0;
};
