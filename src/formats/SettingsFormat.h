#pragma once

#include <QByteArray>
#include <QString>

// The four values of viewer.ini, in line order.
struct SettingsLines {
    QString textFiles;
    QString folder;
    QString soundFiles;
    QString videoFiles;
    bool operator==(const SettingsLines&) const = default;
};

namespace SettingsFormat {

// Error number of a settings file that ends before its fourth item.
constexpr int InputPastEndOfFile = 62;
// Error number of an item that holds a NUL byte: no folder can be named so,
// so it counts as a folder that is not there (path not found).
constexpr int BadItem = 76;

// Reads the first four items of a settings file's bytes; anything after them
// is never looked at. Throws PlatformError(InputPastEndOfFile) when the bytes
// end first, PlatformError(BadItem) when one of the four holds a NUL.
SettingsLines parse(const QByteArray& bytes);

// Four lines, each ended by CR LF. A value that needs them gets double
// quotes; one that no line can carry is written as an empty line.
QByteArray format(const SettingsLines& lines);

// One value as it stands on its line, without the line end.
QByteArray encodeItem(const QString& value);

} // namespace SettingsFormat
