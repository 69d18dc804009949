#pragma once

#include <QString>
#include <QStringView>

// What a field shows when its document stored no result for it, worked out
// from its code (with nested fields' results in place): EQ shows its base text
// with any ruby after it in parentheses, QUOTE its text, IF the text its
// comparison chooses, MACROBUTTON its button's text. Other fields show nothing
// here.
QString fieldCodeResult(QStringView code);
