#include "system/FileNames.h"

#include <QtTest>

class FileNamesTest : public QObject {
    Q_OBJECT
  private slots:
    // Every byte string comes back whole; what is not UTF-8 shows as U+FFFD.
    void roundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const QByteArray& bytes, const char* shown) {
            QTest::newRow(name) << bytes << QString::fromUtf8(shown);
        };
        row("ASCII", "clip.wav", "clip.wav");
        row("UTF-8, two to four bytes", "Gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x8e\xb5",
            "Grüß € 🎵");
        row("Latin-1", "bad\xff.txt", "bad\xef\xbf\xbd.txt");
        row("replacement character itself", "bad\xef\xbf\xbd.txt", "bad\xef\xbf\xbd.txt");
        row("CP437 box drawing", "\xb3\xba\xc4", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
        row("overlong slash", "a\xc0\xaf", "a\xef\xbf\xbd\xef\xbf\xbd");
        row("encoded surrogate", "\xed\xb3\xbf", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
        row("past U+10FFFF", "\xf4\x90\x80\x80",
            "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
        row("cut-off sequence at the end", "x\xe2\x82", "x\xef\xbf\xbd\xef\xbf\xbd");
        row("continuation byte alone", "\x80y", "\xef\xbf\xbdy");
        // U+1F480 and U+EBCEB are surrogate pairs whose second half looks
        // like an escaped byte.
        row("four bytes ending in U+DC80", "\xf0\x9f\x92\x80.txt", "\xf0\x9f\x92\x80.txt");
        row("four bytes ending in U+DCEB, then a bad byte", "\xf3\xab\xb3\xab\xab",
            "\xf3\xab\xb3\xab\xef\xbf\xbd");
    }
    void roundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString text = FileNames::decode(bytes);
        QCOMPARE(FileNames::encode(text), bytes);
        QCOMPARE(FileNames::display(text), shown);
    }

    // Two names that differ in bytes never share a text.
    void distinctBytesDistinctText() {
        QVERIFY(FileNames::decode(QByteArray("bad\xff.txt")) !=
                FileNames::decode(QByteArray("bad\xef\xbf\xbd.txt")));
        QVERIFY(FileNames::decode(QByteArray("\xed\xb3\xbf")) != QString(QChar(0xDCFF)));
    }

    void urlKeepsBytes() {
        const QUrl url = FileNames::fileUrl(FileNames::decode(QByteArray("/m\xfcsic/a b.wav")));
        QCOMPARE(url.toEncoded(), QByteArray("file:///m%FCsic/a%20b.wav"));
    }
};

QTEST_GUILESS_MAIN(FileNamesTest)
#include "tst_filenames.moc"
