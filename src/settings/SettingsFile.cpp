#include "settings/SettingsFile.h"

#include "formats/SettingsFormat.h"
#include "shell/Module.h"
#include "system/PlatformError.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>

namespace {

[[noreturn]] void fail(int savedErrno, const QString& detail) {
    if (savedErrno != 0) throwFromErrno(savedErrno, detail);
    throw PlatformError(Err::PathFileAccess, detail);
}

} // namespace

namespace SettingsFile {

QString path() {
    return Module::AppDir + QStringLiteral("viewer.ini");
}

QString read() {
    QFile file(path());
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists()) throw PlatformError(Err::FileNotFound, file.fileName());
        fail(errno, file.fileName());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) fail(errno, file.fileName());
    file.close();

    const SettingsLines lines = SettingsFormat::parse(bytes);
    Module::TextFiles = lines.textFiles;
    Module::SoundFiles = lines.soundFiles;
    Module::VideoFiles = lines.videoFiles;
    return lines.folder;
}

void write(const QString& textFiles, const QString& folder, const QString& soundFiles,
           const QString& videoFiles) {
    const QByteArray bytes =
        SettingsFormat::format(SettingsLines{textFiles, folder, soundFiles, videoFiles});
    QSaveFile file(path());
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) fail(errno, file.fileName());
    if (file.write(bytes) != bytes.size()) {
        const int saved = errno;
        file.cancelWriting();
        fail(saved, file.fileName());
    }
    errno = 0;
    if (!file.commit()) fail(errno, file.fileName());
}

} // namespace SettingsFile
