// The fonts and sizes the user chose for windows.
#pragma once

#include <string>

namespace unw {

// One of the system's fonts, as a window draws it.
struct SystemFont {
  std::string face;
  float points = 0;  // the character height
  int weight = 400;  // 400 regular, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  int charset = 0;  // the character set the system names with the face
};

// The fonts of message boxes, title bars, menus and status bars, and the sizes of a window's
// frame, in pixels.
struct SystemFonts {
  SystemFont message, caption, menu, status;
  int captionHeight = 0;
  int borderWidth = 0;
};

class SystemMetrics {
 public:
  virtual ~SystemMetrics() = default;
  // The fonts and sizes as they are now; false when the system does not tell.
  virtual bool ReadFonts(SystemFonts& fonts) = 0;
};

}  // namespace unw
