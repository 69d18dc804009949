#include "shell/Artwork.h"

namespace Artwork {

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/resources/icons/quillory-16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/resources/icons/quillory-32.xpm"), QSize(32, 32));
    return icon;
}

QPixmap quillPicture() { return QPixmap(QStringLiteral(":/resources/icons/quill-32.xpm")); }

QPixmap reelPicture() { return QPixmap(QStringLiteral(":/resources/icons/reel-32.xpm")); }

} // namespace Artwork
