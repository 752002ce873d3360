// The bitmap font: 256 glyphs from Data/Fonts/Font02.bmp as display lists.
#pragma once

// Releases the font's 256 display lists.
void DeleteFontLists();
