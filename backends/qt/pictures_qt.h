// Every picture a control can name, drawn with QPainter at whatever size the control has: the
// program's own glyphs ("start", "stop", ...), the desktop's standard icons ("sys.information"
// ...), the program icon ("logo") and the tray icon sets ("tray:SET:ELEMENT").
#pragma once

#include <QImage>
#include <QPixmap>
#include <string>

#include "resources/icons/tray_icon_art.h"

namespace unw::qt {

// Whether `picture` names a picture this file can draw.
bool HasPicture(const std::string& picture);
// `picture` as a square of `side` device-independent pixels; disabled, greyed. A null pixmap
// when the name is unknown.
QPixmap PicturePixmap(const std::string& picture, int side, bool enabled = true);
// An image drawn by code (0xAARRGGBB, straight alpha) as a QImage.
QImage ImageOf(const IconImage& art);

}  // namespace unw::qt
