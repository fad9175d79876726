// The themed look: the thread's push buttons, check boxes, radio buttons,
// group boxes, edit boxes, combo boxes and spin buttons drawn flat in a green
// scheme, those that exist when it is switched on and those created later.
// List views, labels and pictures keep their own look.
#pragma once
#include <windows.h>

class ThemedLook {
 public:
  static constexpr COLORREF kFrame = RGB(164, 185, 127);

  ThemedLook() = default;
  ~ThemedLook();
  ThemedLook(const ThemedLook&) = delete;
  ThemedLook& operator=(const ThemedLook&) = delete;

  // For the calling thread; false when the creation hook cannot be set.
  bool SwitchOn();
  bool On() const { return hook_ != nullptr; }

 private:
  HHOOK hook_ = nullptr;
};

// Gives one window the look when its class is one of those drawn; the style
// it was created with tells how an edit box draws its border.
void ApplyThemedLook(HWND window, DWORD creationStyle);
