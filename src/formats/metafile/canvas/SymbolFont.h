#pragma once

#include "formats/metafile/canvas/GdiObjects.h"

#include <QString>

// The Symbol font puts Greek letters and mathematical signs where Latin
// fonts have Latin ones; text in it names them by those codes (or the same
// codes from U+F000). Such text is shown with the Unicode characters meant.
bool isSymbolFont(const FontSpec& font);
QString fromSymbolCodes(const QString& text);
