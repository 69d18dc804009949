#include "shell/TheViewer.h"
#include "shell/frmSplash.h"
#include "support/MsgBoxRecorder.h"
#include "system/Twips.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

class SplashTest : public QObject {
    Q_OBJECT
  private slots:
    void layoutAndTexts() {
        MsgBoxRecorder boxes;
        frmSplash splash([] { return new TheViewer; });
        splash.Timer1->stop();
        QCOMPARE(splash.size(), QSize(twipsToPixels(7320), twipsToPixels(2385)));
        QCOMPARE(splash.minimumSize(), splash.maximumSize()); // cannot be resized
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.windowType(), Qt::SplashScreen); // no task-bar button
        QCOMPARE(splash.Timer1->interval(), 2000);
        QCOMPARE(splash.Frame1->geometry(), twipsRect(0, 0, 7305, 2355));
        QCOMPARE(splash.lblVersion->text(), QString("Version: 1.1"));
        QCOMPARE(splash.lblProductName->text(), QString("The Quillory"));
        QCOMPARE(splash.lblCompanyProduct->text(), QString("Tarnwick presents:"));
        QVERIFY(!splash.lblCopyright->text().contains(' ')); // one word
        QVERIFY(splash.lblCompany->text().contains("Tarnwick"));
        QVERIFY(splash.lblVersion->font().bold());
        QCOMPARE(splash.lblVersion->font().pointSizeF(), 12.0);
        QVERIFY(splash.lblVersion->alignment() & Qt::AlignRight);
        QVERIFY(splash.lblProductName->font().italic());
        QCOMPARE(splash.lblProductName->font().pointSizeF(), 18.0);
        QCOMPARE(splash.lblCompanyProduct->font().pointSizeF(), 14.25);
        QCOMPARE(splash.lblCopyright->font().pointSizeF(), 8.25);
        // Auto-sized labels keep their corner and fit their text.
        QCOMPARE(splash.lblProductName->pos(), twipsRect(2760, 1440, 0, 0).topLeft());
        QVERIFY(splash.lblProductName->width() >= splash.lblProductName->sizeHint().width());
        QVERIFY(!splash.Image1->pixmap().isNull());
        QVERIFY(!splash.Image2->pixmap().isNull());
        QVERIFY(splash.Image1->pixmap().toImage() != splash.Image2->pixmap().toImage());
        QCOMPARE(splash.Image1->pixmap().size(), QSize(32, 32));
    }

    void cannotBeDismissed() {
        MsgBoxRecorder boxes;
        frmSplash splash([] { return new TheViewer; });
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QVERIFY(!splash.close());
        QTest::keyClick(&splash, Qt::Key_Escape);
        QTest::mouseClick(&splash, Qt::LeftButton);
        QVERIFY(splash.isVisible());
        splash.Timer1->stop();
    }

    void timerHandsOverToMainWindowOnce() {
        MsgBoxRecorder boxes;
        int made = 0;
        bool splashGoneFirst = false;
        QPointer<TheViewer> viewer;
        QElapsedTimer clock;
        qint64 stoodNs = 0;
        frmSplash* splash = nullptr;
        splash = new frmSplash([&]() -> TheViewer* {
            stoodNs = clock.nsecsElapsed();
            ++made;
            splashGoneFirst = !splash->isVisible() && splash->isUnloaded() && !splash->Timer1;
            viewer = new TheViewer;
            return viewer;
        });
        clock.start(); // after the timer has started: a lower bound on its time
        QPointer<frmSplash> alive(splash);
        QCOMPARE(splash->Timer1->timerType(), Qt::PreciseTimer);
        splash->show();
        QTest::qWait(1800);
        QCOMPARE(made, 0);
        QVERIFY(splash->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(made, 1, 2000);
        QVERIFY2(stoodNs >= 2000'000'000LL, qPrintable(QString::number(stoodNs)));
        QVERIFY(splashGoneFirst);
        QVERIFY(viewer && viewer->isVisible()); // shown last, after loading
        QTRY_VERIFY(alive.isNull());            // the splash is destroyed
        QTest::qWait(2500);
        QCOMPARE(made, 1);
        viewer->close(); // deletes itself
        QTRY_VERIFY(viewer.isNull());
    }
};

QTEST_MAIN(SplashTest)
#include "tst_splash.moc"
