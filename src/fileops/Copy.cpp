#include "fileops/Copy.h"

#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/MessageBox.h"
#include "fileops/CopyInBackground.h"
#include "fileops/SafeCopy.h"
#include "shell/Module.h"
#include "system/FileNames.h"
#include "system/Paths.h"
#include "system/PlatformError.h"
#include "system/Twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>

namespace {
constexpr int ClientWidth = 4965;
constexpr int ClientHeight = 3135;
const QString ErrorTitle = QStringLiteral("Error..");
} // namespace

Copy::Copy(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Copy File"));
    setModal(false);
    setFixedSize(twipsToPixels(ClientWidth), twipsToPixels(ClientHeight));
}

Copy* Copy::of(QWidget* mainWindow) {
    auto* dialog = mainWindow->findChild<Copy*>(QString(), Qt::FindDirectChildrenOnly);
    return dialog ? dialog : new Copy(mainWindow);
}

void Copy::buildControls() {
    // A loaded dialog starts with new lists on the current drive and folder.
    delete Drive1;
    delete Dir1;
    delete Command1;
    Drive1 = new DriveListBox(this);
    Drive1->setGeometry(twipsRect(0, 0, 4935, 315));
    Dir1 = new DirListBox(this);
    Dir1->setGeometry(twipsRect(0, 360, 4935, 2340));
    Command1 = new QPushButton(QStringLiteral("Copy"), this);
    Command1->setGeometry(twipsRect(0, 2760, 4935, 375));
    setTabOrder(Command1, Drive1);
    setTabOrder(Drive1, Dir1);
    connect(Drive1, &DriveListBox::Change, this, &Copy::Drive1_Change, Qt::DirectConnection);
    connect(Command1, &QPushButton::clicked, this, &Copy::Command1_Click);
    connect(Dir1, &DirListBox::Change, this, [this] { removeStaleCopies(Dir1->Path()); });
}

void Copy::showFor(const QString& sourcePath, const QString& sourceName) {
    sourcePath_ = sourcePath;
    sourceName_ = sourceName;
    if (!loaded_) {
        buildControls();
        loaded_ = true;
        Form_Load();
        centreOnMainWindow();
        Command1->setFocus();
    } else {
        // The button always names the file it copies.
        showCaption();
    }
    show();
    raise();
    activateWindow();
}

void Copy::centreOnMainWindow() {
    // The dialog's own frame is unknown before it is shown; the main window's
    // frame, drawn by the same window manager, is the best guess for it.
    const QWidget* main = parentWidget();
    const QRect outer = main->frameGeometry();
    const QRect inner = main->geometry();
    const QSize border(outer.width() - inner.width(), outer.height() - inner.height());
    QRect frame(QPoint(), size() + border);
    frame.moveCenter(outer.center());
    move(frame.topLeft());
}

void Copy::showCaption() {
    QString name = FileNames::display(sourceName_);
    name.replace(QLatin1Char('&'), QLatin1String("&&")); // a name's "&" is no access key
    Command1->setText(QStringLiteral("Copy: ") + name + QStringLiteral(" to selected directory"));
}

void Copy::Form_Load() {
    showCaption();
    // Whatever folder it opens on loses what copies killed there long ago left.
    const auto sweep = qScopeGuard([this] { removeStaleCopies(Dir1->Path()); });
    const QString& last = Module::LastCopyDir;
    if (last.isEmpty()) return;
    try {
        Dir1->setPath(last);
    } catch (const PlatformError&) {
        return; // the folder has gone: open on the current drive and folder
    }
    // The folder list is already where it should be; the drive list only follows.
    const QSignalBlocker quiet(Drive1);
    Drive1->setDrive(last);
}

void Copy::Drive1_Change() {
    try {
        Dir1->setPath(Drive1->Drive());
    } catch (const PlatformError& e) {
        if (e.number() == Err::DeviceUnavailable)
            MsgBox(QStringLiteral("Please insert a disk, this drive is not accessable"),
                   Mb::Exclamation, ErrorTitle);
    }
}

void Copy::copyStep() {
    Module::LastCopyDir = withTrailingSeparator(Dir1->Path());
    const QString source = sourcePath_, target = Module::LastCopyDir + sourceName_;
    copying_ = true;
    Command1->setEnabled(false);
    const auto done = qScopeGuard([this] {
        copying_ = false;
        if (Command1) Command1->setEnabled(true);
    });
    copyInBackground(this, source, target, FileNames::display(sourceName_));
    Unload();
}

void Copy::Command1_Click() {
    if (copying_) return;
    try {
        copyStep();
        return;
    } catch (const CopyCancelled&) {
        return; // the user's own choice; the target is as it was
    } catch (const PlatformError& e) {
        if (e.number() == Err::PermissionDenied) {
            MsgBox(QStringLiteral("Can't copy: target file(name) in use.."), Mb::Exclamation,
                   ErrorTitle);
            return;
        }
    }
    // One more try, in case the hitch has passed; a second failure is told,
    // since closing quietly would pass for a copy that was made.
    try {
        copyStep();
    } catch (const CopyCancelled&) {
    } catch (const PlatformError& e) {
        const QString reason =
            e.detail().isEmpty() ? QStringLiteral("error %1").arg(e.number()) : e.detail();
        MsgBox(QStringLiteral("Can't copy: ") + FileNames::display(reason), Mb::Exclamation,
               ErrorTitle);
    }
}

void Copy::Unload() {
    loaded_ = false;
    hide();
}

void Copy::reject() {
    if (!copying_) Unload(); // a running copy is stopped by its Cancel button
}

void Copy::keyPressEvent(QKeyEvent* event) {
    // Enter reaches the dialog only from a list, which has already acted on
    // it (the folder list opens its folder): the button copies only when it
    // has the focus or is clicked, never as the dialog's default.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Copy::closeEvent(QCloseEvent* event) {
    if (copying_) {
        event->ignore();
        return;
    }
    Unload();
    event->accept();
}
