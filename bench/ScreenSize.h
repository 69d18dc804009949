#pragma once

// Headless benchmarks measure on a screen of a given size: the offscreen
// platform reads its screens from a JSON file named in QT_QPA_PLATFORM.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QtGlobal>

namespace bench {

// Call before the QApplication exists; child processes inherit the screen.
inline void useOffscreenScreen(int width, int height) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen") return; // a real display
    const QString config = QDir::temp().filePath(
        QStringLiteral("quillory-bench-screen-%1x%2.json").arg(width).arg(height));
    QFile file(config);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QStringLiteral(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": %1,)"
                                  R"( "height": %2, "logicalDpi": 96, "dpr": 1}]})")
                       .arg(width)
                       .arg(height)
                       .toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
}

} // namespace bench
