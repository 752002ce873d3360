#include "render/textures.h"

uint32_t TextureTable[kTextureSlots];

bool LoadTexture(uint32_t*, const char*, int) {
    return false;
}
