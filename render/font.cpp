#include "render/font.h"

void CreateFontLists() {}
void PrintText(int, int, const char*, int) {}
void DeleteFontLists() {}
