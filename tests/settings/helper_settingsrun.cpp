// A short run of the viewer against the program folder named on the command
// line: start, switch sound files off, File, Exit. Prints where the settings
// went and every message box. tst_settingsplace starts it as an unprivileged
// user, since root may write where no user can.
#include "controls/FileListBox.h"
#include "settings/ProgramEnd.h"
#include "settings/SettingsLocation.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "support/MsgBoxRecorder.h"

#include <QAction>
#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillory"));
    if (argc < 2) return 2;
    const QString programFolder = QString::fromLocal8Bit(argv[1]);
    SettingsLocation::setApplicationPathProvider([programFolder] { return programFolder; });
    int ends = 0;
    ProgramEnd::setEnder([&ends] { ++ends; });

    QTextStream out(stdout);
    MsgBoxRecorder boxes;
    {
        TheViewer viewer;
        viewer.Load();
        out << "APPDIR " << Module::AppDir << "\n";
        viewer.SoundOFF->trigger();
        out << "FILTER " << viewer.File1->Pattern() << "\n";
        viewer.FileExit->trigger();
    }
    for (const MsgBoxRecorder::Box& box : boxes.boxes)
        out << "BOX " << box.title << ":" << box.code << "\n";
    out << "ENDS " << ends << "\n";
    return 0;
}
