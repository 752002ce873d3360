#include "render/textures.h"

#include "app/data_path.h"
#include "app/gl_api.h"
#include "app/platform.h"
#include "render/bmp_reader.h"

#include <cstdio>

uint32_t TextureTable[kTextureSlots];

bool LoadTexture(uint32_t* table, const char* fileName, int slot) {
    // A slot outside the table would write past it: refused like a missing name.
    if (fileName == nullptr || table == nullptr || slot < 0 || slot >= kTextureSlots) {
        return false;
    }
    // Only whether the file opens is asked here; the reader opens it again itself.
    char path[1024];
    FILE* probe = nullptr;
    if (ResolveDataPath(fileName, path, sizeof(path))) {
        probe = std::fopen(path, "rb");
    }
    if (probe == nullptr) {
        ShowError("Unable to load BMP File!");
        return false;
    }
    std::fclose(probe);

    std::optional<tImage> image = LoadBmpImage(fileName);
    if (!image) {
        return false; // the reader has said why
    }

    // Without a current context (its creation failed, and loading goes on regardless) there is
    // nothing to make the texture in, and the mipmap builder would fault asking for the version.
    if (glGetString(GL_VERSION) == nullptr) {
        return false;
    }
    // A name already in the slot is overwritten, not deleted.
    GLuint name = 0;
    glGenTextures(1, &name);
    table[slot] = name;
    // Pixel rows are packed without padding (3 bytes a pixel).
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, name);
    // The mipmap builder scales sizes that are not powers of two.
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                      image->pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    // Context state, not texture state: every load sets it again.
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return true;
}
