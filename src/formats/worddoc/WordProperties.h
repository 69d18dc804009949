#pragma once

#include "formats/Numbering.h"

#include <QByteArrayView>

// Property records of Word 97 documents.

// Finds the list sprms (sprmPIlfo, sprmPIlvl) in a grpprl, leaving the
// values it does not find as they are.
void findListSprms(QByteArrayView grpprl, int& ilfo, int& ilvl);
// The list level definition (LVL) at offset; its length goes to size.
ListLevelFormat readListLevel(QByteArrayView bytes, qsizetype offset, qsizetype& size);
