// The balloon tip box: a top-most pop-up of our own that shows a text near a
// screen point until the user presses a key or a mouse button, turns the
// wheel, or switches to another application.
#pragma once
#include <windows.h>

#include "frame/layout.h"
#include "frame/toolkit.h"

namespace win32 {

constexpr char kBalloonTipClass[] = "FrameBalloonTip";

void RegisterBalloonTipClass();

// Takes every tip of the program down.
void CloseAllTips();

// Puts the tips that are up back above every other window.
void RaiseTips();

class BalloonTip {
 public:
  explicit BalloonTip(const frame::Control& box);
  ~BalloonTip();
  BalloonTip(const BalloonTip&) = delete;
  BalloonTip& operator=(const BalloonTip&) = delete;

  // Shows the tip with the text at the point; one that is up moves and changes.
  void PopUp(frame::Point at, const frame::Text& text);

 private:
  const frame::Control& box_;
  HWND hwnd_ = nullptr;
};

}  // namespace win32
