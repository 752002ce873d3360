// Every file of the generated game data cut short at a few sizes, each loaded through the loader
// the game uses for it: a cut file is refused with one message, or read quietly where a short
// file is allowed (height map, settings, level), and nothing faults. The ASan build runs the
// same cuts with every read checked.
#include "app/startup.h"
#include "models/md2_loader.h"
#include "platform/data_path.h"
#include "platform/platform_test.h"
#include "platform/sound_backend.h"
#include "render/textures.h"
#include "sound/sound_effect.h"
#include "terrain/height_map.h"
#include "tests/models/md2_test_files.h"
#include "tests/render/offscreen_gl.h"
#include "world/level_file.h"
#include "objects/scene_objects.h"

#include "tests/missing_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes, size_t length) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(length));
}

// The sizes each file is cut to: empty, one byte, inside the 14-byte bitmap file header, just
// past the 54 bytes of a bitmap's or a WAV's headers (and inside an MD2's 68), half, all but
// the last byte.
std::vector<size_t> Cuts(size_t size) {
    std::set<size_t> cuts;
    for (const size_t cut : {size_t{0}, size_t{1}, size_t{13}, size_t{54}, size / 2, size - 1}) {
        if (cut < size) {
            cuts.insert(cut);
        }
    }
    return {cuts.begin(), cuts.end()};
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return ReadLe32(b.data() + at);
}

// Where the last section the MD2 reader needs ends (skins, texture coordinates, triangles,
// frames); the GL commands are never read, so a cut inside them loads.
size_t Md2BytesRead(const std::vector<uint8_t>& b) {
    const size_t ends[] = {
        Le32(b, 44) + 64 * size_t{Le32(b, 20)}, Le32(b, 48) + 4 * size_t{Le32(b, 28)},
        Le32(b, 52) + 12 * size_t{Le32(b, 32)}, Le32(b, 56) + size_t{Le32(b, 16)} * Le32(b, 40)};
    return *std::max_element(std::begin(ends), std::end(ends));
}

// Textures the loads made, deleted again so that a hundred level loads do not pile them up.
void DeleteTextures() {
    for (uint32_t& name : TextureTable) {
        if (name != 0) {
            const GLuint n = name;
            glDeleteTextures(1, &n);
            name = 0;
        }
    }
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const tRecordedBox& box : TestPlatformState().boxes) {
        texts.push_back(box.caption + ": " + box.text);
    }
    return texts;
}

// Exactly one box of the game's error style, whose text holds needle.
testing::AssertionResult OneErrorBox(const std::string& needle) {
    const std::vector<std::string> texts = BoxTexts();
    if (texts.size() != 1 || texts[0].rfind("Error: ", 0) != 0 ||
        texts[0].find(needle) == std::string::npos) {
        std::string all;
        for (const std::string& t : texts) {
            all += "[" + t + "] ";
        }
        return testing::AssertionFailure()
               << "boxes: " << all << "(expected one naming \"" << needle << "\")";
    }
    return testing::AssertionSuccess();
}

class TruncatedData : public testing::Test {
  protected:
    void SetUp() override {
        source_ = fs::path(OSTRAVEL_BUILD_DIR) / "Data";
        if (!fs::exists(source_ / "Levels")) {
            SKIP_OR_FAIL_MISSING("no generated data in " << source_, "the gamedata target");
        }
        // A working copy of the whole data, so that each loader finds the other files it reads
        // (a level its models, a model its skin) whole while one file is cut.
        dir_ = std::make_unique<tScratchDir>("truncated");
        fs::copy(source_, "Data", fs::copy_options::recursive);
        glReady_ = OpenOffscreenGL(64, 64);
        ResetTestPlatform();
    }
    void TearDown() override {
        ClearSceneObjects();
        if (glReady_) {
            CloseOffscreenGL();
        }
        dir_.reset();
        ResetTestPlatform();
    }

    // Every generated file below Data/, relative to it, in a fixed order.
    std::vector<fs::path> Files() const {
        std::vector<fs::path> files;
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(source_)) {
            if (e.is_regular_file()) {
                files.push_back(fs::relative(e.path(), source_));
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    fs::path source_;
    std::unique_ptr<tScratchDir> dir_;
    bool glReady_ = false;
};

} // namespace

TEST_F(TruncatedData, EveryFileCutShortIsRefusedOrReadQuietly) {
    std::set<std::string> kinds;
    int loads = 0;
    for (const fs::path& relative : Files()) {
        const fs::path path = fs::path("Data") / relative;
        const std::string name = path.string();
        const std::string ext = Lower(relative.extension().string());
        const std::vector<uint8_t> whole = ReadBytes(source_ / relative);
        kinds.insert(ext);
        for (const size_t cut : Cuts(whole.size())) {
            SCOPED_TRACE(name + " cut to " + std::to_string(cut) + " of " +
                         std::to_string(whole.size()) + " bytes");
            WriteBytes(path, whole, cut);
            TestPlatformState().boxes.clear();
            ++loads;
            if (ext == ".bmp") {
                // A cut bitmap lacks pixel rows (or its headers): refused, with one message.
                EXPECT_FALSE(LoadTexture(TextureTable, name.c_str(), kTexBlood));
                // Below 54 bytes the headers themselves are incomplete.
                EXPECT_TRUE(OneErrorBox(cut < 54 ? "Unknown DIB file format."
                                                 : "Image file conversion error."));
            } else if (ext == ".md2") {
                const fs::path dir = path.parent_path();
                const std::string file = relative.filename().string();
                const bool loaded = LoadMd2Model(0, dir.string().c_str(), file.c_str(), nullptr);
                if (cut < Md2BytesRead(whole)) {
                    EXPECT_FALSE(loaded);
                    EXPECT_TRUE(OneErrorBox("Invalid file format"));
                    EXPECT_TRUE(OneErrorBox(file));
                    EXPECT_EQ(SceneObjects[0].model.numFrames, 0);
                } else {
                    EXPECT_TRUE(loaded);
                    EXPECT_TRUE(BoxTexts().empty());
                }
                ClearSceneObject(0);
            } else if (ext == ".raw") {
                // A short height map is read quietly: the rest of the ground stays at 0.
                std::memset(HeightMap, 0xFF, sizeof(HeightMap));
                std::memset(HeightMap + cut, 0, sizeof(HeightMap) - cut);
                LoadHeightMap(name.c_str(), kHeightMapBytes, HeightMap);
                EXPECT_TRUE(BoxTexts().empty());
                EXPECT_EQ(HeightMap[kHeightMapBytes - 1], 0);
                if (cut > 0) {
                    EXPECT_EQ(HeightMap[cut - 1], static_cast<uint8_t>(whole[cut - 1] * 0.3));
                }
                EXPECT_GE(TerrainHeight(HeightMap, 0.0f, 0.0f), 0.0f);
            } else if (ext == ".olv") {
                // The entries before the cut are placed; a cut inside the header or an entry
                // says so once; a cut between entries ends the list quietly.
                ReadLevel(name.c_str());
                const std::vector<std::string> texts = BoxTexts();
                EXPECT_LE(texts.size(), 1u);
                for (const std::string& t : texts) {
                    EXPECT_NE(t.find("level file"), std::string::npos) << t;
                }
                EXPECT_LE(TransparentEnd, static_cast<uint32_t>(kMaxSceneObjects));
                if (cut == 0) {
                    EXPECT_EQ(TransparentEnd, 0u);
                }
                ClearSceneObjects();
            } else if (ext == ".ini") {
                // Settings cut short give fewer numbers, each a prefix of the real one.
                uint32_t values[3] = {kDefaultWidth, kDefaultHeight, kDefaultColorBits};
                const int read = ReadSettings(name.c_str(), &values[0], &values[1], &values[2]);
                EXPECT_GE(read, 0);
                EXPECT_LT(read, 3 + 1);
                if (cut == 0) {
                    EXPECT_EQ(read, 0);
                }
                EXPECT_TRUE(BoxTexts().empty());
            } else if (ext == ".wav") {
                // A sample the mixer cannot read ends the game with exit code 1 (world loading
                // checks this result); one whose headers are whole may load with fewer samples.
                SelectSoundBackend(SdlMixerSound());
                setenv("SDL_AUDIODRIVER", "dummy", 0);
                testing::internal::CaptureStdout();
                const bool started = InitSound(name.c_str());
                const std::string out = testing::internal::GetCapturedStdout();
                if (cut < 44) {
                    EXPECT_FALSE(started) << out;
                }
                ShutdownSound();
                EXPECT_TRUE(BoxTexts().empty());
            } else {
                ADD_FAILURE() << "no loader known for " << name;
            }
            DeleteTextures();
        }
        WriteBytes(path, whole, whole.size());
    }
    // The generated data has every kind of file the game reads.
    EXPECT_EQ(kinds, (std::set<std::string>{".bmp", ".ini", ".md2", ".olv", ".raw", ".wav"}));
    EXPECT_GT(loads, 200);
}
