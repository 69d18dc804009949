#include "platform/PictureLoader.h"

#include "platform/PlatformError.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

QImage decodePicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) throw PlatformError(Err::InvalidPicture, reader.errorString());
    return image;
}

QImage LoadPicture(const QString& path) {
    if (!QFileInfo(path).isFile()) throw PlatformError(Err::FileNotFound, path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw PlatformError(Err::InvalidPicture, path);
    return decodePicture(file.readAll());
}
