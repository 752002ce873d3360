// MD2 reading: geometry and the axis change, the frame-name rule, the refusals of bad files, and
// what the three loaders leave in a scene object slot.
#include "models/md2_loader.h"

#include "platform/data_path.h"
#include "platform/platform.h"
#include "platform/platform_test.h"
#include "tests/models/md2_test_files.h"
#include "tests/recorded_boxes.h"
#include "objects/scene_objects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string WorkingDir() {
    return fs::current_path().string();
}

// A fresh temp directory holding Data/Models/Soldier, made the working directory for the test.
class Md2Files : public testing::Test {
  protected:
    void SetUp() override {
        ResetTestPlatform();
        ClearSceneObjects();
        dir_ = std::make_unique<tScratchDir>("md2");
        fs::create_directories("Data/Models/Soldier");
    }
    void TearDown() override {
        ClearSceneObjects();
        SetDataDir("");
        dir_.reset();
    }
    static void Put(const std::string& name, const tTestMd2& model) {
        WriteFile("Data/Models/Soldier/" + name, WriteMd2(model));
    }
    std::unique_ptr<tScratchDir> dir_;
};

tMd2Contents Parse(const std::vector<uint8_t>& bytes, const char** refusal) {
    tMd2Contents contents;
    *refusal = ParseMd2(bytes.data(), bytes.size(), &contents);
    return contents;
}

} // namespace

TEST(Md2Parse, VerticesTexCoordsFacesAndHalfExtents) {
    tTestMd2 m;
    m.frames = {"idle01", "idle02", "idle03"};
    const char* refusal = nullptr;
    tMd2Contents c = Parse(WriteMd2(m), &refusal);
    ASSERT_EQ(refusal, nullptr);
    ASSERT_EQ(c.model.numFrames, 3);
    ASSERT_EQ(c.model.frames.size(), 3u);
    // The file's z is up: its z becomes y, its y becomes -z.
    const t3DObject& first = c.model.frames[0];
    EXPECT_EQ(first.vertices[0], tVec3(1.0f, 3.0f, -2.0f));
    EXPECT_EQ(first.vertices[1], tVec3(11.0f, 18.0f, -42.0f));
    EXPECT_EQ(first.vertices[2], tVec3(21.0f, 35.0f, -82.0f));
    EXPECT_EQ(c.model.frames[2].vertices[1], tVec3(13.0f, 18.0f, -42.0f));
    EXPECT_EQ(c.halfExtents, tVec3(10.0f, 16.0f, 40.0f));
    // u = s / width, v = 1 - t / height.
    ASSERT_NE(first.texCoords, nullptr);
    EXPECT_FLOAT_EQ(first.texCoords[1].u, 0.5f);
    EXPECT_FLOAT_EQ(first.texCoords[1].v, 0.0f);
    EXPECT_FLOAT_EQ(first.texCoords[2].v, 0.75f);
    ASSERT_NE(first.faces, nullptr);
    EXPECT_EQ(first.faces[0].vertexIndex[2], 2);
    EXPECT_EQ(first.faces[0].texCoordIndex[1], 1);
    // Only the first key frame holds triangles and texture coordinates; every frame has counts.
    for (const t3DObject& frame : c.model.frames) {
        EXPECT_EQ(frame.vertexCount, 3);
        EXPECT_EQ(frame.faceCount, 1);
        EXPECT_EQ(frame.texCoordCount, 3);
    }
    EXPECT_EQ(c.model.frames[1].faces, nullptr);
    EXPECT_EQ(c.model.frames[2].texCoords, nullptr);
    EXPECT_STREQ(c.firstSkin, "skin.bmp");
    ReleaseKeyFrames(&c.model);
}

TEST(Md2Parse, FrameNameRule) {
    const struct {
        const char* frame;
        const char* name;
        int number;
    } cases[] = {
        {"stand01", "stand", 1},  {"run1", "run", 1},  {"pain101", "pain1", 1},
        {"attack8", "attack", 8}, {"base", "base", 0}, {"a", "a", 0},
        {"12", "", 12},           {"x9y", "x", 9},     {"death16", "death", 16},
    };
    for (const auto& c : cases) {
        char name[kMd2FrameNameBytes];
        EXPECT_EQ(SplitFrameName(c.frame, name), c.number) << c.frame;
        EXPECT_STREQ(name, c.name) << c.frame;
    }
}

TEST(Md2Parse, AnimationsInFirstAppearanceOrder) {
    struct tExpected {
        const char* name;
        int first, end;
    };
    const auto check = [](const std::vector<std::string>& frames,
                          const std::vector<tExpected>& expected) {
        tTestMd2 m;
        m.frames = frames;
        const char* refusal = nullptr;
        tMd2Contents c = Parse(WriteMd2(m), &refusal);
        ASSERT_EQ(refusal, nullptr) << frames.front();
        ASSERT_EQ(c.model.numAnimations, static_cast<int>(expected.size())) << frames.front();
        ASSERT_EQ(c.model.animations.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const tAnimationInfo& a = c.model.animations[i];
            EXPECT_STREQ(a.name, expected[i].name) << frames.front() << " #" << i;
            EXPECT_EQ(a.firstFrame, expected[i].first) << frames.front() << " #" << i;
            EXPECT_EQ(a.endFrame, expected[i].end) << frames.front() << " #" << i;
            EXPECT_FALSE(a.loops);
        }
        ReleaseKeyFrames(&c.model);
    };
    std::vector<std::string> standRun;
    AddFrames(standRun, "stand", 40, true);
    AddFrames(standRun, "run", 6, false);
    // The file's last frame only ends the last animation.
    check(standRun, {{"stand", 0, 40}, {"run", 40, 45}});
    check({"idle01", "idle02"}, {{"idle", 0, 1}});
    check({"base"}, {});
    // The second run of a starts at its index plus its number less one: 2 + 2 - 1.
    check({"a1", "b1", "a2", "a3"}, {{"a", 0, 1}, {"b", 1, 2}, {"a", 3, 3}});
    check({"pain101", "pain102", "pain201", "pain202"}, {{"pain1", 0, 2}, {"pain2", 2, 3}});
    // A first frame numbered 3 starts its animation two frames late; an unnumbered one a frame
    // early.
    std::vector<std::string> walk;
    AddFrames(walk, "idle", 10, true);
    walk.insert(walk.end(), {"walk03", "walk04", "walk05", "end1"});
    check(walk, {{"idle", 0, 10}, {"walk", 12, 13}});
    walk[10] = "walk";
    walk[11] = "walk";
    walk[12] = "walk";
    check(walk, {{"idle", 0, 10}, {"walk", 9, 13}});
    // A last frame that starts a new name is no animation of its own.
    check({"a1", "a2", "b1"}, {{"a", 0, 2}});
}

TEST(Md2Parse, RefusesBadFilesWithTheirReason) {
    struct tCase {
        const char* what;
        std::function<void(tTestMd2&)> model;
        std::function<void(std::vector<uint8_t>&)> bytes;
        const char* message;
    };
    const auto none = [](tTestMd2&) {};
    const auto keep = [](std::vector<uint8_t>&) {};
    const tCase cases[] = {
        {"short header", none, [](auto& b) { b.resize(40); },
         "Invalid file format (Header cut short): %s!"},
        {"version 7", [](tTestMd2& m) { m.version = 7; }, keep,
         "Invalid file format (Version not 8): %s!"},
        {"negative count", none, [](auto& b) { PutLe(b, kOffNumTriangles, 0xFFFFFFFFu, 4); },
         "Invalid file format (Negative count or offset): %s!"},
        {"frame size over the buffer", none, [](auto& b) { PutLe(b, kOffFrameSize, 8324, 4); },
         "Invalid file format (Frame size over 8320 bytes): %s!"},
        {"frame size below its vertices", none, [](auto& b) { PutLe(b, kOffFrameSize, 48, 4); },
         "Invalid file format (Frame size too small for its vertices): %s!"},
        {"no frames", [](tTestMd2& m) { m.frames.clear(); }, keep,
         "Invalid file format (No key frames): %s!"},
        {"cut short", none, [](auto& b) { b.resize(b.size() - 1); },
         "Invalid file format (File cut short): %s!"},
        {"more frames than the file holds", none, [](auto& b) { PutLe(b, kOffNumFrames, 2, 4); },
         "Invalid file format (File cut short): %s!"},
        {"skin size 0", [](tTestMd2& m) { m.skinHeight = 0; }, keep,
         "Invalid file format (Skin size not positive): %s!"},
        {"vertex index", [](tTestMd2& m) { m.triangles[2] = 3; }, keep,
         "Invalid file format (Triangle index out of range): %s!"},
        {"texcoord index", [](tTestMd2& m) { m.triangles[4] = -1; }, keep,
         "Invalid file format (Triangle index out of range): %s!"},
        {"skin name without NUL", [](tTestMd2& m) { m.skins[0] = std::string(64, 'a'); }, keep,
         "Invalid file format (Skin name not terminated): %s!"},
        {"frame name without NUL", [](tTestMd2& m) { m.frames[0] = std::string(16, 'f'); }, keep,
         "Invalid file format (Frame name not terminated): %s!"},
        {"animated without names",
         [](tTestMd2& m) {
             m.frames = {"12", "13", "14"};
         },
         keep, "Invalid file format (No animation names): %s!"},
    };
    for (const tCase& c : cases) {
        tTestMd2 m;
        c.model(m);
        std::vector<uint8_t> bytes = WriteMd2(m);
        c.bytes(bytes);
        const char* refusal = nullptr;
        tMd2Contents contents = Parse(bytes, &refusal);
        ASSERT_NE(refusal, nullptr) << c.what;
        EXPECT_STREQ(refusal, c.message) << c.what;
        EXPECT_TRUE(contents.model.frames.empty()) << c.what;
        EXPECT_TRUE(contents.model.animations.empty()) << c.what;
    }
    // The magic is not looked at.
    std::vector<uint8_t> bytes = WriteMd2(tTestMd2{});
    std::memcpy(bytes.data(), "XXXX", 4);
    const char* refusal = nullptr;
    tMd2Contents contents = Parse(bytes, &refusal);
    EXPECT_EQ(refusal, nullptr);
    ReleaseKeyFrames(&contents.model);
}

// Truncations and random bytes at every place never read out of bounds (run under ASan).
TEST(Md2Parse, GarbageNeverFaults) {
    tTestMd2 m;
    m.frames.clear();
    AddFrames(m.frames, "walk", 4, false);
    const std::vector<uint8_t> good = WriteMd2(m);
    for (size_t length = 0; length <= good.size(); ++length) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(length));
        const char* refusal = nullptr;
        tMd2Contents c = Parse(cut, &refusal);
        EXPECT_EQ(refusal == nullptr, length == good.size()) << length;
        ReleaseKeyFrames(&c.model);
    }
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = good;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < changes; ++k) {
            bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
        }
        const char* refusal = nullptr;
        tMd2Contents c = Parse(bytes, &refusal);
        ReleaseKeyFrames(&c.model);
    }
}

TEST_F(Md2Files, MainModelFillsItsSlot) {
    tTestMd2 m;
    m.frames.clear();
    AddFrames(m.frames, "stand", 3, true);
    Put("body.md2", m);
    const std::string before = WorkingDir();
    // Separators and case as data made on a case-blind system writes them.
    ASSERT_TRUE(LoadMd2Model(7, "data\\models\\SOLDIER", "BODY.MD2", nullptr));
    EXPECT_EQ(WorkingDir(), before);
    const tSceneObject& o = SceneObjects[7];
    EXPECT_EQ(o.model.numFrames, 3);
    EXPECT_EQ(o.model.numAnimations, 1);
    EXPECT_EQ(o.health, 100);
    EXPECT_EQ(o.state, 0);
    EXPECT_FALSE(o.hasSubModel);
    EXPECT_EQ(o.scale, 0.0f); // set by the level
    EXPECT_EQ(o.halfExtents, tVec3(10.0f, 16.0f, 40.0f));
    EXPECT_STREQ(o.model.skin.strFileName, "skin.bmp"); // the file's own first skin
    EXPECT_EQ(o.model.skin.textureSlot, 14);
    EXPECT_TRUE(BoxesBesidesMissingBitmaps().empty());

    // A given skin name wins, even an empty one; loading again replaces the content.
    SetHealth(7, 3);
    ASSERT_TRUE(LoadMd2Model(7, "Data\\Models\\Soldier", "body.md2", "other.bmp"));
    EXPECT_STREQ(SceneObjects[7].model.skin.strFileName, "other.bmp");
    EXPECT_EQ(GetHealth(7), 100);
    ASSERT_TRUE(LoadMd2Model(7, "Data\\Models\\Soldier", "body.md2", ""));
    EXPECT_STREQ(SceneObjects[7].model.skin.strFileName, "");
}

// Files other tools write: no texture coordinates (and so no skin), all frames named alike and
// numbered from 000, names numbered from the file's start. Each loads; only the animation whose
// numbers point outside the key frames starts where its name first appears instead.
TEST_F(Md2Files, ModelsFromOtherToolsLoad) {
    struct tExpected {
        const char* name;
        int first, end;
    };
    const auto load = [](const tTestMd2& m, const std::vector<tExpected>& expected) {
        Put("other.md2", m);
        ASSERT_TRUE(LoadMd2Model(3, "Data/Models/Soldier", "other.md2", nullptr)) << m.frames[0];
        const tModel& model = SceneObjects[3].model;
        EXPECT_EQ(model.numFrames, static_cast<int>(m.frames.size()));
        ASSERT_EQ(model.animations.size(), expected.size()) << m.frames[0];
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_STREQ(model.animations[i].name, expected[i].name) << m.frames[0];
            EXPECT_EQ(model.animations[i].firstFrame, expected[i].first) << m.frames[0] << i;
            EXPECT_EQ(model.animations[i].endFrame, expected[i].end) << m.frames[0] << i;
        }
    };

    tTestMd2 untextured;
    untextured.skins.clear();
    untextured.texCoords.clear();
    untextured.triangles = {0, 1, 2, 7, 7, 7}; // texture indices that nothing reads
    untextured.frames = {"stand01", "stand02"};
    load(untextured, {{"stand", 0, 1}});
    const t3DObject& first = SceneObjects[3].model.frames[0];
    EXPECT_EQ(first.texCoords, nullptr);
    EXPECT_EQ(first.texCoordCount, 0);
    ASSERT_NE(first.faces, nullptr);
    EXPECT_EQ(first.faces[0].vertexIndex[2], 2);
    EXPECT_STREQ(SceneObjects[3].model.skin.strFileName, "");

    // "frame000" ... "frame004": one run "frame0" whose first number, 0, would start it at -1.
    tTestMd2 alike;
    alike.frames = {"frame000", "frame001", "frame002", "frame003", "frame004"};
    load(alike, {{"frame0", 0, 4}});

    // Numbered from the file's start: "jump" at index 4 carries 5, which would start it at 8,
    // past the last key frame, so it starts at 4; "stand" and "run" (4, inside) keep the rule's.
    tTestMd2 fromStart;
    fromStart.frames = {"stand01", "stand02", "run03", "run04", "jump05", "jump06", "end"};
    load(fromStart, {{"stand", 0, 2}, {"run", 4, 4}, {"jump", 4, 6}});
    EXPECT_TRUE(BoxesBesidesMissingBitmaps().empty());
}

// The data lies elsewhere than the working directory (an installed game started from the
// player's home): the model and the skin it names are found under the data directory, every
// message keeps the data's own names, and the working directory and the data directory are as
// they were on every way out.
TEST_F(Md2Files, DataAwayFromTheWorkingDirectory) {
    Put("body.md2", tTestMd2{});
    fs::copy_file(fs::path(OSTRAVEL_BUILD_DIR) / "Data" / "Blood.bmp",
                  "Data/Models/Soldier/skin.bmp");
    const std::string data = WorkingDir();
    fs::create_directories("home/Data/Models/Soldier"); // the player's own, never read
    fs::current_path("home");
    const std::string home = WorkingDir();
    ASSERT_TRUE(SetDataDir(data.c_str()));
    const struct {
        const char* dir;
        const char* file;
        const char* message; // nullptr: loads without a box, its skin found beside it
    } cases[] = {
        {"data\\models\\SOLDIER", "BODY.MD2", nullptr},
        {"Data\\Models\\Soldier", "nothere.md2", "Unable to find the file: nothere.md2!"},
        {"Data\\Models\\Nobody", "body.md2", "Unable to find the file: body.md2!"},
    };
    for (const auto& c : cases) {
        TestPlatformState().boxes.clear();
        EXPECT_EQ(LoadMd2Model(5, c.dir, c.file, nullptr), c.message == nullptr) << c.file;
        EXPECT_EQ(WorkingDir(), home) << c.file;
        EXPECT_EQ(std::string(DataDir()), data) << c.file;
        std::vector<std::string> boxes;
        for (const tRecordedBox& box : TestPlatformState().boxes) {
            boxes.push_back(box.text);
        }
        EXPECT_EQ(boxes,
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
            << c.file;
        if (c.message == nullptr) {
            EXPECT_EQ(SceneObjects[5].model.numFrames, 1);
        }
    }
}

TEST_F(Md2Files, RefusalsReportOnceAndRestoreTheWorkingDirectory) {
    tTestMd2 bad;
    bad.version = 6;
    Put("old.md2", bad);
    tTestMd2 noSkin;
    noSkin.skins.clear();
    Put("bare.md2", noSkin);
    const std::string before = WorkingDir();
    const struct {
        const char* dir;
        const char* file;
        const char* message;
    } cases[] = {
        {"Data\\Models\\Soldier", "nothere.md2", "Unable to find the file: nothere.md2!"},
        {"Data\\Models\\Nobody", "body.md2", "Unable to find the file: body.md2!"},
        {"Data\\Models\\Soldier", "old.md2", "Invalid file format (Version not 8): old.md2!"},
        {"Data\\Models\\Soldier", "bare.md2", "Invalid file format (No skin name): bare.md2!"},
    };
    for (const auto& c : cases) {
        TestPlatformState().boxes.clear();
        SetScale(3, 4.0f);
        EXPECT_FALSE(LoadMd2Model(3, c.dir, c.file, nullptr)) << c.file;
        EXPECT_EQ(WorkingDir(), before) << c.file;
        ASSERT_EQ(TestPlatformState().boxes.size(), 1u) << c.file;
        EXPECT_EQ(TestPlatformState().boxes[0].caption, "Error");
        EXPECT_EQ(TestPlatformState().boxes[0].text, c.message);
        EXPECT_EQ(SceneObjects[3].model.numFrames, 0);
        EXPECT_EQ(SceneObjects[3].scale, 1.0f); // the values set before reading stay
    }
    // A model without skins loads with a skin name of its own.
    EXPECT_TRUE(LoadMd2Model(3, "Data\\Models\\Soldier", "bare.md2", "mine.bmp"));
}

TEST_F(Md2Files, SubModelAndMaskMap) {
    tTestMd2 body;
    body.frames.clear();
    AddFrames(body.frames, "run", 4, false);
    Put("body.md2", body);
    tTestMd2 gun = body;
    Put("gun.md2", gun);
    tTestMd2 shortGun;
    shortGun.frames = {"run1", "run2"};
    Put("short.md2", shortGun);
    tTestMd2 tree;
    Put("tree.md2", tree);

    ASSERT_TRUE(LoadMd2Model(2, "Data\\Models\\Soldier", "body.md2", nullptr));
    EXPECT_FALSE(LoadMaskMap(2, "Data\\Models\\Soldier\\mask.bmp")); // animated
    EXPECT_FALSE(SceneObjects[2].hasMaskMap);
    ASSERT_TRUE(LoadMd2SubModel(2, "Data\\Models\\Soldier", "gun.md2", ""));
    const tSceneObject& o = SceneObjects[2];
    EXPECT_TRUE(o.hasSubModel);
    EXPECT_EQ(o.subModel.numFrames, 4);
    EXPECT_STREQ(o.subModel.skin.strFileName, ""); // no skin loaded
    EXPECT_EQ(o.subModel.skin.textureSlot, 5);
    // Two frames cannot follow an animation that plays frames 0 ... 2.
    EXPECT_FALSE(LoadMd2SubModel(2, "Data\\Models\\Soldier", "short.md2", "gun.bmp"));
    const std::vector<std::string> boxes = BoxesBesidesMissingBitmaps();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(
        boxes[0],
        "Error: Invalid file format (Fewer key frames than its main model plays): short.md2!");
    EXPECT_EQ(o.subModel.numFrames, 4);
    // Reloading the main model drops the carried one.
    ASSERT_TRUE(LoadMd2Model(2, "Data\\Models\\Soldier", "body.md2", nullptr));
    EXPECT_FALSE(SceneObjects[2].hasSubModel);
    EXPECT_EQ(SceneObjects[2].subModel.numFrames, 0);

    // A single-frame model takes a mask map but no sub-model, silently.
    TestPlatformState().boxes.clear();
    ASSERT_TRUE(LoadMd2Model(4, "Data\\Models\\Soldier", "tree.md2", nullptr));
    EXPECT_FALSE(LoadMd2SubModel(4, "Data\\Models\\Soldier", "gun.md2", "gun.bmp"));
    EXPECT_FALSE(SceneObjects[4].hasSubModel);
    EXPECT_FALSE(LoadMaskMap(4, ""));
    EXPECT_TRUE(LoadMaskMap(4, "Data\\Models\\Soldier\\mask.bmp"));
    EXPECT_TRUE(SceneObjects[4].hasMaskMap);
    EXPECT_STREQ(SceneObjects[4].subModel.skin.strFileName, "Data\\Models\\Soldier\\mask.bmp");
    EXPECT_EQ(SceneObjects[4].subModel.skin.textureSlot, 9);
    EXPECT_TRUE(BoxesBesidesMissingBitmaps().empty());
    // A slot whose model failed has no key frames and takes a mask too.
    EXPECT_TRUE(LoadMaskMap(5, "x.bmp"));
}

// Objects loading the same bytes share one set of key frames, each with its own animation
// state; the arrays outlive every user but the last and are freed once (the sanitizer build sees
// a read after free or a second free). Bytes that differ, under any name, are never shared.
TEST_F(Md2Files, SameFileSharesKeyFramesFreedWithTheLastUser) {
    tTestMd2 body;
    body.frames.clear();
    AddFrames(body.frames, "stand", 2, false);
    AddFrames(body.frames, "run", 3, false);
    Put("body.md2", body);
    Put("copy.md2", body); // the same bytes under another name
    tTestMd2 other = body;
    other.numVertices = 4;
    Put("other.md2", other);
    const char* refusal = nullptr;
    tMd2Contents expected = Parse(WriteMd2(body), &refusal);
    ASSERT_EQ(refusal, nullptr);

    const char* dir = "Data\\Models\\Soldier";
    ASSERT_TRUE(LoadMd2Model(1, dir, "body.md2", nullptr));
    ASSERT_TRUE(LoadMd2Model(2, dir, "body.md2", nullptr));
    ASSERT_TRUE(LoadMd2Model(3, dir, "copy.md2", nullptr));
    ASSERT_TRUE(LoadMd2SubModel(3, dir, "body.md2", "gun.bmp"));
    ASSERT_TRUE(LoadMd2Model(4, dir, "other.md2", nullptr));
    const tModel* shared[] = {&SceneObjects[2].model, &SceneObjects[3].model,
                              &SceneObjects[3].subModel};
    for (const tModel* m : shared) {
        ASSERT_EQ(m->frames.size(), 5u);
        for (size_t k = 0; k < 5; ++k) {
            EXPECT_EQ(m->frames[k].vertices, SceneObjects[1].model.frames[k].vertices) << k;
        }
        EXPECT_EQ(m->frames[0].faces, SceneObjects[1].model.frames[0].faces);
        EXPECT_EQ(m->frames[0].texCoords, SceneObjects[1].model.frames[0].texCoords);
    }
    EXPECT_NE(SceneObjects[4].model.frames[0].vertices, SceneObjects[1].model.frames[0].vertices);
    EXPECT_EQ(SceneObjects[4].model.frames[0].vertexCount, 4);

    // Animation state and loop flags stay each object's own.
    SetAnimation(1, 1);
    SetAnimationLoops(1, 1, true);
    EXPECT_EQ(GetAnimation(1), 1);
    EXPECT_EQ(SceneObjects[1].model.currentFrameIndex, 2);
    EXPECT_EQ(GetAnimation(2), 0);
    EXPECT_EQ(SceneObjects[2].model.currentFrameIndex, 0);
    EXPECT_FALSE(SceneObjects[2].model.animations[1].loops);
    EXPECT_STREQ(SceneObjects[3].subModel.skin.strFileName, "gun.bmp");
    EXPECT_STREQ(SceneObjects[2].model.skin.strFileName, "skin.bmp");

    // The users go one by one, a reload in between; the rest read sound key frames throughout.
    const auto intact = [&](int id, bool sub) {
        const tModel& m = sub ? SceneObjects[id].subModel : SceneObjects[id].model;
        for (size_t k = 0; k < 5; ++k) {
            for (int32_t v = 0; v < 3; ++v) {
                EXPECT_EQ(m.frames[k].vertices[v], expected.model.frames[k].vertices[v])
                    << "object " << id << " frame " << k;
            }
        }
        EXPECT_EQ(m.frames[0].faces[0].vertexIndex[2],
                  expected.model.frames[0].faces[0].vertexIndex[2]);
    };
    ClearSceneObject(1);
    EXPECT_EQ(SceneObjects[1].model.frames.size(), 0u);
    intact(2, false);
    ASSERT_TRUE(LoadMd2Model(2, dir, "body.md2", nullptr)); // its own old hold goes on reloading
    intact(2, false);
    intact(3, true);
    ClearSceneObject(3);
    intact(2, false);
    ClearSceneObject(2);
    intact(4, false);

    // All gone: the next load reads the file afresh. A file rewritten while another object still
    // holds its old bytes gives the new object the new key frames.
    ASSERT_TRUE(LoadMd2Model(5, dir, "body.md2", nullptr));
    intact(5, false);
    tTestMd2 changed = body;
    changed.skinWidth = 32;
    Put("body.md2", changed);
    ASSERT_TRUE(LoadMd2Model(6, dir, "body.md2", nullptr));
    EXPECT_NE(SceneObjects[6].model.frames[0].texCoords, SceneObjects[5].model.frames[0].texCoords);
    EXPECT_EQ(SceneObjects[6].model.frames[0].texCoords[1].u, 1.0f); // 32 / 32
    EXPECT_EQ(SceneObjects[5].model.frames[0].texCoords[1].u, 0.5f); // 32 / 64
    ReleaseKeyFrames(&expected.model);
}
