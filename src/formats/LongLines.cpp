#include "formats/LongLines.h"

qsizetype paragraphPiece(QStringView text, qsizetype room) {
    if (text.size() <= room) return text.size();
    if (room <= 0) return 0;
    for (qsizetype i = room - 1; i >= room / 2; --i) {
        if (text[i].isSpace()) return i + 1;
    }
    return text[room].isLowSurrogate() ? room - 1 : room;
}

QString breakLongLines(QStringView text, qsizetype& column) {
    QString out;
    out.reserve(text.size() + text.size() / MaxParagraphChars + 1);
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype feed = text.indexOf(u'\n', at);
        const qsizetype lineEnd = feed < 0 ? text.size() : feed;
        while (column + (lineEnd - at) > MaxParagraphChars) {
            const qsizetype piece =
                paragraphPiece(text.sliced(at, lineEnd - at), MaxParagraphChars - column);
            out += text.sliced(at, piece);
            out += u'\n';
            at += piece;
            column = 0;
        }
        out += text.sliced(at, lineEnd - at);
        column += lineEnd - at;
        at = lineEnd;
        if (feed >= 0) {
            out += u'\n';
            column = 0;
            ++at;
        }
    }
    return out;
}
