#include "render/font.h"

void DeleteFontLists() {}
