#pragma once

#include <QString>

// True when a file name marks a text document for the rich-text pane: its
// last three characters are txt, doc or nfo in any letter case.
bool isTextTypeName(const QString& fileName);
