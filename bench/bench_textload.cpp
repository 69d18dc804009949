// Loading text files into the rich-text pane. A 10 MB text, against a plain
// read and decode of the same bytes: the call itself, the call with the first
// paint, the whole load, and the longest the event loop waited meanwhile. Then
// a generated 1 GB log, as the large-text view shows it: first screen, Ctrl+End
// while the lines are still being indexed, the indexing rate against a plain
// read, the longest event-loop block, and the process's own memory.
#include "BenchUtil.h"
#include "controls/LargeTextView.h"
#include "controls/RichTextPane.h"
#include "formats/TextDecoding.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
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

// A field of /proc/self/status, in kB.
long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    return 0;
}

// A server log of short lines; returns how many.
qint64 writeLog(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) std::exit(2);
    qint64 lines = 0, written = 0;
    QByteArray chunk;
    while (written < bytes) {
        chunk.clear();
        while (chunk.size() < 4 * 1024 * 1024) {
            chunk += "2026-12-07 10:" + QByteArray::number(10 + lines % 50) + ":" +
                     QByteArray::number(10 + lines % 49) + " INFO worker-" +
                     QByteArray::number(lines % 8) + " request " + QByteArray::number(lines) +
                     " served in " + QByteArray::number(lines % 97) + " ms\n";
            ++lines;
        }
        if (file.write(chunk) != chunk.size()) std::exit(2);
        written += chunk.size();
    }
    return lines;
}

double msSince(const QElapsedTimer& clock) {
    return clock.nsecsElapsed() / 1e6;
}

void line(const char* what, double value, const char* unit, double target, bool atMost) {
    const bool ok = atMost ? value <= target : value >= target;
    std::printf("%-48s %9.1f %-5s (target %s %.0f %s) %s\n", what, value, unit,
                atMost ? "<=" : ">=", target, unit, ok ? "ok" : "MISSED");
}

void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(widget, &press);
}

void gigabyteLog(const QString& path) {
    const qint64 size = qint64(1) << 30;
    const qint64 lines = writeLog(path, size);
    // The baseline: reading the file through once, as the worker does.
    QElapsedTimer clock;
    clock.start();
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QByteArray chunk(1024 * 1024, Qt::Uninitialized);
        while (file.read(chunk.data(), chunk.size()) > 0) {
        }
    }
    const double readMs = msSince(clock);

    RichTextPane pane;
    pane.resize(353, 393);
    pane.show();
    QCoreApplication::processEvents();
    const long idleKb = statusKb("RssAnon:");
    clock.restart();
    pane.setFileName(path);
    pane.repaint();
    const double firstScreen = msSince(clock);
    LargeTextView* view = pane.largeText();
    if (!view) std::exit(3);
    QElapsedTimer end;
    end.start();
    pressKey(view, Qt::Key_End, Qt::ControlModifier);
    view->viewport()->repaint();
    const double ctrlEnd = msSince(end);
    const bool beforeIndexed = view->isIndexing();
    const double stall = loadToTheEnd(pane);
    const double indexMs = msSince(clock);
    const long anonKb = statusKb("RssAnon:");
    // The last line selected and copied.
    end.restart();
    pressKey(view, Qt::Key_End, Qt::ControlModifier);
    pressKey(view, Qt::Key_Home, {});
    pressKey(view, Qt::Key_End, Qt::ShiftModifier);
    view->copy();
    const double copied = msSince(end);

    std::printf("1 GB log, %lld lines of some %lld bytes; %lld indexed\n", qlonglong(lines),
                qlonglong(size / lines), qlonglong(view->lineCount()));
    line("first screen painted after setFileName", firstScreen, "ms", 100, true);
    line(beforeIndexed ? "Ctrl+End to last line painted (still indexing)"
                       : "Ctrl+End to last line painted (indexed)",
         ctrlEnd, "ms", 100, true);
    line("indexing done", indexMs, "ms", 4000, true);
    line("indexing rate", size / 1048576.0 / (indexMs / 1000), "MB/s", 250, false);
    std::printf("%-48s %9.1f MB/s\n", "  a plain read of the file (baseline)",
                size / 1048576.0 / (readMs / 1000));
    line("longest event-loop block while indexing", stall, "ms", 50, true);
    line("own (anonymous) memory once indexed", anonKb / 1024.0, "MB",
         64 + 8.0 * double(lines) / 1048576, true);
    std::printf("%-48s %9.1f MB\n", "  the same before the file was selected", idleKb / 1024.0);
    std::printf("%-48s %9.1f ms  (%lld characters: \"%s\")\n", "last line selected and copied",
                copied, qlonglong(QGuiApplication::clipboard()->text().size()),
                qPrintable(QGuiApplication::clipboard()->text().left(40)));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    // The 1 GB log first, while the process holds little else.
    if (!app.arguments().contains("--no-gigabyte")) {
        gigabyteLog(dir.filePath("server.log.txt"));
        QFile::remove(dir.filePath("server.log.txt"));
    }
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

    std::printf("10 MB text, %lld bytes, %lld lines once loaded\n", qlonglong(bytes.size()),
                qlonglong(pane.largeText() ? pane.largeText()->lineCount()
                                           : pane.document()->blockCount()));
    bench::report("setFileName (start shown, rest follows)", call, baseline, 3.0);
    bench::report("setFileName and first paint", painted, baseline, 3.0);
    std::printf("%-48s %9.2f ms  (event loop never waited more than %.2f ms)\n",
                "whole text in the pane", whole, stall);
    return sink > 0 ? 0 : 1;
}
