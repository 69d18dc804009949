#include "controls/TextFileContent.h"

#include "formats/TextDecoding.h"
#include "formats/rtf/RtfReader.h"
#include "formats/worddoc/CompoundFile.h"
#include "formats/worddoc/WordText.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QFile>

namespace {
// A text-type file beyond this is shown from its start only.
constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
// Read in parts, so that a dropped read stops soon.
constexpr qint64 ReadChunk = 1024 * 1024;
} // namespace

int openTextFile(const QString& path) {
    try {
        return FileNames::openRegularFile(path).release();
    } catch (const PlatformError& e) {
        if (e.number() == Err::FileNotFound) throw;
        throw PlatformError(Err::PermissionDenied, e.detail()); // the control's one other refusal
    }
}

qint64 textFileBytes(int fd) {
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) return 0;
    return qMin(file.size(), MaxFileBytes);
}

TextFileContent readTextFile(int fd, bool nfo, const std::atomic_bool& dropped) {
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw PlatformError(Err::DeviceIO, file.errorString());
    const qint64 size = qMin(file.size(), MaxFileBytes);
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size && !dropped) {
        const qint64 got = file.read(bytes.data() + done, qMin(ReadChunk, size - done));
        if (got < 0) throw PlatformError(Err::DeviceIO, file.errorString());
        if (got == 0) break; // the file got shorter
        done += got;
    }
    if (dropped) return {};
    bytes.truncate(done);
    return textFileContent(bytes, nfo);
}

TextFileContent textFileContent(const QByteArray& bytes, bool nfo) {
    if (isRtf(bytes)) return {TextFileContent::Rtf, bytes, {}};
    if (isCompoundFile(bytes)) {
        const std::optional<QString> text = wordDocumentText(bytes);
        if (!text) return {};
        return {TextFileContent::Plain, {}, *text};
    }
    if (nfo) return {TextFileContent::Nfo, {}, decodeCodePage(bytes, 437)};
    if (looksBinary(bytes)) return {};
    return {TextFileContent::Plain, {}, decodeText(bytes)};
}
