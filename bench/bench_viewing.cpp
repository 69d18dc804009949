// Showing big pictures: File1_Click until the picture area holds the picture,
// against QImageReader decoding the same file alone; and the peak memory of
// viewing a 24-megapixel JPEG against the process before it plus the picture.
#include "BenchUtil.h"
#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/PictureBox.h"
#include "shell/TheViewer.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const char* const Names[] = {"big.jpg", "big.tif", "big.bmp"};

void makePictures(const QString& folder) {
    QImage image(6000, 4000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 6000, 4000);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 400; ++i)
        painter.fillRect((i * 997) % 6000, (i * 613) % 4000, 150, 90, QColor::fromHsv(i % 360, 200, 220));
    painter.end();
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

// Runs in a fresh process so that the peak belongs to viewing alone.
int measureMemory(const QString& folder) {
    TheViewer viewer;
    viewer.File1->setPattern("*.jpg");
    viewer.Dir1->setPath(folder);
    viewer.show();
    QApplication::processEvents();
    const long before = peakKb();
    viewer.File1->selectIndex(0);
    QApplication::processEvents();
    const long after = peakKb();
    const long pictureKb = long(viewer.Picture1->Picture().sizeInBytes() / 1024);
    std::printf("%-48s peak %ld MB, before %ld MB + picture %ld MB: ratio %.2f\n",
                "Memory viewing a 24-megapixel JPEG", after / 1024, before / 1024,
                pictureKb / 1024, double(after) / double(before + pictureKb));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == "--make") return makePictures(args[2]), 0;
    if (args.size() == 3 && args[1] == "--memory") return measureMemory(args[2]);

    QTemporaryDir folder;
    QProcess::execute(args[0], {"--make", folder.path()});
    TheViewer viewer;
    viewer.Dir1->setPath(folder.path());
    viewer.show();
    QApplication::processEvents();
    for (const char* name : Names) {
        const QString suffix = QString(name).section('.', -1);
        viewer.File1->setPattern("*." + suffix);
        const double ours = bench::medianMs(5, [&] {
            viewer.File1->selectIndex(0);
            QApplication::processEvents();
        });
        const double base = bench::medianMs(5, [&] {
            QImageReader reader(folder.filePath(name));
            reader.read();
        });
        bench::report(std::string("File1_Click 24-megapixel ") + name, ours, base, 1.15);
    }
    std::fflush(stdout);
    return QProcess::execute(args[0], {"--memory", folder.path()});
}
