// Loads one picture fitted in a limit, as the viewer does, after a small one
// of the same kind, and tells what it got and how far the process's memory
// grew for it: "<width> <height> <left colour> <right colour> <growth KB>".
// With "zoomed", the big one is decoded for a view at 100 % whose visible
// part, of the limit's size, lies in its middle.
// Usage: helper_loadpicture <small> <big> <limit width> <limit height> [zoomed]
#include "formats/PictureDetail.h"
#include "formats/PictureLoader.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {
// The high-water mark of this process's memory.
long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 5 && argc != 6) return 2;
    const QSize limit(atoi(argv[3]), atoi(argv[4]));
    const bool zoomed = argc == 6 && QByteArray(argv[5]) == "zoomed";
    const QString big = QFile::decodeName(argv[2]);
    // As the zoom allows itself whole.
    constexpr qint64 MaxDetailPixels = 50'000'000;
    try {
        LoadPicture(QFile::decodeName(argv[1]), limit); // the decoders' own start-up
        const QSize own = zoomed ? loadPictureDetail(big, 0, {}, MaxDetailPixels).own : QSize();
        const long before = peakKb();
        const QImage image =
            zoomed
                ? loadPictureDetail(
                      big, 1,
                      QRect(QPoint(own.width() - limit.width(), own.height() - limit.height()) / 2,
                            limit),
                      MaxDetailPixels)
                      .image
                : LoadPicture(big, limit);
        const long growth = peakKb() - before;
        const int y = image.height() / 2;
        std::printf("%d %d %s %s %ld\n", image.width(), image.height(),
                    qPrintable(image.pixelColor(image.width() / 4, y).name()),
                    qPrintable(image.pixelColor(3 * image.width() / 4, y).name()), growth);
    } catch (const std::exception& e) {
        std::printf("refused: %s\n", e.what());
    }
    return 0;
}
