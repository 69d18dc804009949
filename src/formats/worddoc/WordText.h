#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The main text of a Word 97-2003 document (a compound file with a
// WordDocument stream), taken from its piece table: paragraphs separated by
// '\n', line breaks as U+2028, field codes dropped in favour of their results.
// Nothing when the file is no such document, is encrypted or is damaged.
std::optional<QString> wordDocumentText(const QByteArray& file);
