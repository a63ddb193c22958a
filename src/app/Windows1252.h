#pragma once

// The classic program's 8-bit character codes as Unicode.

namespace daubix::app {

// A Windows-1252 byte as its character; 0x80 .. 0x9F have their own table, the codes it leaves
// unassigned and the rest stand for themselves (Latin-1).
char16_t fromWindows1252(unsigned char code);

// The character the fonts viewer shows for code 32 .. 255: in a font whose only character map is a
// symbol map, the code moved to the private area at U+F000 where such fonts keep their glyphs; in any
// other font, the code read as Windows-1252.
char32_t symbolCharacter(int code, bool symbolFont);

} // namespace daubix::app
