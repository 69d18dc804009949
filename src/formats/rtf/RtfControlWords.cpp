#include "formats/rtf/RtfControlWords.h"

#include "formats/Numbering.h"
#include "formats/rtf/RtfState.h"

#include <QFont>
#include <string_view>
#include <unordered_map>

namespace {

using W = RtfWord;
using Table = std::unordered_map<std::string_view, RtfWordInfo>;

// Destinations that hold no body text, skipped even without \*.
constexpr std::string_view SkippedDestinations[] = {
    "aftncn",    "aftnsep",    "aftnsepc", "annotation", "atnauthor",  "atnid",    "bkmkend",
    "bkmkstart", "docvar",     "filetbl",  "footer",     "footerf",    "footerl",  "footerr",
    "ftncn",     "ftnsep",     "ftnsepc",  "header",     "headerf",    "headerl",  "headerr",
    "info",      "nonshppict", "objclass", "objdata",    "objname",    "pgdsctbl", "pnseclvl",
    "revtbl",    "rsidtbl",    "sn",       "sp",         "stylesheet", "sv",       "tc",
    "template",  "userprops",  "xe",       "xmlnstbl"};

Table buildTable() {
    Table t;
    for (std::string_view name : SkippedDestinations)
        t[name] = {W::SkipDestination};
    t["fonttbl"] = {W::FontTable};
    t["colortbl"] = {W::ColorTable};
    t["pict"] = {W::Picture};
    t["shppict"] = {W::BodyDestination};
    t["footnote"] = {W::Footnote};
    t["field"] = {W::Field};
    t["fldinst"] = {W::FieldCode};
    t["fldrslt"] = {W::FieldResult};
    t["shp"] = t["shpgrp"] = {W::Shape};
    t["shpinst"] = {W::ShapeInstructions};
    t["shprslt"] = {W::ShapeResult};
    t["shptxt"] = t["dptxbxtext"] = {W::TextBox};
    t["do"] = {W::DrawingObject};
    t["listtable"] = t["listoverridetable"] = t["pn"] = {W::Lists};
    t["listtext"] = t["pntext"] = {W::ListText};
    t["ls"] = {W::ListIndex};
    t["ilvl"] = {W::ListLevel};
    t["chftn"] = {W::NoteNumber};
    t["ftnalt"] = {W::NoteIsEndnote};
    t["ftnnar"] = {W::FootnoteFormat, DecimalNumbers};
    t["ftnnalc"] = {W::FootnoteFormat, LowerLetter};
    t["ftnnauc"] = {W::FootnoteFormat, UpperLetter};
    t["ftnnrlc"] = {W::FootnoteFormat, LowerRoman};
    t["ftnnruc"] = {W::FootnoteFormat, UpperRoman};
    t["aftnnar"] = {W::EndnoteFormat, DecimalNumbers};
    t["aftnnalc"] = {W::EndnoteFormat, LowerLetter};
    t["aftnnauc"] = {W::EndnoteFormat, UpperLetter};
    t["aftnnrlc"] = {W::EndnoteFormat, LowerRoman};
    t["aftnnruc"] = {W::EndnoteFormat, UpperRoman};
    t["b"] = {W::Bold};
    t["i"] = {W::Italic};
    t["strike"] = {W::Strike};
    t["striked"] = {W::Strike};
    t["v"] = {W::Hidden};
    t["ulnone"] = {W::UnderlineNone};
    for (std::string_view name : {"ul", "uldb", "ulth", "ulw"})
        t[name] = {W::Underline, RtfCharState::Single};
    for (std::string_view name : {"uld", "ulthd"})
        t[name] = {W::Underline, RtfCharState::Dotted};
    for (std::string_view name : {"uldash", "uldashd", "uldashdd", "ulldash", "ulthdash",
                                  "ulthdashd", "ulthdashdd", "ulthldash"})
        t[name] = {W::Underline, RtfCharState::Dashed};
    for (std::string_view name : {"ulwave", "ulhwave", "ululdbwave"})
        t[name] = {W::Underline, RtfCharState::Wave};
    t["f"] = {W::Font};
    t["fs"] = {W::FontSize};
    t["cf"] = {W::Foreground};
    t["cb"] = {W::Background};
    t["highlight"] = {W::Background};
    t["chcbpat"] = {W::Background};
    t["super"] = {W::Super};
    t["sub"] = {W::Sub};
    t["nosupersub"] = {W::NoSuperSub};
    t["up"] = {W::Up};
    t["dn"] = {W::Down};
    t["plain"] = {W::Plain};
    t["pard"] = {W::Pard};
    t["ql"] = {W::Align, int(Qt::AlignLeft)};
    t["qr"] = {W::Align, int(Qt::AlignRight)};
    t["qc"] = {W::Align, int(Qt::AlignHCenter)};
    t["qj"] = {W::Align, int(Qt::AlignJustify)};
    t["qd"] = {W::Align, int(Qt::AlignJustify)};
    t["li"] = t["lin"] = {W::LeftIndent};
    t["ri"] = t["rin"] = {W::RightIndent};
    t["fi"] = {W::FirstIndent};
    t["sb"] = {W::SpaceBefore};
    t["sa"] = {W::SpaceAfter};
    t["sl"] = {W::LineSpacing};
    t["slmult"] = {W::LineMultiple};
    t["tx"] = t["tb"] = {W::TabStop};
    t["tqr"] = {W::TabType, QTextOption::RightTab};
    t["tqc"] = {W::TabType, QTextOption::CenterTab};
    t["tqdec"] = {W::TabType, QTextOption::DelimiterTab};
    t["intbl"] = {W::InTable};
    t["rtlpar"] = {W::RightToLeft};
    t["ltrpar"] = {W::LeftToRight};
    t["ansi"] = {W::CharsetAnsi, 1252};
    t["mac"] = {W::CharsetAnsi, 10000};
    t["pc"] = {W::CharsetAnsi, 437};
    t["pca"] = {W::CharsetAnsi, 850};
    t["ansicpg"] = {W::CharsetCodePage};
    t["deff"] = {W::DefaultFont};
    t["deftab"] = {W::DefaultTab};
    t["uc"] = {W::UnicodeSkip};
    t["u"] = {W::Unicode};
    t["par"] = {W::Par};
    t["sect"] = t["page"] = {W::Page};
    t["line"] = t["column"] = {W::Line}; // a column break goes on in the next column
    t["cell"] = {W::Cell};
    t["row"] = {W::Row};
    t["nestcell"] = {W::NestedCell};
    t["nestrow"] = {W::NestedRow};
    t["trowd"] = {W::RowDefaults};
    t["cellx"] = {W::CellRight};
    t["tab"] = {W::Character, '\t'};
    t["emdash"] = {W::Character, 0x2014};
    t["endash"] = {W::Character, 0x2013};
    t["lquote"] = {W::Character, 0x2018};
    t["rquote"] = {W::Character, 0x2019};
    t["ldblquote"] = {W::Character, 0x201C};
    t["rdblquote"] = {W::Character, 0x201D};
    t["bullet"] = {W::Character, 0x2022};
    t["emspace"] = {W::Character, 0x2003};
    t["enspace"] = {W::Character, 0x2002};
    t["qmspace"] = {W::Character, 0x2005};
    t["zwj"] = {W::Character, 0x200D};
    t["zwnj"] = {W::Character, 0x200C};
    t["ltrmark"] = {W::Character, 0x200E};
    t["rtlmark"] = {W::Character, 0x200F};
    t["fnil"] = t["fbidi"] = {W::FontFamily, QFont::AnyStyle};
    t["froman"] = {W::FontFamily, QFont::Serif};
    t["fswiss"] = {W::FontFamily, QFont::SansSerif};
    t["fmodern"] = {W::FontFamily, QFont::TypeWriter};
    t["fscript"] = {W::FontFamily, QFont::Cursive};
    t["fdecor"] = {W::FontFamily, QFont::Decorative};
    t["ftech"] = {W::FontFamily, QFont::System};
    t["fcharset"] = {W::FontCharset};
    t["cpg"] = {W::FontCodePage};
    t["red"] = {W::Red};
    t["green"] = {W::Green};
    t["blue"] = {W::Blue};
    t["pngblip"] = {W::PictureType, PicturePng};
    t["jpegblip"] = {W::PictureType, PictureJpeg};
    t["wmetafile"] = {W::PictureType, PictureWmf};
    t["emfblip"] = {W::PictureType, PictureEmf};
    for (std::string_view name : {"macpict", "pmmetafile", "dibitmap", "wbitmap"})
        t[name] = {W::PictureType, PictureOther};
    t["picw"] = {W::PictureWidth};
    t["pich"] = {W::PictureHeight};
    t["picwgoal"] = {W::PictureGoalWidth};
    t["pichgoal"] = {W::PictureGoalHeight};
    t["picscalex"] = {W::PictureScaleX};
    t["picscaley"] = {W::PictureScaleY};
    return t;
}

} // namespace

RtfWordInfo lookupRtfWord(QByteArrayView name) {
    static const Table table = buildTable();
    const auto it = table.find(std::string_view(name.data(), size_t(name.size())));
    return it == table.end() ? RtfWordInfo{} : it->second;
}
