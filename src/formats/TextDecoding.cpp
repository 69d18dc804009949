#include "formats/TextDecoding.h"

#include "formats/TextDecodingTables.h"

#include <QStringDecoder>

namespace {

const char16_t* singleByteTable(int codePage) {
    if (const char16_t* table = windowsCodePageTable(codePage)) return table;
    return dosCodePageTable(codePage);
}

QString decodeWithTable(QByteArrayView bytes, const char16_t* high) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte < 0x80 ? char16_t(byte) : high[byte - 0x80]);
    }
    return text;
}

// The system's converters (ICU) know the double-byte and rarer pages by one
// of these names.
QStringDecoder systemDecoder(int codePage) {
    for (const char* pattern : {"windows-%1", "ibm-%1", "cp%1"}) {
        const QByteArray name = QByteArray(pattern).replace("%1", QByteArray::number(codePage));
        QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
        if (decoder.isValid()) return decoder;
    }
    return QStringDecoder();
}

QString decodedText(const QByteArray& bytes) {
    // The decoders drop the mark itself.
    if (bytes.startsWith("\xFF\xFE")) return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes);
    if (bytes.startsWith("\xFE\xFF")) return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes);
    switch (unmarkedUtf16(bytes)) {
    case Utf16Guess::LittleEndian:
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes);
    case Utf16Guess::BigEndian:
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes);
    case Utf16Guess::None:
        break;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return decodeUnmarked(bytes);
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes) {
    return decodeWithTable(bytes, windowsCodePageTable(1252));
}

QString decodeCodePage(QByteArrayView bytes, int codePage) {
    if (const char16_t* table = singleByteTable(codePage)) return decodeWithTable(bytes, table);
    if (codePage == 65001) return QString::fromUtf8(bytes);
    if (codePage > 0) {
        if (QStringDecoder decoder = systemDecoder(codePage); decoder.isValid())
            return decoder.decode(bytes);
    }
    return decodeWindows1252(bytes);
}

QString withVisibleNul(QString text) {
    return text.replace(QChar(u'\0'), QChar(0x2400));
}

QString decodeText(const QByteArray& bytes) {
    return withVisibleNul(decodedText(bytes));
}

QString withLineFeeds(QString text) {
    const qsizetype first = text.indexOf(u'\r');
    if (first < 0) return text;
    // One pass in place: QString::replace is far slower on megabytes of CR LF.
    QChar* data = text.data();
    const qsizetype size = text.size();
    qsizetype out = first;
    for (qsizetype in = first; in < size; ++in) {
        if (data[in] != u'\r') {
            data[out++] = data[in];
            continue;
        }
        data[out++] = u'\n';
        if (in + 1 < size && data[in + 1] == u'\n') ++in;
    }
    text.truncate(out);
    return text;
}
