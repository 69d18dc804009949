#include "shell/Artwork.h"
#include "shell/frmSplash.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillory"));
    // Lets desktops match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Quillory"));
    QApplication::setWindowIcon(Artwork::programIcon());
    // quillory [FILE-OR-FOLDER], as a file manager's "Open with" starts it.
    const QStringList arguments = QApplication::arguments();
    (new frmSplash({}, arguments.value(1)))->show();
    return QApplication::exec();
}
