#include "formats/TextDecoding.h"

#include <QStringDecoder>
#include <memory>
#include <uchardet/uchardet.h>

namespace {
// Enough text for the detector to settle; more costs time and tells little.
constexpr qsizetype DetectBytes = 1024 * 1024;
// Below this many bytes outside ASCII the detector guesses more than it knows
// (three box-drawing bytes read as Greek, say): such a text counts as unsure.
constexpr int LeastEvidence = 4;

bool enoughEvidence(QByteArrayView bytes) {
    int high = 0;
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80 && ++high >= LeastEvidence) return true;
    return false;
}
} // namespace

QByteArray detectedCharset(QByteArrayView bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(
        uchardet_new(), uchardet_delete);
    if (!detector) return {};
    const QByteArrayView sample = bytes.first(qMin(bytes.size(), DetectBytes));
    if (uchardet_handle_data(detector.get(), sample.data(), size_t(sample.size())) != 0) return {};
    uchardet_data_end(detector.get());
    return QByteArray(uchardet_get_charset(detector.get())).toUpper();
}

QString decodeUnmarked(QByteArrayView bytes) {
    if (!enoughEvidence(bytes)) return decodeWindows1252(bytes);
    const QByteArray charset = detectedCharset(bytes);
    // Latin-1 as a guess is Windows-1252 in practice: its 0x80-0x9F are the
    // quotes, dashes and euro sign of Windows texts, not control codes.
    if (charset.isEmpty() || charset == "ASCII" || charset == "ISO-8859-1")
        return decodeWindows1252(bytes);
    if (charset.startsWith("WINDOWS-")) {
        bool ok = false;
        const int codePage = charset.mid(8).toInt(&ok);
        if (ok) return decodeCodePage(bytes, codePage);
    }
    // A set that does not fit every byte (UTF-8 for text that is not) was a bad guess.
    QStringDecoder decoder(charset.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) return decodeWindows1252(bytes);
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? decodeWindows1252(bytes) : text;
}
