// Showing big pictures in a window maximised on a 1920 x 1080 screen:
// File1_Click until the picture area shows the picture fitted, against
// QImageReader decoding the same file alone at full size; a double-click from
// fitted to 100 % until the sharp picture is painted, against the same bare
// decode, and the longest the window stands still meanwhile; and the peak
// memory of viewing a 24-megapixel JPEG against the process before it plus
// the picture shown.
#include "BenchUtil.h"
#include "PhotoLike.h"
#include "ScreenSize.h"
#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/PictureBox.h"
#include "controls/RichTextPane.h"
#include "shell/TheViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const char* const Names[] = {"big.jpg", "big.tif", "big.bmp"};

void makePictures(const QString& folder) {
    const QImage image = bench::photoLike({6000, 4000}, Qt::darkBlue, Qt::yellow, 400, {150, 90});
    image.save(folder + "/big.jpg", "JPEG", 90);
    image.save(folder + "/big.tif", "TIFF");
    image.save(folder + "/big.bmp", "BMP");
}

// The high-water mark of this process's own memory (getrusage would count
// the parent's too, carried over the fork).
long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Selects the first file listed and returns once its picture shows.
void viewFirst(TheViewer& viewer) {
    viewer.File1->selectIndex(0);
    while (viewer.isPictureLoading())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents(); // and is painted
}

// A double-click in the middle of the fitted picture, then events until the
// picture is sharp at 100 % and painted; longestMs: the longest gap between
// the ticks of a 1 ms timer meanwhile.
void zoomToActualSize(TheViewer& viewer, double& longestMs) {
    PictureBox& area = *viewer.Picture1;
    const QPointF middle(area.width() / 2.0, area.height() / 2.0);
    QElapsedTimer sinceTick;
    QTimer ticks;
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestMs = std::max(longestMs, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    sinceTick.start();
    ticks.start();
    QMouseEvent click(QEvent::MouseButtonDblClick, middle, area.mapToGlobal(middle), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&area, &click);
    while (area.scale() != 1 || !area.isSharp())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents(); // and is painted
}

// Runs in a fresh process so that the peak belongs to viewing alone.
int measureMemory(const QString& folder) {
    TheViewer viewer;
    viewer.File1->setPattern("*.jpg");
    viewer.Dir1->setPath(folder);
    viewer.showMaximized();
    QApplication::processEvents();
    const long before = peakKb();
    viewFirst(viewer);
    const long after = peakKb();
    const long pictureKb = long(viewer.Picture1->Picture().sizeInBytes() / 1024);
    const QSize shown = viewer.Picture1->size();
    std::printf("%-48s peak %ld MB, before %ld MB + picture %ld MB (%d x %d shown): ratio %.2f "
                "(target <= 1.30); peak growth %.2f x the picture\n",
                "Memory viewing a 24-megapixel JPEG", after / 1024, before / 1024, pictureKb / 1024,
                shown.width(), shown.height(), double(after) / double(before + pictureKb),
                double(after - before) / double(std::max(1L, pictureKb)));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bench::useOffscreenScreen(1920, 1080);
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == "--make") return makePictures(args[2]), 0;
    if (args.size() == 3 && args[1] == "--memory") return measureMemory(args[2]);

    QTemporaryDir folder;
    QProcess::execute(args[0], {"--make", folder.path()});
    TheViewer viewer;
    viewer.Dir1->setPath(folder.path());
    viewer.showMaximized();
    QApplication::processEvents();
    std::printf("screen %d x %d, picture space %d x %d\n", viewer.screen()->size().width(),
                viewer.screen()->size().height(), viewer.TextB->width(), viewer.TextB->height());
    for (const char* name : Names) {
        const QString suffix = QString(name).section('.', -1);
        viewer.File1->setPattern("*." + suffix);
        const double ours = bench::medianMs(5, [&] { viewFirst(viewer); });
        const double base = bench::medianMs(5, [&] {
            QImageReader reader(folder.filePath(name));
            reader.read();
        });
        // JPEG decodes at reduced size; the others decode whole and are scaled.
        bench::report(std::string("File1_Click 24-megapixel ") + name, ours, base,
                      suffix == "jpg" ? 0.6 : 1.3);
    }
    viewer.File1->setPattern("*.jpg");
    double longest = 0;
    const double ours = bench::medianMs(
        5, [&] { zoomToActualSize(viewer, longest); }, [&] { viewFirst(viewer); });
    const double base = bench::medianMs(5, [&] {
        QImageReader reader(folder.filePath("big.jpg"));
        reader.read();
    });
    bench::report("Double-click to 100 %, 24-megapixel big.jpg", ours, base, 1.1);
    std::printf("%-48s %.1f ms (target <= 50) %s\n", "Longest stand-still while it comes", longest,
                longest <= 50 ? "ok" : "SLOW");
    std::fflush(stdout);
    return QProcess::execute(args[0], {"--memory", folder.path()});
}
