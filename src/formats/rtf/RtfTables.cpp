#include "formats/rtf/RtfTables.h"

#include "formats/TextDecoding.h"
#include "formats/rtf/RtfTokenizer.h"

namespace {
// Bounds that keep a hostile table small.
constexpr qsizetype MaxFonts = 4096;
constexpr qsizetype MaxColors = 4096;
constexpr qsizetype MaxFontName = 256;

// Fonts named for a script ("Arial Cyr", "Times New Roman CE") by writers that
// leave \fcharset out: the name's ending tells the code page.
int codePageOfName(const QString& name) {
    static constexpr struct {
        const char16_t* ending;
        int codePage;
    } Endings[] = {{u" Cyr", 1251},     {u" CE", 1250},          {u" Baltic", 1257},
                   {u" Greek", 1253},   {u" Tur", 1254},         {u"(Hebrew)", 1255},
                   {u"(Arabic)", 1256}, {u" (Vietnamese)", 1258}};
    for (const auto& [ending, codePage] : Endings)
        if (name.endsWith(QStringView(ending), Qt::CaseInsensitive)) return codePage;
    return 0;
}
} // namespace

int rtfCodePageForCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // ANSI, default and symbol fonts follow the document
    }
}

void RtfFontTable::word(const RtfWordInfo& info, const RtfToken& token) {
    switch (info.word) {
    case RtfWord::Font:
        commit();
        index_ = token.param;
        break;
    case RtfWord::FontFamily:
        pending_.hint = QFont::StyleHint(info.value);
        break;
    case RtfWord::FontCharset:
        if (!pending_.codePage) pending_.codePage = rtfCodePageForCharset(token.param);
        break;
    case RtfWord::FontCodePage:
        pending_.codePage = token.param;
        break;
    default:
        break;
    }
}

void RtfFontTable::text(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (c == ';')
            commit();
        else if (name_.size() < MaxFontName)
            name_.append(c);
    }
}

void RtfFontTable::commit() {
    if (index_ >= 0 && (fonts_.contains(index_) || fonts_.size() < MaxFonts)) {
        const int codePage = pending_.codePage ? pending_.codePage : documentCodePage_;
        pending_.name = decodeCodePage(name_, codePage).trimmed();
        if (!pending_.codePage) pending_.codePage = codePageOfName(pending_.name);
        fonts_.insert(index_, pending_);
    }
    index_ = -1;
    pending_ = RtfFont();
    name_.clear();
}

const RtfFont* RtfFontTable::font(int index) const {
    const auto it = fonts_.constFind(index);
    return it == fonts_.cend() ? nullptr : &*it;
}

int RtfFontTable::codePage(int index) const {
    const RtfFont* f = font(index);
    return f && f->codePage ? f->codePage : documentCodePage_;
}

void RtfColorTable::word(const RtfWordInfo& info, const RtfToken& token) {
    const int value = qBound(0, token.param, 255);
    switch (info.word) {
    case RtfWord::Red:
        red_ = value;
        break;
    case RtfWord::Green:
        green_ = value;
        break;
    case RtfWord::Blue:
        blue_ = value;
        break;
    default:
        return;
    }
    given_ = true;
}

void RtfColorTable::text(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (c != ';' || colors_.size() >= MaxColors) continue;
        colors_.append(given_ ? QColor(red_, green_, blue_) : QColor());
        red_ = green_ = blue_ = 0;
        given_ = false;
    }
}

QColor RtfColorTable::color(int index) const {
    return index >= 0 && index < colors_.size() ? colors_[index] : QColor();
}
