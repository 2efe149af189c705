// Loading a skin from "setup.json" and playing its motions.
#include "tavi/body/skin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "kiro/exception.h"
#include "kiro/io/charset/charset.h"
#include "kiro/ui/canvas.h"
#include "kiro/ui/loop.h"
#include "support/cases.h"
#include "support/tempfolder.h"

namespace tavi {
namespace {

using test::TempFolder;

class SkinTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(kiro::ui::initializeToolkit()); }
    void writeSkin(const std::string& json) {
        test::writeBytes(folder / L"setup.json", json);
        test::writeBytes(folder / L"wide.png", test::readData("skin/wide.png"));  // 40 x 20
        test::writeBytes(folder / L"tall.png", test::readData("skin/tall.png"));  // 10 x 60
    }
    TempFolder folder;
    int w = -1, h = -1;
};

TEST_F(SkinTest, SharedImagesLoadOnceAndTheSizeIsTheLargestOfEach) {
    writeSkin(R"({"motions": {
        "idle": {"timeout": 0, "images": ["wide.png", "tall.png"]},
        "speak": {"timeout": 0.5, "images": ["wide.png", "missing.png"]}}})");
    Body::Skin skin(folder.path(), w, h, L"idle");
    EXPECT_EQ(skin.imageCount(), 2u);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 60);
    ASSERT_NE(skin.motion(L"speak"), nullptr);
    // The missing picture is left out of the motion; the shared one is the same canvas.
    ASSERT_EQ(skin.motion(L"speak")->frames.size(), 1u);
    EXPECT_EQ(skin.motion(L"speak")->frames[0], skin.motion(L"idle")->frames[0]);
    EXPECT_EQ(skin.currentName(), L"idle");
    EXPECT_TRUE(skin.takeChanged());
    EXPECT_FALSE(skin.takeChanged());
}

TEST_F(SkinTest, NoUsableMotionsIsAnError) {
    // The last: one picture missing, the other (the skin file itself) not a picture.
    for (const char* json : {R"({"motions": {}})", "{broken", R"({"other": 1})",
                             R"({"motions": {"idle": {"images": ["none.png"]}, "x": {"images": ["setup.json"]}}})"}) {
        writeSkin(json);
        try {
            Body::Skin skin(folder.path(), w, h, L"idle");
            ADD_FAILURE() << "no exception for " << json;
        } catch (const kiro::Exception& e) {
            EXPECT_NE(std::string(e.what()).find("tavi::Body::Skin::Skin\n\nERROR_UnitImageNotfound"),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST_F(SkinTest, PlayRestartsOnlyWhenAskedAndIgnoresUnknownOrEmptyMotions) {
    writeSkin(R"({"motions": {
        "idle": {"timeout": 0, "images": ["wide.png"]},
        "speak": {"timeout": 0.5, "images": ["wide.png", "tall.png"]},
        "ghost": {"timeout": 1, "images": ["missing.png"]}}})");
    Body::Skin skin(folder.path(), w, h, L"idle");
    skin.takeChanged();

    skin.play(L"ghost", true);  // no frames: the current motion goes on
    skin.play(L"unknown", true);
    EXPECT_EQ(skin.currentName(), L"idle");
    EXPECT_FALSE(skin.takeChanged());

    skin.play(L"speak", false);
    EXPECT_EQ(skin.currentName(), L"speak");
    EXPECT_TRUE(skin.takeChanged());
    skin.update(0.3f);
    skin.play(L"speak", false);  // already playing: nothing changes
    EXPECT_FALSE(skin.takeChanged());
    EXPECT_NEAR(skin.remaining(), 0.2f, 1e-4);
    skin.play(L"speak", true);  // restart: full timeout again
    EXPECT_TRUE(skin.takeChanged());
    EXPECT_FLOAT_EQ(skin.remaining(), 0.5f);
}

TEST_F(SkinTest, FramesAreRedrawnAfterTheTimeoutAndNeverWithoutOne) {
    writeSkin(R"({"motions": {
        "idle": {"timeout": 0, "images": ["wide.png", "tall.png"]},
        "speak": {"timeout": 0.5, "images": ["wide.png", "tall.png"]}}})");
    Body::Skin skin(folder.path(), w, h, L"idle");
    skin.takeChanged();
    for (int i = 0; i < 100; ++i) skin.update(0.05f);
    EXPECT_FALSE(skin.takeChanged());

    skin.play(L"speak", true);
    skin.takeChanged();
    std::set<const kiro::ui::Canvas*> seen;
    int changes = 0;
    for (int i = 1; i <= 400; ++i) {
        skin.update(0.05f);
        if (skin.takeChanged()) {
            ++changes;
            EXPECT_EQ(i % 10, 0) << "the picture changed between redraws, at tick " << i;
            seen.insert(skin.currentFrame());
        }
    }
    // Each of the 40 redraws picks either picture, so about half change what is shown.
    EXPECT_GE(changes, 5);
    EXPECT_LE(changes, 40);
    EXPECT_EQ(seen.size(), 2u);
}

}  // namespace
}  // namespace tavi
