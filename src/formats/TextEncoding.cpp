#include "formats/TextEncoding.h"

#include "formats/TextDecoding.h"

#include <QStringDecoder>

namespace {
bool validUtf8Start(QByteArrayView sample) {
    // Stateful: a sequence cut off at the sample's end is no error.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(sample);
    return !utf8.hasError();
}
} // namespace

TextEncoding TextEncoding::ofSample(QByteArrayView sample, bool nfo) {
    TextEncoding e;
    if (nfo) {
        e.kind_ = CodePage;
        e.codePage_ = 437;
    } else if (sample.startsWith("\xFF\xFE")) {
        e.kind_ = Utf16LE;
        e.markBytes_ = 2;
    } else if (sample.startsWith("\xFE\xFF")) {
        e.kind_ = Utf16BE;
        e.markBytes_ = 2;
    } else if (sample.startsWith("\xEF\xBB\xBF")) {
        e.markBytes_ = 3;
    } else if (const Utf16Guess utf16 = unmarkedUtf16(sample); utf16 != Utf16Guess::None) {
        e.kind_ = utf16 == Utf16Guess::LittleEndian ? Utf16LE : Utf16BE;
    } else if (!validUtf8Start(sample)) {
        // As decodeUnmarked decides for a whole text: a Windows page by its
        // number, another set by its name, Windows-1252 when unsure.
        const QByteArray charset = detectedCharset(sample);
        e.kind_ = CodePage;
        e.codePage_ = 1252;
        if (charset.startsWith("WINDOWS-")) {
            e.codePage_ = charset.mid(8).toInt();
        } else if (!charset.isEmpty() && charset != "ASCII" && charset != "ISO-8859-1" &&
                   QStringDecoder(charset.constData()).isValid()) {
            e.kind_ = Named;
            e.name_ = charset;
        }
    }
    return e;
}

QString TextEncoding::decode(QByteArrayView bytes) const {
    return withVisibleNul(decoded(bytes));
}

QString TextEncoding::decoded(QByteArrayView bytes) const {
    switch (kind_) {
    case Utf8:
        return QString::fromUtf8(bytes);
    case Utf16LE:
        return QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless)
            .decode(bytes.first(bytes.size() & ~1));
    case Utf16BE:
        return QStringDecoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless)
            .decode(bytes.first(bytes.size() & ~1));
    case CodePage:
        return decodeCodePage(bytes, codePage_);
    case Named:
        return QStringDecoder(name_.constData(), QStringDecoder::Flag::Stateless).decode(bytes);
    }
    return {};
}

qsizetype TextEncoding::boundaryFrom(QByteArrayView bytes, qsizetype at) const {
    if (kind_ == Utf8) {
        // Continuation bytes belong to the character before.
        for (int i = 0; i < 3 && at < bytes.size() && (uchar(bytes[at]) & 0xC0) == 0x80; ++i)
            ++at;
    } else if (unitBytes() == 2 && at + 1 < bytes.size()) {
        const uchar high = uchar(bytes[kind_ == Utf16LE ? at + 1 : at]);
        if (high >= 0xDC && high <= 0xDF) at += 2; // a low surrogate
    }
    return at;
}

qsizetype TextEncoding::bytesOfChars(QByteArrayView bytes, qsizetype chars) const {
    if (chars <= 0) return 0;
    if (unitBytes() == 2) return qMin(bytes.size() & ~1, chars * 2);
    if (decode(bytes).size() == bytes.size()) return qMin(bytes.size(), chars);
    // The shortest start that decodes to at least chars characters.
    qsizetype low = 0, high = bytes.size();
    while (low < high) {
        const qsizetype mid = (low + high) / 2;
        if (decode(bytes.first(mid)).size() >= chars)
            high = mid;
        else
            low = mid + 1;
    }
    return boundaryFrom(bytes, low);
}
