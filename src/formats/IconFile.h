#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

// ICO (type 1) and CUR (type 2) files: a directory of images.
bool isIconFile(QByteArrayView head);

// The entry the viewer shows, the largest and of equal sizes the deepest,
// chosen from the directory and the image headers alone; only that one image
// is decoded. Throws PlatformError 481 when it cannot be read.
QImage decodeBestIcon(const QByteArray& bytes, qint64 maxPixels);
