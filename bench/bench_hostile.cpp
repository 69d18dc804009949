// Slow and hostile files through the viewer's real code paths: for each case
// the total time till the text is loaded and the picture decoded (or
// refused), the longest the event loop waited (a 5 ms heartbeat records
// the gaps) and the peak memory, against the targets: a stall of at most
// 100 ms, ten times the input in at most twelve times the time, and memory of
// at most twice the file plus what is shown (peak MB is the process's peak
// resident memory, idle MB the same before the file is opened). Each case
// runs in a process of its own, so that its peak memory is its own.
#include "controls/PictureFetcher.h"
#include "controls/RichTextPane.h"
#include "formats/PictureAnimation.h"
#include "system/MediaTypes.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray le16(int v) {
    QByteArray b(2, 0);
    qToLittleEndian<quint16>(quint16(v), b.data());
    return b;
}
QByteArray le32(qint64 v) {
    QByteArray b(4, 0);
    qToLittleEndian<quint32>(quint32(v), b.data());
    return b;
}

QByteArray png(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::blue, 9));
    for (int i = 0; i < side; i += 97)
        painter.drawLine(0, i, side, side - i);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray oneLine(qint64 bytes) {
    QByteArray text;
    text.reserve(bytes);
    while (text.size() < bytes)
        text += "minified0123456789";
    text.truncate(bytes);
    return text;
}

QByteArray shortLines(qint64 bytes) {
    QByteArray text;
    text.reserve(bytes + 64);
    for (int i = 0; text.size() < bytes; ++i)
        text += "line " + QByteArray::number(i) + " of many short ones\n";
    return text;
}

QByteArray rtfEscapes(int count) {
    return "{\\rtf1\\ansi " + QByteArray("\\'41").repeated(count) + "}";
}

QByteArray rtfParagraphs(int count) {
    return "{\\rtf1\\ansi " + QByteArray("\\par").repeated(count) + "}";
}

QByteArray rtfTable(int rows) {
    QByteArray row = "\\trowd\\cellx1000\\cellx2000\\cellx3000\\cellx4000\\cellx5000 ";
    row += "\\intbl a\\cell b\\cell c\\cell d\\cell e\\cell\\row ";
    return "{\\rtf1\\ansi " + row.repeated(rows) + "}";
}

// Notes are shown after the body: all of them arrive at the document's end.
QByteArray rtfFootnotes(int count) {
    const QByteArray note =
        "word{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} a note of some words}\\par ";
    return "{\\rtf1\\ansi " + note.repeated(count) + "}";
}

// List numbers worked out from the list table, one per paragraph.
QByteArray rtfListParagraphs(int count) {
    return "{\\rtf1\\ansi{\\*\\listtable{\\list{\\listlevel\\levelnfc2{\\leveltext\\'02\\'00.;}}"
           "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}" +
           QByteArray("\\pard\\ls1 item\\par ").repeated(count) + "}";
}

QByteArray rtfPictures(int count) {
    const QByteArray hex = png(5000).toHex();
    QByteArray pict =
        "{\\pict\\pngblip\\picw5000\\pich5000\\picwgoal3000\\pichgoal3000 " + hex + "}";
    return "{\\rtf1\\ansi " + (pict + "\\par ").repeated(count) + "}";
}

QByteArray icon(int entries) {
    const QByteArray image = png(4000);
    QByteArray file = le16(0) + le16(1) + le16(entries);
    const qint64 offset = 6 + 16 * entries;
    for (int i = 0; i < entries; ++i)
        file += QByteArray("\0\0\0\0", 4) + le16(1) + le16(32) + le32(image.size()) + le32(offset);
    return file + image;
}

// A placeable WMF of 10000 x 10000 pixels filled again and again.
QByteArray wmfFills(int fills) {
    QByteArray records;
    records += le32(7) + le16(0x02FC) + le16(0) + le32(0x0000FF) + le16(0); // solid brush
    records += le32(4) + le16(0x012D) + le16(0);                            // select it
    for (int i = 0; i < fills; ++i)
        records += le32(7) + le16(0x041B) + le16(10000) + le16(10000) + le16(0) + le16(0);
    records += le32(3) + le16(0);
    const qint64 words = 9 + records.size() / 2;
    QByteArray header = le32(0x9AC6CDD7) + le16(0) + le16(0) + le16(0) + le16(10000) + le16(10000) +
                        le16(96) + le32(0);
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= qFromLittleEndian<quint16>(header.constData() + i);
    header += le16(sum);
    header += le16(1) + le16(9) + le16(0x0300) + le32(words) + le16(1) + le32(7) + le16(0);
    return header + records;
}

QByteArray emfFills(int fills) {
    QByteArray records;
    for (int i = 0; i < fills; ++i)
        records += le32(43) + le32(24) + le32(0) + le32(0) + le32(10000) + le32(10000);
    records += le32(14) + le32(20) + le32(0) + le32(0) + le32(20);
    const qint64 frame = 10000 * 2540 / 96;
    QByteArray header = le32(1) + le32(88) + le32(0) + le32(0) + le32(10000) + le32(10000) +
                        le32(0) + le32(0) + le32(frame) + le32(frame) + le32(0x464D4520) +
                        le32(0x10000) + le32(88 + records.size()) + le32(fills + 2) + le16(1) +
                        le16(0) + le32(0) + le32(0) + le32(0) + le32(1920) + le32(1080) +
                        le32(508) + le32(286);
    return header + records;
}

struct Case {
    const char* name;
    const char* fileName;
    std::function<QByteArray()> make;
    const char* special = nullptr; // "fifo" or "zero"
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {"text, one 1 MB line", "line.txt", [] { return oneLine(1 << 20); }},
        {"text, one 10 MB line", "line.txt", [] { return oneLine(10 << 20); }},
        {"text, 1 MB of short lines", "short.txt", [] { return shortLines(1 << 20); }},
        {"text, 10 MB of short lines", "short.txt", [] { return shortLines(10 << 20); }},
        {"rtf, 100 K \\'41 escapes", "esc.rtf", [] { return rtfEscapes(100000); }},
        {"rtf, 1 M \\'41 escapes", "esc.rtf", [] { return rtfEscapes(1000000); }},
        {"rtf, 200 K \\par", "par.rtf", [] { return rtfParagraphs(200000); }},
        {"rtf, 2 M \\par", "par.rtf", [] { return rtfParagraphs(2000000); }},
        {"rtf, table 2 K rows x 5", "table.rtf", [] { return rtfTable(2000); }},
        {"rtf, table 20 K rows x 5", "table.rtf", [] { return rtfTable(20000); }},
        {"rtf, 2 K footnotes", "notes.rtf", [] { return rtfFootnotes(2000); }},
        {"rtf, 20 K footnotes", "notes.rtf", [] { return rtfFootnotes(20000); }},
        {"rtf, 20 K list paragraphs", "list.rtf", [] { return rtfListParagraphs(20000); }},
        {"rtf, 200 K list paragraphs", "list.rtf", [] { return rtfListParagraphs(200000); }},
        {"rtf, 4 PNG 5000x5000 shown 200x200", "pict.rtf", [] { return rtfPictures(4); }},
        {"rtf, 40 PNG 5000x5000 shown 200x200", "pict.rtf", [] { return rtfPictures(40); }},
        {"ico, 1 entry, PNG 4000x4000", "one.ico", [] { return icon(1); }},
        {"ico, 256 entries -> one PNG 4000x4000", "many.ico", [] { return icon(256); }},
        {"wmf 10000x10000, 200 full fills", "fills.wmf", [] { return wmfFills(200); }},
        {"wmf 10000x10000, 2000 full fills", "fills.wmf", [] { return wmfFills(2000); }},
        {"emf 10000x10000, 200 full fills", "fills.emf", [] { return emfFills(200); }},
        {"emf 10000x10000, 2000 full fills", "fills.emf", [] { return emfFills(2000); }},
        {"named pipe as .txt/.wav/.bmp", "pipe", {}, "fifo"},
        {"/dev/zero link as .txt/.wav/.bmp", "zero", {}, "zero"},
    };
    return all;
}

// The process's own peak resident memory: unlike getrusage's, it does not
// carry over the parent's peak across exec.
long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// What File1_Click does with a file: the pane for text names, the media
// type, then the picture fetcher, bounded as the viewer's picture area is on a
// full-HD screen; failures end the step quietly.
void viewLikeTheViewer(RichTextPane& pane, PictureFetcher& pictures, const QString& path) {
    if (path.endsWith(".txt") || path.endsWith(".rtf")) {
        try {
            pane.setFileName(path);
        } catch (const std::exception&) {
        }
    }
    (void)mediaKindOf(path);
    pictures.fetch(path, QSize(1920, 1080),
                   [](const QImage& image, std::unique_ptr<PictureAnimation>) {
                       std::printf("    picture %dx%d\n", image.width(), image.height());
                   });
}

// Writes the case's files into folder; returns their paths and total size.
QStringList makeCase(const Case& c, const QString& folder, qint64& fileBytes) {
    QStringList paths;
    fileBytes = 0;
    if (c.special) {
        for (const char* ext : {".txt", ".wav", ".bmp"}) {
            const QString path = folder + "/" + c.fileName + ext;
            if (QString(c.special) == "fifo")
                mkfifo(QFile::encodeName(path).constData(), 0644);
            else
                QFile::link("/dev/zero", path);
            paths << path;
        }
        return paths;
    }
    const QByteArray bytes = c.make();
    fileBytes = bytes.size();
    const QString path = folder + "/" + c.fileName;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::exit(2);
    return {path};
}

int runCase(const QStringList& paths) {
    RichTextPane pane;
    PictureFetcher pictures;
    pane.resize(353, 393);
    pane.show();
    QCoreApplication::processEvents();
    const long before = peakKb();

    QElapsedTimer clock;
    clock.start();
    double last = 0, longest = 0, finished = -1;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        longest = std::max(longest, now - last);
        last = now;
        if (finished < 0 && !pane.isLoading() && !pictures.isBusy()) {
            finished = now;
            QCoreApplication::quit();
        }
    });
    heartbeat.start();
    QTimer::singleShot(0, [&] {
        for (const QString& path : paths)
            viewLikeTheViewer(pane, pictures, path);
    });
    QCoreApplication::exec();
    const long after = peakKb();
    std::printf("RESULT %.1f %.1f %.1f %.1f\n", finished, longest, after / 1024.0, before / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 2 && QByteArray(argv[1]) == "--run") return runCase(app.arguments().mid(2));

    std::printf("%-40s %9s %9s %8s %8s %8s  %s\n", "case", "total ms", "stall ms", "peak MB",
                "idle MB", "file MB", "stall, time against the smaller case");
    double previousTime = 0;
    // An argument picks the cases whose names contain it.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    for (size_t i = 0; i < cases().size(); ++i) {
        if (!QString(cases()[i].name).contains(only)) continue;
        QTemporaryDir dir;
        qint64 fileBytes = 0;
        const QStringList paths = makeCase(cases()[i], dir.path(), fileBytes);
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), QStringList{"--run"} + paths);
        const bool done = child.waitForFinished(600000);
        if (!done) child.kill(), child.waitForFinished();
        const QByteArray output = child.readAll();
        const qsizetype at = output.indexOf("RESULT ");
        if (!done || at < 0) {
            std::printf("%-40s %s\n", cases()[i].name,
                        done ? "FAILED" : "still running after 600 s");
            continue;
        }
        double total = 0, stall = 0, peak = 0, idle = 0;
        std::sscanf(output.constData() + at, "RESULT %lf %lf %lf %lf", &total, &stall, &peak,
                    &idle);
        const double file = fileBytes / 1048576.0;
        QByteArray note = stall <= 100 ? "stall ok" : "STALL";
        // Cases come in pairs of a tenfold input; the larger one is judged.
        const bool larger = i % 2 == 1 && i < 18;
        if (larger) {
            const double ratio = total / std::max(previousTime, 1.0);
            note += QByteArray(ratio <= 12 ? "  time ok" : "  SLOW") + " (x" +
                    QByteArray::number(ratio, 'f', 1) + ")";
        }
        std::printf("%-40s %9.1f %9.1f %8.1f %8.1f %8.2f  %s\n", cases()[i].name, total, stall,
                    peak, idle, file, note.constData());
        std::fflush(stdout);
        previousTime = total;
    }
    return 0;
}
