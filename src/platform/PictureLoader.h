#pragma once

#include <QImage>
#include <QString>

// Decodes the picture in a file, whatever its name says; throws error 481
// when the content is no picture it can decode (53 when the file is missing).
QImage LoadPicture(const QString& path);
