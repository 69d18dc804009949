#include "system/Wildcard.h"

#include <QtTest>

class WildcardTest : public QObject {
    Q_OBJECT
  private slots:
    void match_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("suffix") << "*.jpg" << "photo.jpg" << true;
        QTest::newRow("suffix any case") << "*.jpg" << "PHOTO.JpG" << true;
        QTest::newRow("other suffix") << "*.jpg" << "photo.jpeg" << false;
        QTest::newRow("suffix must end the name") << "*.jpg" << "photo.jpg.txt" << false;
        QTest::newRow("dot in the middle") << "*.txt" << "a.b.txt" << true;
        QTest::newRow("question mark is one char") << "?.au" << "x.au" << true;
        QTest::newRow("question mark not zero") << "?.au" << ".au" << false;
        QTest::newRow("star matches empty") << "*.au" << ".au" << true;
        QTest::newRow("backtracking") << "*a*b*c" << "aXbYaZbQc" << true;
        QTest::newRow("backtracking fails") << "*a*b*c" << "aXbYaZbQ" << false;
        QTest::newRow("non-latin case") << "*.ÄÖ" << "x.äö" << true;
        QTest::newRow("literal name") << "readme" << "README" << true;
        QTest::newRow("empty pattern") << "" << "a" << false;
    }
    void match() {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(wildcardMatch(pattern, name), matches);
    }

    void patternList() {
        const QStringList patterns = splitPatterns("*.tif;*.bmp;;*.avi");
        QCOMPARE(patterns, QStringList({"*.tif", "*.bmp", "*.avi"}));
        QVERIFY(matchesAny(patterns, u"clip.AVI"));
        QVERIFY(!matchesAny(patterns, u"clip.wav"));
    }

    void longNamesStayLinear() {
        // A pathological name must not take exponential time.
        const QString name = QString(5000, 'a');
        QVERIFY(!wildcardMatch(QStringLiteral("*a*a*a*a*a*a*b"), name));
    }
};

QTEST_GUILESS_MAIN(WildcardTest)
#include "tst_wildcard.moc"
