// Loading a 10 MB text file into the rich-text pane, against a plain read and
// decode of the same bytes. The pane shows the start at once and adds the rest
// from the event loop, so the figures are: the call itself, the call with the
// first paint, the whole load, and the longest the event loop waited meanwhile.
#include "BenchUtil.h"
#include "controls/RichTextPane.h"
#include "formats/TextDecoding.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>

namespace {

QByteArray tenMegabytes() {
    QByteArray text;
    text.reserve(10 * 1024 * 1024 + 200);
    for (int line = 0; text.size() < 10 * 1024 * 1024; ++line) {
        text +=
            "Line " + QByteArray::number(line) + ": the quick brown fox jumps over the lazy dog";
        text += (line % 7 == 0) ? " \xC3\xBC\xC3\xB1\xC3\xAF\xC3\xA7\xC3\xB6"
                                  "d\xC3\xA9\r\n"
                                : "\r\n";
        if (line % 50 == 0) text += "\r\n";
    }
    return text;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::exit(2);
}

// Runs the event loop until the pane has everything; returns the longest gap
// between two turns of the loop, in milliseconds.
double loadToTheEnd(RichTextPane& pane) {
    QElapsedTimer clock;
    clock.start();
    double longest = 0, last = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        longest = std::max(longest, now - last);
        last = now;
    });
    ticker.start();
    QEventLoop loop;
    QObject::connect(&pane, &RichTextPane::loadFinished, &loop, &QEventLoop::quit);
    if (pane.isLoading()) loop.exec();
    return longest;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString big = dir.filePath("big.txt"), small = dir.filePath("small.txt");
    const QByteArray bytes = tenMegabytes();
    writeFile(big, bytes);
    writeFile(small, "small");

    RichTextPane pane;
    pane.resize(353, 393); // the pane's size in the main window
    pane.show();
    const auto reset = [&] {
        pane.setFileName(small);
        QCoreApplication::processEvents();
    };
    constexpr int Runs = 7;
    qsizetype sink = 0;
    const double baseline = bench::medianMs(Runs, [&] {
        QFile file(big);
        file.open(QIODevice::ReadOnly);
        sink += decodeText(file.readAll()).size();
    });
    const double call = bench::medianMs(
        Runs, [&] { pane.setFileName(big); }, reset);
    const double painted = bench::medianMs(
        Runs,
        [&] {
            pane.setFileName(big);
            pane.repaint();
        },
        reset);
    double stall = 0;
    const double whole = bench::medianMs(
        3,
        [&] {
            pane.setFileName(big);
            stall = std::max(stall, loadToTheEnd(pane));
        },
        reset);

    std::printf("10 MB text, %lld bytes, %d blocks once loaded\n", qlonglong(bytes.size()),
                pane.document()->blockCount());
    bench::report("setFileName (start shown, rest follows)", call, baseline, 3.0);
    bench::report("setFileName and first paint", painted, baseline, 3.0);
    std::printf("%-48s %9.2f ms  (event loop never waited more than %.2f ms)\n",
                "whole text in the pane", whole, stall);
    return sink > 0 ? 0 : 1;
}
