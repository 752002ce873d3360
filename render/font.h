// The bitmap font: 256 glyphs from Data/Fonts/Font02.bmp as display lists. Glyphs 0 ... 127 are
// characters 32 ... 159 of set 0, glyphs 128 ... 255 the same characters of set 1.
#pragma once

// ---- whole run: set by CreateFontLists, 0 before and after the lists exist ----
// The first of the 256 glyph lists: list FontListBase + g draws glyph g and moves the pen.
extern unsigned int FontListBase;

// Builds the 256 lists; needs the font texture loaded and a current GL context.
void CreateFontLists();
// Text at pixel (x, y) from the window's lower-left corner, in character set 0 or 1.
void PrintText(int x, int y, const char* text, int set);
// Releases the font's 256 display lists.
void DeleteFontLists();
