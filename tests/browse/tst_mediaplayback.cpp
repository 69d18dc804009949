#include "controls/MediaControl.h"
#include "controls/VideoWindow.h"
#include "media/GstPlayer.h"
#include "support/MediaFixtures.h"
#include "support/TempTree.h"

#include <QtTest>

using namespace MediaFixtures;

class MediaPlaybackTest : public QObject {
    Q_OBJECT
  private slots:
    void playsAndAdvances_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("pictures");
        QTest::newRow("wav pcm16") << "tone.wav" << wav(3) << false;
        QTest::newRow("wav pcm8") << "tone8.wav" << wav(3, WavFormat::Pcm8) << false;
        QTest::newRow("wav pcm24") << "tone24.wav" << wav(3, WavFormat::Pcm24) << false;
        QTest::newRow("wav float") << "float.wav" << wav(3, WavFormat::Float32) << false;
        QTest::newRow("wav mu-law") << "mulaw.WAV" << wav(3, WavFormat::MuLaw) << false;
        QTest::newRow("wav ima adpcm") << "adpcm.wav" << wav(3, WavFormat::ImaAdpcm) << false;
        QTest::newRow("au") << "tone.au" << au(3) << false;
        QTest::newRow("mid") << "tune.mid" << midi(3) << false;
        QTest::newRow("avi mjpeg") << "clip.avi" << aviMjpeg(30, 64, 48) << true;
        QTest::newRow("avi mpeg-4") << "mpeg4.avi" << encodedAvi("avenc_mpeg4", 30) << true;
        QTest::newRow("avi ms mpeg-4") << "divx3.avi" << encodedAvi("avenc_msmpeg4", 30) << true;
        QTest::newRow("avi huffyuv")
            << "huffyuv.avi" << encodedAvi("avenc_huffyuv", 30, true) << true;
        // Pictures no decoder takes: the sound plays alone, without a window.
        QTest::newRow("avi, sound only decodes")
            << "vp9.avi" << withVideoCodec(encodedAvi("jpegenc", 30, true), "VP90") << false;
    }
    void playsAndAdvances() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, pictures);
        QVERIFY(!content.isEmpty());
        TempTree tree;
        MediaControl media;
        media.setFileName(tree.write(name, content));
        media.setCommand("Open");
        QVERIFY(media.isOpen());
        media.setCommand("Play");
        // MIDI first loads a sound font, which takes seconds under the sanitizers.
        QTRY_VERIFY_WITH_TIMEOUT(media.player()->isPlaying(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(media.player()->positionMs() > 300, 30000);
        QVERIFY(media.isOpen());
        if (pictures) {
            QTRY_VERIFY_WITH_TIMEOUT(media.videoWindow() && media.videoWindow()->isVisible(),
                                     30000);
            QCOMPARE(media.videoWindow()->windowTitle(), name);
            QCOMPARE(media.videoWindow()->size(), QSize(320, 240));
            QCOMPARE(media.videoWindow()->picture().size(), QSize(64, 48));
        } else {
            QVERIFY(!media.videoWindow());
        }
        media.setCommand("Close");
        QVERIFY(!media.isOpen());
        QVERIFY(!media.videoWindow());
    }

    void unplayableFailsOpenQuietly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("avi, codec unknown")
            << "vp9.avi" << withVideoCodec(aviMjpeg(10, 64, 48), "VP90");
        QTest::newRow("wav, no sound inside")
            << "noise.wav" << QByteArray("RIFF....WAVEfmt garbage");
        // The demuxer waits for data that never comes and posts no error.
        QTest::newRow("avi, headers cut") << "cut.avi" << aviMjpeg(10, 64, 48).left(100);
    }
    void unplayableFailsOpenQuietly() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        TempTree tree;
        MediaControl media;
        media.setFileName(tree.write(name, content));
        media.setCommand("Open");
        media.setCommand("Play");
        // "Open" waits only so long: on a slow machine the failure, or the
        // preroll deadline, comes after it has returned, and then closes the
        // device by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!media.isOpen(), 60000);
        QVERIFY(!media.videoWindow());
    }

    void windowSize_data() {
        QTest::addColumn<QSize>("video");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("window");
        QTest::newRow("small, grown") << QSize(64, 48) << QSize(1920, 1080) << QSize(320, 240);
        QTest::newRow("portrait, grown") << QSize(48, 64) << QSize(1920, 1080) << QSize(240, 320);
        QTest::newRow("own size") << QSize(640, 480) << QSize(1920, 1080) << QSize(640, 480);
        QTest::newRow("large, shrunk") << QSize(1600, 1200) << QSize(1024, 768) << QSize(768, 576);
        QTest::newRow("wide, shrunk") << QSize(2000, 100) << QSize(1024, 768) << QSize(768, 38);
        QTest::newRow("tiny screen wins") << QSize(64, 48) << QSize(200, 200) << QSize(150, 113);
    }
    void windowSize() {
        QFETCH(QSize, video);
        QFETCH(QSize, screen);
        QFETCH(QSize, window);
        QCOMPARE(VideoWindow::sizeFor(video, screen), window);
    }

    void windowCentredOnMainWindowAndClosingStops() {
        TempTree tree;
        QWidget main;
        main.setGeometry(40, 60, 500, 400);
        auto* media = new MediaControl(&main);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        media->setFileName(tree.write("clip.avi", aviMjpeg(40, 64, 48)));
        media->setCommand("Open");
        media->setCommand("Play");
        QTRY_VERIFY_WITH_TIMEOUT(media->videoWindow() && media->videoWindow()->isVisible(), 30000);
        VideoWindow* window = media->videoWindow();
        QVERIFY(
            (window->frameGeometry().center() - main.frameGeometry().center()).manhattanLength() <=
            2);
        window->close();
        QVERIFY(!media->isOpen());
        QVERIFY(!media->videoWindow());
    }
};

QTEST_MAIN(MediaPlaybackTest)
#include "tst_mediaplayback.moc"
