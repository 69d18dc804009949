#include "shell/TheViewer.h"

#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/FullScreenPicture.h"
#include "controls/MediaControl.h"
#include "controls/PictureBox.h"
#include "controls/PictureFetcher.h"
#include "controls/RichTextPane.h"
#include "shell/Artwork.h"
#include "system/ErrorTrap.h"
#include "system/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>

namespace {
constexpr int ClientWidth = 8385;
constexpr int ClientHeight = 7755;
constexpr int ClientLeft = 2325;
constexpr int ClientTop = 2205;
constexpr double FileListAllowance = 4500.0;
// The panes' corner, and the margins the design leaves right of the rich-text
// pane and below it, and right of the label; a larger window gives the panes
// and the label the space beyond.
constexpr int PaneLeft = 2640, PaneTop = 600;
constexpr int PaneRightMargin = ClientWidth - 2640 - 5295;
constexpr int PaneBottomMargin = ClientHeight - 600 - 5895;
constexpr int LabelRightMargin = ClientWidth - 7575;
} // namespace

TheViewer::TheViewer(QWidget* parent)
    : QMainWindow(parent), pictureFetcher_(new PictureFetcher(this)) {
    setWindowTitle(QStringLiteral("The Quillory"));
    setWindowIcon(Artwork::programIcon());
    buildControls();
    buildMenus();
    const int menuHeight = menuBar()->sizeHint().height();
    resize(twipsToPixels(ClientWidth), twipsToPixels(ClientHeight) + menuHeight);
    move(twipsToPixels(ClientLeft), twipsToPixels(ClientTop) - menuHeight);
}

TheViewer::~TheViewer() = default;

void TheViewer::buildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    // Stored order; the panes share one corner and at most one shows.
    TextB = new RichTextPane(client);
    TextB->setGeometry(twipsRect(2640, 600, 5295, 5895));
    TextB->hide();
    MMControl1 = new MediaControl(client);
    MMControl1->setGeometry(twipsRect(2640, 600, 3540, 495));
    MMControl1->hide();
    Picture1 = new PictureBox(client);
    Picture1->setGeometry(twipsRect(2640, 600, 1605, 1455));
    Picture1->hide();
    Drive1 = new DriveListBox(client);
    Drive1->setGeometry(twipsRect(0, 600, 2535, 315));
    Dir1 = new DirListBox(client);
    Dir1->setGeometry(twipsRect(0, 960, 2535, 2790));
    File1 = new FileListBox(client);
    File1->setGeometry(twipsRect(0, 3840, 2535, 3795));
    Label1 = new QLabel(client);
    Label1->setGeometry(twipsRect(0, 120, 7575, 375));
    Label1->setTextFormat(Qt::PlainText);

    // Tab order: file list first, where the focus starts.
    Label1->setFocusPolicy(Qt::NoFocus);
    MMControl1->setFocusPolicy(Qt::NoFocus);
    Picture1->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(File1, Dir1);
    setTabOrder(Dir1, Drive1);
    setTabOrder(Drive1, Picture1);
    setTabOrder(Picture1, TextB);
    File1->setFocus();
    // F11 and the zoom keys where the picture area or the file list has the focus.
    new FullScreenPicture(Picture1, File1, this);

    connect(Drive1, &DriveListBox::Change, this, &TheViewer::Drive1_Change, Qt::DirectConnection);
    connect(Dir1, &DirListBox::Change, this, &TheViewer::Dir1_Change, Qt::DirectConnection);
    connect(File1, &FileListBox::Click, this, &TheViewer::File1_Click, Qt::DirectConnection);
}

QAction* TheViewer::addItem(QMenu* menu, const QString& caption, void (TheViewer::*handler)()) {
    QAction* item = menu->addAction(caption);
    connect(item, &QAction::triggered, this, handler);
    return item;
}

QAction* TheViewer::addOption(QMenu* menu, const QString& caption, bool checked,
                              void (TheViewer::*handler)()) {
    QAction* item = menu->addAction(caption);
    item->setCheckable(true);
    item->setChecked(checked);
    // Qt flips the mark before the handler runs; flip it back so that the
    // handler sees the mark as it was and alone decides what it becomes.
    connect(item, &QAction::triggered, this, [this, item, handler](bool nowChecked) {
        item->setChecked(!nowChecked);
        (this->*handler)();
    });
    return item;
}

void TheViewer::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    File = file->menuAction();
    FileDel = addItem(file, QStringLiteral("&Delete"), &TheViewer::FileDel_Click);
    FileDel->setShortcut(QKeySequence(Qt::Key_Delete));
    FileCopy = addItem(file, QStringLiteral("&Copy"), &TheViewer::FileCopy_Click);
    FileExit = addItem(file, QStringLiteral("E&xit"), &TheViewer::FileExit_Click);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    FileOptions = options->menuAction();
    QMenu* text = options->addMenu(QStringLiteral("&Text Files"));
    OptionsText = text->menuAction();
    TextON = addOption(text, QStringLiteral("&ON"), false, &TheViewer::TextON_Click);
    TextOFF = addOption(text, QStringLiteral("&OFF"), true, &TheViewer::TextOFF_Click);
    QMenu* sound = options->addMenu(QStringLiteral("&Sound Files"));
    OptionsSound = sound->menuAction();
    SoundON = addOption(sound, QStringLiteral("&ON"), true, &TheViewer::SoundON_Click);
    SoundOFF = addOption(sound, QStringLiteral("&OFF"), false, &TheViewer::SoundOFF_Click);
    QMenu* video = options->addMenu(QStringLiteral("&Video Files"));
    OptionsVideo = video->menuAction();
    VideoON = addOption(video, QStringLiteral("&ON"), true, &TheViewer::VideoON_Click);
    VideoOFF = addOption(video, QStringLiteral("&OFF"), false, &TheViewer::VideoOFF_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    Help = help->menuAction();
    About = addItem(help, QStringLiteral("&About"), &TheViewer::About_Click);
}

void TheViewer::Load() {
    if (loaded_) return;
    loaded_ = true;
    Form_Load();
}

double TheViewer::Height() const {
    return pixelsToTwips(frameGeometry().height());
}

void TheViewer::Form_Resize() {
    runSkippingFailures({[this] { File1->setHeight(Height() - FileListAllowance); }});
}

QSize TheViewer::paneSpace(QSize client) const {
    return QSize(client.width() - twipsToPixels(PaneLeft + PaneRightMargin),
                 client.height() - twipsToPixels(PaneTop + PaneBottomMargin))
        .expandedTo(QSize(1, 1));
}

void TheViewer::layOutPanes() {
    const QSize client = centralWidget()->size();
    const QSize space = paneSpace(client);
    TextB->resize(space);
    Label1->resize(std::max(1, client.width() - twipsToPixels(LabelRightMargin)), Label1->height());
    // The largest client area this window gets on its screen, when maximised.
    QSize largest;
    if (const QScreen* where = screen())
        largest = paneSpace(where->availableGeometry().size() - (frameGeometry().size() - client))
                      .expandedTo(space);
    Picture1->setSpace(space, largest);
}

void TheViewer::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
    layOutPanes();
}

bool TheViewer::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab go round the controls in their tab order, leaving out
    // any that is hidden, whatever else Qt's focus chain holds.
    QList<QWidget*> round;
    for (QWidget* control :
         {static_cast<QWidget*>(File1), static_cast<QWidget*>(Dir1), static_cast<QWidget*>(Drive1),
          static_cast<QWidget*>(Picture1), static_cast<QWidget*>(TextB)})
        if (control->isVisibleTo(this) && control->isEnabled()) round << control;
    const qsizetype at = round.indexOf(focusWidget());
    if (at < 0 || round.size() < 2) return QMainWindow::focusNextPrevChild(next);
    const qsizetype to = (at + (next ? 1 : round.size() - 1)) % round.size();
    round[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void TheViewer::closeEvent(QCloseEvent* event) {
    if (!ending_) Form_Terminate();
    event->accept();
}
