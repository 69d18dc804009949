#include "platform/PictureLoader.h"

#include "platform/PlatformError.h"

#include <QFileInfo>
#include <QImageReader>

QImage LoadPicture(const QString& path) {
    if (!QFileInfo(path).isFile()) throw PlatformError(Err::FileNotFound, path);
    QImageReader reader(path);
    // The content decides: a ".dib" named BMP must not go to a headerless reader.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) throw PlatformError(Err::InvalidPicture, reader.errorString());
    return image;
}
