#include "render/textures.h"

#include "platform/data_path.h"
#include "platform/gl_api.h"
#include "platform/platform.h"
#include "render/bmp_reader.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

uint32_t TextureTable[kTextureSlots];

namespace {

// While the level loads, each file becomes one texture however many objects name it: a level
// of a hundred trees would otherwise hold a hundred copies of the same skin and mask (about
// 350 KB each with their mipmaps in a software renderer). Keyed on the canonical path, since
// the model loader changes the working directory between objects.
struct tSharedTexture {
    char path[PATH_MAX];
    GLuint name;
};
constexpr int kSharedTextures = 64;
tSharedTexture SharedTextures[kSharedTextures];
int SharedCount = 0;
bool Sharing = false;

tSharedTexture* FindShared(const char* canonical) {
    for (int i = 0; i < SharedCount; ++i) {
        if (std::strcmp(SharedTextures[i].path, canonical) == 0) {
            return &SharedTextures[i];
        }
    }
    return nullptr;
}

// The state a fresh load leaves behind, for a shared one too.
void LeaveLoadState(GLuint name) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

} // namespace

void BeginSharedTextures() {
    Sharing = true;
    SharedCount = 0;
}

void EndSharedTextures() {
    Sharing = false;
    SharedCount = 0;
}

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
        ShowDataError("Unable to load BMP File!");
        return false;
    }
    std::fclose(probe);

    char canonical[PATH_MAX];
    const bool shareable = Sharing && realpath(path, canonical) != nullptr;
    if (shareable) {
        if (const tSharedTexture* shared = FindShared(canonical)) {
            table[slot] = shared->name;
            LeaveLoadState(shared->name);
            return true;
        }
    }

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
    if (shareable && SharedCount < kSharedTextures) {
        std::memcpy(SharedTextures[SharedCount].path, canonical, sizeof(canonical));
        SharedTextures[SharedCount].name = name;
        ++SharedCount;
    }
    return true;
}
