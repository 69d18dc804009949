#include "formats/rtf/RtfFormats.h"

#include "formats/rtf/RtfTables.h"

#include <algorithm>

namespace {
// Lengths beyond 22 inches are nonsense in a document; keep them on the page.
constexpr int MaxTwips = 31680;
} // namespace

qreal rtfTwipsToPixels(int twips) {
    return qBound(-MaxTwips, twips, MaxTwips) / 15.0;
}

QTextCharFormat rtfCharFormat(const RtfCharState& state, int defaultFont, const RtfFontTable& fonts,
                              const RtfColorTable& colors) {
    QTextCharFormat format;
    if (const RtfFont* font = fonts.font(state.font < 0 ? defaultFont : state.font)) {
        if (!font->name.isEmpty()) format.setFontFamilies(QStringList{font->name});
        format.setFontStyleHint(font->hint);
        if (font->hint == QFont::TypeWriter) format.setFontFixedPitch(true);
    }
    format.setFontPointSize(qBound(2, state.halfPoints, 3276) / 2.0);
    format.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(state.italic);
    format.setFontStrikeOut(state.strike);
    switch (state.underline) {
    case RtfCharState::Single:
        format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        break;
    case RtfCharState::Dotted:
        format.setUnderlineStyle(QTextCharFormat::DotLine);
        break;
    case RtfCharState::Dashed:
        format.setUnderlineStyle(QTextCharFormat::DashUnderline);
        break;
    case RtfCharState::Wave:
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        break;
    case RtfCharState::NoUnderline:
        break;
    }
    if (state.vertical == RtfCharState::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (state.vertical == RtfCharState::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (const QColor fg = colors.color(state.foreground); state.foreground > 0 && fg.isValid())
        format.setForeground(fg);
    if (const QColor bg = colors.color(state.background); state.background > 0 && bg.isValid())
        format.setBackground(bg);
    return format;
}

QTextBlockFormat rtfBlockFormat(const RtfParaState& state) {
    QTextBlockFormat format;
    format.setAlignment(state.alignment);
    format.setLeftMargin(rtfTwipsToPixels(state.leftIndent));
    format.setRightMargin(rtfTwipsToPixels(state.rightIndent));
    format.setTextIndent(rtfTwipsToPixels(state.firstIndent));
    format.setTopMargin(qMax(0.0, rtfTwipsToPixels(state.spaceBefore)));
    format.setBottomMargin(qMax(0.0, rtfTwipsToPixels(state.spaceAfter)));
    if (state.lineSpacing < 0) {
        format.setLineHeight(rtfTwipsToPixels(-state.lineSpacing), QTextBlockFormat::FixedHeight);
    } else if (state.lineSpacing > 0 && state.lineMultiple) {
        const qreal percent = qMin(state.lineSpacing, 240 * 10) * 100.0 / 240.0;
        format.setLineHeight(percent, QTextBlockFormat::ProportionalHeight);
    } else if (state.lineSpacing > 0) {
        format.setLineHeight(rtfTwipsToPixels(state.lineSpacing), QTextBlockFormat::MinimumHeight);
    }
    if (state.rightToLeft) format.setLayoutDirection(Qt::RightToLeft);
    // RTF measures tab stops from the margin, Qt from where the first line
    // starts; a hanging indent is itself a stop, as bullets expect.
    QList<QTextOption::Tab> tabs;
    if (state.firstIndent < 0)
        tabs.append(QTextOption::Tab(-rtfTwipsToPixels(state.firstIndent), QTextOption::LeftTab));
    for (QTextOption::Tab tab : state.tabs) {
        const qint64 fromLineStart = qint64(tab.position) - state.leftIndent - state.firstIndent;
        tab.position =
            rtfTwipsToPixels(int(qBound(qint64(-MaxTwips), fromLineStart, qint64(MaxTwips))));
        if (tab.position > 0) tabs.append(tab);
    }
    std::sort(tabs.begin(), tabs.end(),
              [](const auto& a, const auto& b) { return a.position < b.position; });
    if (!tabs.isEmpty()) format.setTabPositions(tabs);
    return format;
}
