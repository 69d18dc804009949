// An office chart drawn at the size the picture area shows it: written as
// EMF+ records (as office programs write charts) against the same drawing
// written as GDI records, in one run.
#include "BenchUtil.h"
#include "formats/PictureLoader.h"

#include <QGuiApplication>
#include <QPolygonF>

#include <bit>
#include <cmath>

namespace {

void put32(QByteArray& b, qint64 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char(v >> (8 * i) & 0xff));
}
void putF(QByteArray& b, float v) {
    put32(b, std::bit_cast<quint32>(v));
}

// EMF records; EMF+ records collected into comments.
struct Writer {
    QByteArray records;
    int count = 0;
    void emf(quint32 type, const QByteArray& data) {
        put32(records, type);
        put32(records, 8 + data.size());
        records += data;
        ++count;
    }
    QByteArray plus; // pending EMF+ records
    void rec(int type, int flags, const QByteArray& data) {
        put32(plus, type | flags << 16);
        put32(plus, 12 + data.size());
        put32(plus, data.size());
        plus += data;
    }
    void flush() {
        QByteArray c;
        put32(c, 4 + plus.size());
        put32(c, 0x2B464D45);
        emf(70, c + plus);
        plus.clear();
    }
    QByteArray file() {
        QByteArray body = records;
        for (qint64 v : {14, 20, 0, 0, 20})
            put32(body, v);
        QByteArray h;
        // 1600 x 1000 pixels at 96 dots per inch
        for (qint64 v : {1, 88, 0, 0, 1600, 1000, 0, 0, 42333, 26458, 0x464D4520, 0x10000})
            put32(h, v);
        put32(h, 88 + body.size());
        put32(h, count + 2);
        put32(h, 64);
        for (qint64 v : {0, 0, 0, 1920, 1080, 508, 286})
            put32(h, v);
        return h + body;
    }
};

QByteArray ints(std::initializer_list<qint64> values) {
    QByteArray b;
    for (qint64 v : values)
        put32(b, v);
    return b;
}

QList<QPolygonF> series() {
    QList<QPolygonF> all;
    for (int s = 0; s < 4; ++s) {
        QPolygonF line;
        for (int i = 0; i < 50; ++i)
            line.append({60 + i * 14.0, 250 + 150 * std::sin(i / 6.0 + s) * (0.4 + 0.15 * s)});
        all.append(line);
    }
    return all;
}

const quint32 Colours[] = {0x2050a0, 0xa05020, 0x20a050, 0x808020};

QByteArray plusChart() {
    const QList<QPolygonF> lines = series();
    Writer w;
    w.rec(0x4001, 0, ints({0xDBC01002, 1, 96, 96}));
    QByteArray scale;
    putF(scale, 2);
    w.rec(0x4030, 2, scale); // page unit pixel, scale 2
    for (int s = 0; s < 4; ++s) {
        QByteArray pen = ints({0xDBC01002, 0, 0x08, 0});
        putF(pen, 3);
        pen += ints({2, 0xDBC01002, 0, 0xff000000 | Colours[s]});
        w.rec(0x4008, 2 << 8 | s, pen);
        QByteArray line = ints({50});
        for (QPointF p : lines[s])
            putF(line, p.x()), putF(line, p.y());
        w.rec(0x400D, s, line);
        for (QPointF p : lines[s]) {
            QByteArray marker = ints({0xff000000 | Colours[s]});
            for (float v : {float(p.x() - 4), float(p.y() - 4), 8.f, 8.f})
                putF(marker, v);
            w.rec(0x400E, 0x8000, marker);
        }
        QByteArray key = ints({0xff000000 | Colours[s], 1});
        for (float v : {760.f, 60.f + 30 * s, 12.f, 12.f})
            putF(key, v);
        w.rec(0x400A, 0x8000, key);
    }
    w.flush();
    return w.file();
}

QByteArray gdiChart() {
    const QList<QPolygonF> lines = series();
    Writer w;
    w.emf(17, ints({8}));
    w.emf(9, ints({1, 1}));
    w.emf(11, ints({2, 2})); // twice the logical units, as the EMF+ page scale
    for (int s = 0; s < 4; ++s) {
        const qint64 c = (Colours[s] >> 16) | (Colours[s] & 0xff00) | (Colours[s] & 0xff) << 16;
        w.emf(38, ints({1, 0, 3, 0, c}));
        w.emf(37, ints({1}));
        QByteArray line = ints({0, 0, 0, 0, 50});
        for (QPointF p : lines[s])
            line += ints({qRound(p.x()), qRound(p.y())});
        w.emf(4, line);
        w.emf(39, ints({2, 0, c, 0}));
        w.emf(37, ints({2}));
        w.emf(37, ints({0x80000008})); // no outline
        for (QPointF p : lines[s])
            w.emf(42, ints({qRound(p.x()) - 4, qRound(p.y()) - 4, qRound(p.x()) + 4,
                            qRound(p.y()) + 4}));
        w.emf(43, ints({760, 60 + 30 * s, 772, 72 + 30 * s}));
        w.emf(40, ints({1}));
        w.emf(40, ints({2}));
    }
    return w.file();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QByteArray plus = plusChart(), gdi = gdiChart();
    const QSize shown(1200, 750); // the picture area of a maximised window, about
    // Turn about, so that a busy machine slows both alike.
    double ours = 0, baseline = 0;
    std::vector<double> oursRuns, baselineRuns;
    for (int i = 0; i < 41; ++i) {
        oursRuns.push_back(bench::medianMs(1, [&] { decodePicture(plus, shown); }));
        baselineRuns.push_back(bench::medianMs(1, [&] { decodePicture(gdi, shown); }));
    }
    std::sort(oursRuns.begin(), oursRuns.end());
    std::sort(baselineRuns.begin(), baselineRuns.end());
    ours = oursRuns[oursRuns.size() / 2];
    baseline = baselineRuns[baselineRuns.size() / 2];
    bench::report("EMF+ chart vs the same as GDI records", ours, baseline, 1.5);
    // Both draw the same: about as many pixels each.
    auto inked = [](const QImage& image) {
        qint64 n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qAlpha(image.pixel(x, y)) > 0;
        return n;
    };
    std::printf("  pixels drawn: EMF+ %lld, GDI %lld\n", inked(decodePicture(plus, shown)),
                inked(decodePicture(gdi, shown)));
    return 0;
}
