#include "controls/MediaControl.h"
#include "support/MediaFixtures.h"
#include "support/TempTree.h"

#include <QMediaPlayer>
#include <QtTest>

using namespace MediaFixtures;

class MediaPlaybackTest : public QObject {
    Q_OBJECT
  private slots:
    void playsAndAdvances_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("wav pcm16") << "tone.wav" << wav(3);
        QTest::newRow("wav pcm8") << "tone8.wav" << wav(3, WavFormat::Pcm8);
        QTest::newRow("wav pcm24") << "tone24.wav" << wav(3, WavFormat::Pcm24);
        QTest::newRow("wav float") << "float.wav" << wav(3, WavFormat::Float32);
        QTest::newRow("wav mu-law") << "mulaw.WAV" << wav(3, WavFormat::MuLaw);
        QTest::newRow("wav ima adpcm") << "adpcm.wav" << wav(3, WavFormat::ImaAdpcm);
        QTest::newRow("au") << "tone.au" << au(3);
        QTest::newRow("mid") << "tune.mid" << midi(3);
        QTest::newRow("avi mjpeg") << "clip.avi" << aviMjpeg(30, 64, 48);
    }
    void playsAndAdvances() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        TempTree tree;
        MediaControl media;
        media.setFileName(tree.write(name, content));
        media.setCommand("Open");
        QVERIFY(media.isOpen());
        media.setCommand("Play");
        QMediaPlayer* player = media.player();
        QTRY_COMPARE_WITH_TIMEOUT(player->playbackState(), QMediaPlayer::PlayingState, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(player->position() > 300, 5000);
        QCOMPARE(player->error(), QMediaPlayer::NoError);
        media.setCommand("Close");
        QVERIFY(!media.isOpen());
        QCOMPARE(player->playbackState(), QMediaPlayer::StoppedState);
    }
};

QTEST_MAIN(MediaPlaybackTest)
#include "tst_mediaplayback.moc"
