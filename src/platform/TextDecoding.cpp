#include "platform/TextDecoding.h"

#include "platform/TextDecodingTables.h"

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

// Names the system's converters know the double-byte pages by.
const char* multiByteName(int codePage) {
    switch (codePage) {
    case 932:
        return "windows-932";
    case 936:
        return "windows-936";
    case 949:
        return "windows-949";
    case 950:
        return "windows-950";
    case 1361:
        return "johab";
    default:
        return nullptr;
    }
}

bool hasUtf16Mark(const QByteArray& bytes) {
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes) {
    return decodeWithTable(bytes, windowsCodePageTable(1252));
}

QString decodeCodePage(QByteArrayView bytes, int codePage) {
    if (const char16_t* table = singleByteTable(codePage)) return decodeWithTable(bytes, table);
    if (codePage == 65001) return QString::fromUtf8(bytes);
    if (const char* name = multiByteName(codePage)) {
        QStringDecoder decoder(name, QStringDecoder::Flag::Stateless);
        if (decoder.isValid()) return decoder.decode(bytes);
    }
    return decodeWindows1252(bytes);
}

QString decodeText(const QByteArray& bytes) {
    // The decoders drop the mark itself.
    if (bytes.startsWith("\xFF\xFE")) return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes);
    if (bytes.startsWith("\xFE\xFF")) return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return decodeWindows1252(bytes);
}

QString withLineFeeds(QString text) {
    if (!text.contains(u'\r')) return text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

bool looksBinary(const QByteArray& bytes) {
    if (hasUtf16Mark(bytes)) return false;
    return QByteArrayView(bytes).first(qMin<qsizetype>(bytes.size(), 64 * 1024)).contains('\0');
}
