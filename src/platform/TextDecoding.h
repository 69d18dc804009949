#pragma once

#include <QByteArray>
#include <QString>

// Text in a file of unknown encoding: UTF-8 when the bytes are valid UTF-8,
// otherwise the Windows-1252 code page that such files were written in.
QString decodeText(const QByteArray& bytes);

QString decodeWindows1252(const QByteArray& bytes);
