#pragma once

#include "formats/rtf/RtfControlWords.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>

struct RtfToken;

struct RtfFont {
    QString name;
    QFont::StyleHint hint = QFont::AnyStyle;
    int codePage = 0; // 0: the document's code page
};

// The font table: \fN entries with family, charset and a name ended by ";".
class RtfFontTable {
  public:
    void word(const RtfWordInfo& info, const RtfToken& token);
    void text(QByteArrayView bytes);
    void byte(unsigned char b) { name_.append(char(b)); }
    void endGroup() { commit(); }
    void setDocumentCodePage(int codePage) { documentCodePage_ = codePage; }

    const RtfFont* font(int index) const;
    // The code page text in the font is written in.
    int codePage(int index) const;

  private:
    void commit();

    QHash<int, RtfFont> fonts_;
    int index_ = -1;
    RtfFont pending_;
    QByteArray name_;
    int documentCodePage_ = 1252;
};

// The colour table: entries ended by ";", an empty first entry meaning automatic.
class RtfColorTable {
  public:
    void word(const RtfWordInfo& info, const RtfToken& token);
    void text(QByteArrayView bytes);
    // An invalid colour for the automatic entry or an index out of range.
    QColor color(int index) const;

  private:
    QList<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool given_ = false;
};

// The code page of an \fcharset value; 0 for the document's own.
int rtfCodePageForCharset(int charset);
