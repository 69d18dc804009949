#pragma once

#include <QIcon>
#include <QPixmap>

// Our own pictures, compiled into the program.
namespace Artwork {
QIcon programIcon();
QPixmap quillPicture();  // the splash's upper left picture
QPixmap reelPicture();   // the splash's lower right picture
} // namespace Artwork
