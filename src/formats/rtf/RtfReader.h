#pragma once

#include <QByteArrayView>

class QTextDocument;

// Whether the bytes are an RTF document, whatever the file is called.
bool isRtf(QByteArrayView bytes);

// Reads an RTF document into an empty QTextDocument: formatting, font and colour
// tables, code pages and Unicode, tables and pictures. Unknown control words and
// destinations leave no trace; damaged input gives what could be read.
void readRtf(QByteArrayView rtf, QTextDocument* document);
