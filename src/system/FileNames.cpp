#include "system/FileNames.h"

#include "system/PlatformError.h"

#include <QByteArrayView>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char16_t EscapeBase = 0xDC00; // + the byte, for bytes 0x80..0xFF
constexpr char16_t Replacement = 0xFFFD;

bool isContinuation(uchar b) {
    return (b & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at s (at most n bytes), or 0.
// Overlong forms, surrogates and code points past U+10FFFF are not well formed.
int sequenceLength(const uchar* s, qsizetype n) {
    const uchar b = s[0];
    if (b < 0x80) return 1;
    int length = 0;
    uchar low = 0x80, high = 0xBF; // bounds of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (n < length || s[1] < low || s[1] > high) return 0;
    for (int i = 2; i < length; ++i)
        if (!isContinuation(s[i])) return 0;
    return length;
}

bool isEscape(char16_t c) {
    return c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF;
}

// An escaped byte stands alone: after a high surrogate the same unit is the
// second half of a character past U+FFFF (U+1F480 ends in U+DC80).
bool isEscapeAt(const char16_t* s, qsizetype i) {
    return isEscape(s[i]) && !(i > 0 && QChar::isHighSurrogate(s[i - 1]));
}

} // namespace

namespace FileNames {

QString decode(const char* bytes, qsizetype size) {
    if (QByteArrayView(bytes, size).isValidUtf8()) return QString::fromUtf8(bytes, size);
    const auto* s = reinterpret_cast<const uchar*>(bytes);
    QString text;
    text.reserve(size);
    qsizetype at = 0;
    while (at < size) {
        const int length = sequenceLength(s + at, size - at);
        if (length == 0) {
            text.append(QChar(char16_t(EscapeBase + s[at])));
            ++at;
        } else {
            text.append(QString::fromUtf8(bytes + at, length));
            at += length;
        }
    }
    return text;
}

QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}

QByteArray encode(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    const auto* s = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (!isEscapeAt(s, i)) continue;
        bytes += QStringView(s + runStart, i - runStart).toUtf8();
        bytes += char(s[i] - EscapeBase);
        runStart = i + 1;
    }
    bytes += QStringView(s + runStart, n - runStart).toUtf8();
    return bytes;
}

QString display(const QString& text) {
    const auto* s = reinterpret_cast<const char16_t*>(text.utf16());
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isEscapeAt(s, i)) continue;
        if (shown.isNull()) shown = text;
        shown[i] = QChar(Replacement);
    }
    return shown.isNull() ? text : shown;
}

QUrl fileUrl(const QString& path) {
    return QUrl::fromEncoded("file://" + encode(path).toPercentEncoding("/"), QUrl::StrictMode);
}

QString currentPath() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return QStringLiteral("/");
        buffer.resize(buffer.size() * 2);
    }
    return decode(QByteArray(buffer.data()));
}

FileHandle openRegularFile(const QString& path) {
    const QByteArray native = encode(path);
    // A device is not even opened: opening some has effects of its own.
    struct stat before {};
    if (::stat(native.constData(), &before) != 0) throwFromErrno(errno, path);
    if (!S_ISREG(before.st_mode)) throw PlatformError(Err::PathFileAccess, path);
    // O_NONBLOCK: should the name become a pipe meanwhile, opening it must not wait.
    FileHandle file(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file) throwFromErrno(errno, path);
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0 || !S_ISREG(st.st_mode))
        throw PlatformError(Err::PathFileAccess, path);
    ::fcntl(file.fd(), F_SETFL, ::fcntl(file.fd(), F_GETFL) & ~O_NONBLOCK);
    return file;
}

} // namespace FileNames
