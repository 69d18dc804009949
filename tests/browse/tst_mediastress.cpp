#include "controls/MediaControl.h"
#include "fileops/ViewerSteps.h"
#include "media/GstPlayer.h"
#include "support/MediaFixtures.h"
#include "support/TempTree.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QtTest>

#include <algorithm>

using namespace MediaFixtures;
using namespace ViewerSteps;

// Moves fast through a folder of every kind of media, with pictures and texts
// between them, as a user holding down an arrow key would.
class MediaStressTest : public QObject {
    Q_OBJECT
    // Enough to pass every kind of media several times in the test command;
    // bench/media-stress.sh runs the long version before media code changes.
    static int mediaSelections() {
        return qEnvironmentVariableIntValue("QUILLORY_MEDIA_SELECTIONS") > 0
                   ? qEnvironmentVariableIntValue("QUILLORY_MEDIA_SELECTIONS")
                   : 60;
    }
    static constexpr qint64 CommandLimitMs = 2000;

  private slots:
    void manySelectionsNeverBlock() {
        TempTree tree;
        const QStringList media = {
            tree.write("pcm16.wav", wav(2)).section('/', -1),
            tree.write("pcm8.wav", wav(2, WavFormat::Pcm8)).section('/', -1),
            tree.write("pcm24.wav", wav(2, WavFormat::Pcm24)).section('/', -1),
            tree.write("float.wav", wav(2, WavFormat::Float32)).section('/', -1),
            tree.write("mulaw.wav", wav(2, WavFormat::MuLaw)).section('/', -1),
            tree.write("adpcm.wav", wav(2, WavFormat::ImaAdpcm)).section('/', -1),
            tree.write("tone.au", au(2)).section('/', -1),
            tree.write("tune.mid", midi(2)).section('/', -1),
            tree.write("mjpeg.avi", aviMjpeg(20, 64, 48)).section('/', -1),
            tree.write("mpeg4.avi", encodedAvi("avenc_mpeg4", 20, true)).section('/', -1),
            tree.write("divx3.avi", encodedAvi("avenc_msmpeg4", 20)).section('/', -1),
            tree.write("huffyuv.avi", encodedAvi("avenc_huffyuv", 20)).section('/', -1),
        };
        for (const QString& name : media)
            QVERIFY2(QFileInfo(tree.file(name)).size() > 0, qPrintable(name));
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(tree.file("photo.bmp"), "BMP");
        tree.write("notes.txt", "a few words");
        const QStringList others = {"photo.bmp", "notes.txt"};

        TheViewer viewer;
        viewer.File1->setPattern("*");
        openFolder(viewer, tree.path());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));

        QList<qint64> times;
        const auto timedSelect = [&](const QString& name) {
            QElapsedTimer clock;
            clock.start();
            const bool listedThere = selectFile(viewer, name);
            times << clock.elapsed();
            QVERIFY2(listedThere, qPrintable(name));
            QVERIFY2(times.last() < CommandLimitMs,
                     qPrintable(QStringLiteral("%1 took %2 ms").arg(name).arg(times.last())));
            QCoreApplication::processEvents(); // pictures and bus messages come in between
        };
        QString last;
        const int selections = mediaSelections();
        for (int i = 0; i < selections; ++i) {
            last = media[i % media.size()];
            timedSelect(last);
            if (QTest::currentTestFailed()) return;
            // Mostly a picture or a text next; now and then straight to the next media file.
            if (i % 3 != 2) timedSelect(others[i % 2]);
            if (QTest::currentTestFailed()) return;
        }
        // End on a media file: it plays.
        if (selections % 3 != 0) timedSelect(last = media[0]);
        QCOMPARE(viewer.File1->FileName(), last);
        QTRY_VERIFY_WITH_TIMEOUT(
            viewer.MMControl1->player() && viewer.MMControl1->player()->isPlaying(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(viewer.MMControl1->player()->positionMs() > 200, 20000);

        std::sort(times.begin(), times.end());
        qInfo("%lld selections: median %lld ms, 99th percentile %lld ms, longest %lld ms",
              qint64(times.size()), times[times.size() / 2], times[times.size() * 99 / 100],
              times.last());
    }
};

QTEST_MAIN(MediaStressTest)
#include "tst_mediastress.moc"
