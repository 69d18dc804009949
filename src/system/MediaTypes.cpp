#include "system/MediaTypes.h"

#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QFile>
#include <QFileInfo>

namespace {

struct MediaType {
    const char* extension;
    MediaKind kind;
    bool (*matches)(const QByteArray& head);
};

bool isRiff(const QByteArray& head, const char* form) {
    return head.startsWith("RIFF") && head.mid(8, 4) == form;
}
bool isWave(const QByteArray& h) { return isRiff(h, "WAVE"); }
bool isAu(const QByteArray& h) { return h.startsWith(".snd"); }
bool isMidi(const QByteArray& h) { return h.startsWith("MThd") || isRiff(h, "RMID"); }
bool isAvi(const QByteArray& h) { return isRiff(h, "AVI "); }
bool isMpegStream(const QByteArray& h) {
    return h.startsWith(QByteArray("\x00\x00\x01\xba", 4)) ||
           h.startsWith(QByteArray("\x00\x00\x01\xb3", 4));
}
bool isMp3(const QByteArray& h) {
    return h.startsWith("ID3") ||
           (h.size() >= 2 && uchar(h[0]) == 0xff && (uchar(h[1]) & 0xe0) == 0xe0);
}

constexpr MediaType Types[] = {
    {"wav", MediaKind::Sound, isWave},  {"au", MediaKind::Sound, isAu},
    {"snd", MediaKind::Sound, isAu},    {"mid", MediaKind::Sound, isMidi},
    {"midi", MediaKind::Sound, isMidi}, {"rmi", MediaKind::Sound, isMidi},
    {"mp3", MediaKind::Sound, isMp3},   {"avi", MediaKind::Video, isAvi},
    {"mpg", MediaKind::Video, isMpegStream}, {"mpeg", MediaKind::Video, isMpegStream},
};

} // namespace

MediaKind mediaKindOf(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    for (const MediaType& type : Types) {
        if (extension != QLatin1String(type.extension)) continue;
        QFile file;
        try {
            file.open(FileNames::openRegularFile(path).release(), QIODevice::ReadOnly,
                      QFileDevice::AutoCloseHandle);
        } catch (const PlatformError&) {
            return MediaKind::None;
        }
        return type.matches(file.read(16)) ? type.kind : MediaKind::None;
    }
    return MediaKind::None;
}
