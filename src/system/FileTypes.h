#pragma once

#include <QString>

// The file types the viewer offers, by group: the one table from which the
// file list's filter, the choice of the rich-text pane and the NFO font read.
namespace FileTypes {

enum class Group { Picture, Text, Sound, Video };

// The group's patterns for the file list, "*.tif;*.bmp;..." in table order.
QString patterns(Group group);

// A name whose last three characters (the whole name when shorter) are a
// text type's extension, in any letter case: the rich-text pane shows it.
bool isTextTypeName(const QString& fileName);

// A text type whose content is DOS art, shown in a fixed-pitch font.
bool isNfoName(const QString& fileName);

} // namespace FileTypes
