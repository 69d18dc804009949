#include "shell/frmSplash.h"

#include "shell/Artwork.h"
#include "shell/TheViewer.h"
#include "system/Twips.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace {
QFont designFont(const QString& family, double points, bool bold, bool italic) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
} // namespace

frmSplash::frmSplash(std::function<TheViewer*()> createMain, QString given)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
      createMain_(std::move(createMain)), given_(std::move(given)) {
    setWindowIcon(Artwork::programIcon());
    setFixedSize(twipsToPixels(7320), twipsToPixels(2385));
    move(twipsToPixels(2535), twipsToPixels(2295));
    setFocusPolicy(Qt::NoFocus);

    Frame1 = new QFrame(this);
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1->setGeometry(twipsRect(0, 0, 7305, 2355));

    Image2 = new QLabel(Frame1);
    Image2->setGeometry(twipsRect(6360, 1560, 480, 480));
    Image2->setPixmap(Artwork::reelPicture());
    Image1 = new QLabel(Frame1);
    Image1->setGeometry(twipsRect(600, 240, 480, 480));
    Image1->setPixmap(Artwork::quillPicture());

    const QString arial = QStringLiteral("Arial");
    lblCopyright = addLabel(QRect(5400, 240, 1095, 255), QStringLiteral("Copyright"),
                            designFont(arial, 8.25, false, false), false);
    lblCompany = addLabel(QRect(5640, 480, 1575, 255), QStringLiteral("Tarnwick 2026"),
                          designFont(arial, 8.25, false, false), false);
    lblVersion = addLabel(QRect(120, 2040, 1365, 285), QStringLiteral("Version: 1.1"),
                          designFont(arial, 12, true, false), true);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblProductName = addLabel(QRect(2760, 1440, 3480, 405), QStringLiteral("The Quillory"),
                              designFont(QStringLiteral("Times New Roman"), 18, false, true), true);
    lblCompanyProduct = addLabel(QRect(1320, 1080, 2670, 345), QStringLiteral("Tarnwick presents:"),
                                 designFont(arial, 14.25, false, true), true);

    Timer1 = new QTimer(this);
    Timer1->setInterval(2000);
    // A coarse timer may fire up to 5% early; the splash stands its full two seconds.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1->start();
}

QLabel* frmSplash::addLabel(const QRect& twips, const QString& text, const QFont& font,
                            bool autoSize) {
    auto* label = new QLabel(text, Frame1);
    label->setFont(font);
    label->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    // Sizes itself to its text, its top left corner staying put.
    if (autoSize) label->resize(label->sizeHint());
    return label;
}

void frmSplash::Timer1_Timer() {
    setVisible(false);
    Unload();
    TheViewer* viewer = createMain_ ? createMain_() : new TheViewer;
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->Load();
    viewer->show();
    if (!given_.isEmpty()) viewer->showGiven(given_);
}

void frmSplash::Unload() {
    // The timer goes with the form, so it never fires again.
    Timer1->stop();
    Timer1->deleteLater();
    Timer1 = nullptr;
    unloaded_ = true;
    deleteLater();
}

void frmSplash::closeEvent(QCloseEvent* event) {
    // Nothing but the timer ends the splash.
    event->ignore();
}
