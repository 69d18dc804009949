#pragma once

#include "formats/rtf/RtfState.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>

class RtfFontTable;
class RtfColorTable;

// Document units are pixels at 96 dpi: 15 twips each.
qreal rtfTwipsToPixels(int twips);

QTextCharFormat rtfCharFormat(const RtfCharState& state, int defaultFont, const RtfFontTable& fonts,
                              const RtfColorTable& colors);
QTextBlockFormat rtfBlockFormat(const RtfParaState& state);
