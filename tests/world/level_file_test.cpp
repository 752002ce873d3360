// Reading the level file: the entry layout with its optional fields, the id ranges and depth
// flags, and the entries and headers that are refused.
#include "world/level_file.h"

#include "models/md2_loader.h"
#include "platform/platform_test.h"
#include "terrain/height_map.h"
#include "tests/models/md2_test_files.h"
#include "objects/scene_objects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A temp directory with models for every kind of entry, made the working directory.
class LevelFile : public testing::Test {
  protected:
    void SetUp() override {
        ResetTestPlatform();
        ClearSceneObjects();
        dir_ = std::make_unique<tScratchDir>("level");
        const fs::path models = fs::path("Data") / "Models";
        fs::create_directories(models / "Soldier");
        fs::create_directories(models / "Trees");
        tTestMd2 animated;
        animated.frames.clear();
        AddFrames(animated.frames, "stand", 4, true);
        AddFrames(animated.frames, "run", 4, false);
        AddFrames(animated.frames, "attack", 4, false);
        WriteFile((models / "Soldier" / "body.md2").string(), WriteMd2(animated));
        WriteFile((models / "Soldier" / "gun.md2").string(), WriteMd2(animated));
        const tTestMd2 still;
        WriteFile((models / "Trees" / "tree.md2").string(), WriteMd2(still));
        WriteFile((models / "rock.md2").string(), WriteMd2(still));
    }
    void TearDown() override {
        ClearSceneObjects();
        dir_.reset();
    }
    static void Read(const std::string& text) {
        ReadLevelText(text.data(), text.size(), "Level01.olv");
    }
    static std::vector<std::string> Boxes() {
        std::vector<std::string> texts;
        for (const tRecordedBox& box : TestPlatformState().boxes) {
            EXPECT_EQ(box.caption, "Error");
            // The entries name skins and maps that these small levels do not ship.
            if (box.text != "Unable to load BMP File!") {
                texts.push_back(box.text);
            }
        }
        return texts;
    }
    std::unique_ptr<tScratchDir> dir_;
};

const char* const kEnemy =
    "0 Soldier body.md2 body.bmp 1 1 NULL gun.md2 gun.bmp 1200 25 -300 90 1 1\n";
const char* const kTree = "12 Trees tree.md2 tree.bmp 0 treemask.bmp -800 0 450 0 2.5 1\n";

} // namespace

TEST_F(LevelFile, HeaderSetsTheRangesAndTheDepthFlags) {
    Read("3 5 8 4");
    EXPECT_EQ(EnemyCount, 3u);
    EXPECT_EQ(LetterCount, 5u);
    EXPECT_EQ(SolidCount, 8u);
    EXPECT_EQ(TransparentCount, 4u);
    EXPECT_EQ(EnemyEnd, 3u);
    EXPECT_EQ(SolidEnd, 11u);
    EXPECT_EQ(TransparentEnd, 15u);
    for (int id = 0; id < 20; ++id) {
        EXPECT_EQ(SceneObjects[id].writesDepth, id <= 10) << id;
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LevelFile, EntriesWithAndWithoutTheirOptionalFields) {
    // Ids out of order; a tree whose mask is followed directly by its position; a rock from the
    // models directory itself with neither mask nor sub-model; a carried model without a skin.
    Read(std::string("1 0 13 3\n") + kTree + kEnemy +
         "13 NULL rock.md2 NULL 0 NULL NULL 5 7 6 45 0 0\n"
         "14 Soldier body.md2 NULL 2 0 2 NULL gun.md2 NULL 0 0 0 0 1 0\n");
    EXPECT_TRUE(Boxes().empty()) << Boxes().front();

    const tSceneObject& enemy = SceneObjects[0];
    EXPECT_EQ(enemy.model.numFrames, 12);
    EXPECT_STREQ(enemy.model.skin.strFileName, "body.bmp");
    ASSERT_EQ(enemy.model.numAnimations, 3);
    EXPECT_FALSE(enemy.model.animations[0].loops);
    EXPECT_TRUE(enemy.model.animations[1].loops);
    EXPECT_TRUE(enemy.hasSubModel);
    EXPECT_STREQ(enemy.subModel.skin.strFileName, "gun.bmp");
    // The height is above the ground under (x, z).
    EXPECT_EQ(GetPosition(0),
              tVec3(1200.0f, TerrainHeight(HeightMap, 1200.0f, -300.0f) + 25.0f, -300.0f));
    EXPECT_EQ(enemy.rotY, 90.0f);
    EXPECT_EQ(enemy.scale, 1.0f);
    EXPECT_TRUE(IsCollidable(0));
    EXPECT_EQ(GetHealth(0), 100);

    const tSceneObject& tree = SceneObjects[12];
    EXPECT_EQ(tree.model.numFrames, 1);
    EXPECT_TRUE(tree.hasMaskMap);
    EXPECT_FALSE(tree.hasSubModel);
    EXPECT_STREQ(tree.subModel.skin.strFileName, "Data\\Models\\Trees\\treemask.bmp");
    EXPECT_EQ(GetPosition(12).x, -800.0f);
    EXPECT_EQ(tree.scale, 2.5f);

    const tSceneObject& rock = SceneObjects[13];
    EXPECT_EQ(rock.model.numFrames, 1);
    EXPECT_STREQ(rock.model.skin.strFileName, "skin.bmp"); // the file's own
    EXPECT_FALSE(rock.hasMaskMap);
    EXPECT_FALSE(rock.hasSubModel);
    EXPECT_EQ(GetPosition(13).z, 6.0f);
    EXPECT_EQ(rock.rotY, 45.0f);
    EXPECT_FALSE(IsCollidable(13));
    EXPECT_TRUE(rock.writesDepth); // the last solid id

    const tSceneObject& guard = SceneObjects[14];
    EXPECT_TRUE(guard.model.animations[0].loops);
    EXPECT_TRUE(guard.model.animations[2].loops);
    EXPECT_TRUE(guard.hasSubModel);
    EXPECT_STREQ(guard.subModel.skin.strFileName, "");
    EXPECT_FALSE(guard.writesDepth); // transparent range
    EXPECT_EQ(guard.scale, 1.0f);
    EXPECT_TRUE(tree.writesDepth);
    EXPECT_TRUE(enemy.writesDepth);
}

TEST_F(LevelFile, BadIdsAreSkippedWithTheirTokens) {
    // Each bad entry is read to its end, so the tree after it still lands in its slot.
    Read(std::string("1 0 13 3\n") +
         "1000 Trees tree.md2 tree.bmp 0 NULL NULL 1 2 3 4 5 1\n"
         "17 Trees tree.md2 tree.bmp 1 0 NULL gun.md2 gun.bmp 1 2 3 4 5 1\n" +
         kTree +
         "12 NULL rock.md2 NULL 0 NULL NULL 5 7 6 45 0 0\n"
         "4294967295 Trees tree.md2 tree.bmp 0 mask.bmp 1 2 3 4 5 1\n" +
         kEnemy);
    const std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0], "Object 1000 of the level file Level01.olv is skipped: ids go up to 999!");
    EXPECT_EQ(boxes[1],
              "Object 17 of the level file Level01.olv is skipped: the header counts 17 objects!");
    EXPECT_EQ(boxes[2],
              "Object 12 of the level file Level01.olv is skipped: the id is used twice!");
    EXPECT_EQ(boxes[3],
              "Object 4294967295 of the level file Level01.olv is skipped: ids go up to 999!");
    EXPECT_TRUE(SceneObjects[12].hasMaskMap); // the first entry for 12 stays
    EXPECT_EQ(SceneObjects[12].scale, 2.5f);
    EXPECT_FALSE(SceneObjects[17].hasSubModel);
    EXPECT_EQ(SceneObjects[0].model.numFrames, 12);
}

TEST_F(LevelFile, EntriesCutShortAreNotApplied) {
    const std::string header = "1 0 13 3\n";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"end of file in the position",
         header + kTree + "0 Soldier body.md2 body.bmp 0 NULL NULL 1 2"},
        {"end of file in the loops", header + kTree + "0 Soldier body.md2 body.bmp 3 0 1"},
        {"a word for a number",
         header + kTree + "0 Soldier body.md2 body.bmp 0 NULL NULL 1 x 3 4 5 1"},
        {"a word for the loop count",
         header + kTree + "0 Soldier body.md2 body.bmp many 1 NULL NULL 1 2 3 4 5 1"},
    };
    for (const auto& c : cases) {
        ClearSceneObjects();
        TestPlatformState().boxes.clear();
        Read(c.text);
        const std::vector<std::string> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0],
                  "The entry of object 0 in the level file Level01.olv is cut short; it is "
                  "skipped!")
            << c.what;
        EXPECT_EQ(SceneObjects[0].model.numFrames, 0) << c.what;
        EXPECT_EQ(SceneObjects[0].scale, 0.0f) << c.what;
        EXPECT_TRUE(SceneObjects[12].hasMaskMap) << c.what; // read before: kept
        EXPECT_TRUE(SceneObjects[12].writesDepth) << c.what;
    }
}

TEST_F(LevelFile, BadHeadersAndEndsOfTheList) {
    // A word where an id belongs ends the list quietly.
    Read(std::string("1 0 13 3\n") + kTree + "end " + kEnemy);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(SceneObjects[12].hasMaskMap);
    EXPECT_EQ(SceneObjects[0].model.numFrames, 0);

    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "The level file Level01.olv has no header of four object counts!"},
        {"3 5 8 four", "The level file Level01.olv has no header of four object counts!"},
        {"500 0 400 101 ",
         "The level file Level01.olv counts 1001 objects; the game has room for 1000!"},
        // Counts that would wrap around in 32 bits.
        {"4294967295 0 2 0", "The level file Level01.olv counts 4294967297 objects; the game has "
                             "room for 1000!"},
    };
    for (const auto& c : cases) {
        ClearSceneObjects();
        TestPlatformState().boxes.clear();
        Read(std::string(c.text) + "\n" + kTree);
        const std::vector<std::string> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.text;
        EXPECT_EQ(boxes[0], c.message);
        EXPECT_EQ(TransparentEnd, 0u) << c.text;
        EXPECT_EQ(SceneObjects[12].model.numFrames, 0) << c.text;
    }
    // Exactly 1000 slots is allowed.
    TestPlatformState().boxes.clear();
    Read("500 0 400 100");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(TransparentEnd, 1000u);
    EXPECT_FALSE(SceneObjects[999].writesDepth);
    EXPECT_TRUE(SceneObjects[899].writesDepth);
}

TEST_F(LevelFile, MissingFileIsReportedAndLeavesAnEmptyWorld) {
    Read("2 0 2 0");
    ReadLevel("Data\\Levels\\Nothing.olv");
    const std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Unable to find the level file: Data/Levels/Nothing.olv!");
    EXPECT_EQ(EnemyCount, 0u);
    EXPECT_EQ(TransparentEnd, 0u);

    // The real file is found with backslashes and another case.
    fs::create_directories("Data/Levels");
    std::ofstream("Data/Levels/level01.OLV") << "1 0 13 3\n" << kTree;
    TestPlatformState().boxes.clear();
    ReadLevel("Data\\Levels\\Level01.olv");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(SceneObjects[12].hasMaskMap);
}

// Token soup from the level's own vocabulary, cut anywhere: nothing writes outside the table
// (ASan watches) and the ranges never pass the table's end.
TEST_F(LevelFile, RandomTokensNeverFault) {
    const char* const words[] = {"0",       "1",    "3",       "12",    "999",      "1000",
                                 "-1",      "NULL", "Soldier", "Trees", "body.md2", "tree.md2",
                                 "gun.md2", "x",    "2.5",     "-800",  "1e40",     "4294967295"};
    std::mt19937 random(99);
    for (int round = 0; round < 200; ++round) {
        std::string text = std::to_string(random() % 4) + " 0 " + std::to_string(random() % 20) +
                           " " + std::to_string(random() % 5);
        const int count = static_cast<int>(random() % 60);
        for (int k = 0; k < count; ++k) {
            text += ' ';
            text += words[random() % (sizeof(words) / sizeof(words[0]))];
        }
        ReadLevelText(text.data(), text.size() - random() % 3, "fuzz");
        EXPECT_LE(TransparentEnd, static_cast<uint32_t>(kMaxSceneObjects));
    }
    ClearSceneObjects();
}
