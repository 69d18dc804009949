#pragma once

#include <QByteArrayView>

// The control words the reader acts on; every other word is skipped.
enum class RtfWord {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    Picture,
    SkipDestination,
    BodyDestination,
    Footnote,
    Field,
    FieldCode,
    FieldResult,
    Shape,
    ShapeInstructions,
    ShapeResult,
    TextBox,
    DrawingObject,
    Lists,
    ListText,
    // character properties
    Bold,
    Italic,
    Strike,
    Hidden,
    Underline,
    UnderlineNone,
    Font,
    FontSize,
    Foreground,
    Background,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Down,
    Plain,
    // paragraph properties
    Pard,
    Align,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    TabStop,
    TabType,
    InTable,
    RightToLeft,
    LeftToRight,
    ListIndex,
    ListLevel,
    // document properties
    CharsetAnsi,
    CharsetCodePage,
    DefaultFont,
    DefaultTab,
    UnicodeSkip,
    Unicode,
    // structure and special characters
    Par,
    Line,
    Page,
    Cell,
    Row,
    NestedCell,
    NestedRow,
    RowDefaults,
    CellRight,
    Character,
    NoteNumber,
    NoteIsEndnote,
    FootnoteFormat,
    EndnoteFormat,
    // inside the font table
    FontFamily,
    FontCharset,
    FontCodePage,
    // inside the colour table
    Red,
    Green,
    Blue,
    // inside a picture
    PictureType,
    PictureWidth,
    PictureHeight,
    PictureGoalWidth,
    PictureGoalHeight,
    PictureScaleX,
    PictureScaleY,
};

struct RtfWordInfo {
    RtfWord word = RtfWord::Unknown;
    int value = 0; // the character, alignment, underline, family, type or code page it stands for
};

RtfWordInfo lookupRtfWord(QByteArrayView name);

// What a picture's data holds.
enum RtfPictureKind : int { PictureOther, PicturePng, PictureJpeg, PictureWmf, PictureEmf };
