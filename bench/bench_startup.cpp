// Start-up: Form_Load with a settings file whose folder holds 10,000 files,
// against listing that folder alone.
#include "BenchUtil.h"
#include "controls/FileListBox.h"
#include "settings/SettingsLocation.h"
#include "shell/TheViewer.h"
#include "system/FolderReader.h"
#include "system/Wildcard.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    const QString folder = root.filePath("pictures");
    QDir().mkpath(folder);
    static const char* endings[] = {".jpg", ".png", ".wav", ".txt"};
    for (int i = 0; i < 10000; ++i) {
        const QString name = folder + QStringLiteral("/img%1%2").arg(i).arg(endings[i % 4]);
        ::close(::open(QFile::encodeName(name).constData(), O_CREAT | O_WRONLY, 0644));
    }
    const QString program = root.filePath("program");
    QDir().mkpath(program);
    SettingsLocation::setApplicationPathProvider([&] { return program; });
    const QByteArray ini = "No\r\n" + QFile::encodeName(folder) + "/\r\nYes\r\nYes\r\n";

    std::unique_ptr<TheViewer> viewer;
    const double ours = bench::medianMs(
        7,
        [&] {
            viewer->Load();
            viewer->File1->ListCount(); // until the list is populated
        },
        [&] {
            QFile file(program + "/viewer.ini");
            file.open(QIODevice::WriteOnly);
            file.write(ini);
            viewer = std::make_unique<TheViewer>(); // the window exists before it loads
        });
    const QStringList patterns = splitPatterns("*.tif;*.bmp;*.gif;*.jpg;*.dib;*.wmf;*.emf;*.ico;*.cur;"
                                               "*.mid;*.wav;*.au;*.avi");
    const double base = bench::medianMs(7, [&] {
        FolderReader::entries(folder, FolderReader::Kind::Files,
                              [&](QStringView name) { return matchesAny(patterns, name); });
    });
    bench::report("Form_Load, stored folder of 10000 files", ours, base, 1.3);
    return 0;
}
