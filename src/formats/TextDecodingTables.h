#pragma once

// Tables for the single-byte code pages, 128 entries for bytes 0x80..0xFF;
// nullptr for a code page they do not cover.
const char16_t* windowsCodePageTable(int codePage);
const char16_t* dosCodePageTable(int codePage);
