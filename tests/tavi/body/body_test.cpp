// A character's figure: its skin and motions, the balloon's lines and drawing, and the body
// window that ties them together, each asking for a tick exactly when what it shows changes.
#include "tavi/body/body.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "kiro/exception.h"
#include "kiro/ui/canvas.h"
#include "kiro/ui/loop.h"
#include "support/cases.h"
#include "support/unitfolder.h"
#include "tavi/body/skin.h"
#include "tavi/body/statusline.h"
#include "tavi/body/textbox.h"
#include "tavi/ticks.h"

namespace tavi {
namespace {

using kiro::ui::Canvas;
using kiro::ui::Rect;

class BodyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(uitest::start()); }
    void writeSkin(const std::string& setup) {
        folder.addUnit("a", "{}");
        folder.write("units/a/body/setup.json", setup);  // pictures: wide.png 40 x 20, tall.png 10 x 60
    }
    test::UnitFolder folder;
    int w = -1, h = -1;
};

// Plays the step scripts of tests/data/body (see the README there) on a skin, a balloon's lines
// or a body, and gives back each step with what it showed.
TEST_F(BodyTest, CasesPlayAsTheirFilesSay) {
    test::runCases("body", [&](const std::string& steps) {
        std::unique_ptr<Body::Skin> ownSkin;
        std::unique_ptr<Body> body;
        BalloonLines ownLines;
        Body::Skin* s = nullptr;
        const Canvas* shown = nullptr;
        bool updated = false;
        auto yes = [](bool b) { return std::string(b ? " yes" : " no"); };
        auto state = [&] { return body ? body->skin().currentName() + body->status().text() : L""; };
        auto tick = [&] {
            if (body) body->update(TickSeconds);
            if (s && !body) s->update(TickSeconds);
            if (!s) updated = ownLines.update(TickSeconds);
        };
        auto step = [&](const std::string& verb, const std::string& arg) -> std::string {
            const std::wstring text = kiro::io::fromUtf8(arg.substr(0, arg.find(' ')));
            const std::wstring rest = kiro::io::fromUtf8(arg.substr(arg.find(' ') + 1));
            const BalloonLines& lines = body ? body->balloon().lines() : ownLines;
            auto due = [&] { return body ? body->ticksUntilDue() : s ? s->ticksUntilChange() : lines.ticksUntilDue(); };
            if (verb == "skin") {
                try {
                    writeSkin(arg[0] == '{' ? arg : test::readData(arg));
                    ownSkin = std::make_unique<Body::Skin>(L"units\\a\\body\\", w, h, L"idle");
                } catch (const kiro::Exception& e) {
                    const std::string what = e.what();
                    return what.find("Body::Skin::Skin\n\nERROR_UnitImageNotfound") != what.npos ? " not usable" : what;
                }
                shown = (s = ownSkin.get())->currentFrame();
                return " " + std::to_string(s->imageCount()) + " pictures " + std::to_string(w) + "x" +
                       std::to_string(h);
            }
            if (verb == "body") {
                folder.addUnit("a", "{}");
                body = std::make_unique<Body>(nullptr, L"units\\a\\body\\", nullptr);
                s = &body->skin();
                return yes(uitest::waitUntil([&] { return body->painted(); }));
            }
            if (verb == "frames") {
                const auto& frames = s->motion(text)->frames;
                return " " + std::to_string(frames.size()) + yes(frames[0] == s->motion(L"idle")->frames[0]);
            }
            if (verb == "play" || verb == "restart") s->play(text, verb == "restart");
            if (verb == "name") return " " + kiro::io::toUtf8(s->currentName());
            if (verb == "changed") return yes(s->takeChanged());
            if (verb == "remaining")
                return " " + std::to_string(std::lround(1000 * (s ? s->remaining() : lines.remaining()))) + " ms";
            if (verb == "wait") s->update(std::stof(arg));
            if (verb == "unescape") return " " + test::visible(BalloonLines::unescape(kiro::io::fromUtf8(arg)));
            if (verb == "add") return yes(ownLines.add(kiro::io::fromUtf8(arg)));
            if (verb == "status") body->showStatus(text);
            if (verb == "speak") body->speak(text, rest);
            if (verb == "speaking") return yes(body->isSpeaking()) + " " + std::to_string(lines.lines().size());
            if (verb == "due") return due() == NeverDue ? " never" : " " + std::to_string(due());
            std::string out;
            if (verb == "revealed")
                for (const auto& l : lines.lines()) out += " " + std::to_string(l.revealed);
            if (verb == "silence") {
                float silence = -1;
                out = yes(lines.isEmpty(&silence));
                out += " " + std::to_string(int(silence / TickSeconds + 0.5f));
            }
            if (verb == "tick") {
                for (int n = arg.empty() ? 1 : std::stoi(arg); n > 0; --n) tick();
                if (!s) out = yes(updated);
            }
            if (verb == "run") {
                // Ticks through the changes, each due when it said (else "early" or "late"), and
                // gives the greatest common divisor of their due ticks.
                uint32_t every = 0;
                for (int c = std::stoi(arg); c > 0; --c) {
                    const uint32_t ticks = due();
                    every = std::gcd(every, ticks);
                    for (uint32_t t = 1; t <= ticks && ticks != NeverDue; ++t) {
                        const std::wstring before = state();
                        tick();
                        bool changed = body ? state() != before : s ? s->takeChanged() : updated;
                        if (s && !body && changed) changed = std::exchange(shown, s->currentFrame()) != shown;
                        if (changed != (t == ticks)) out += changed ? " early" : " late";
                    }
                }
                out += " every " + std::to_string(every);
            }
            return out;
        };
        return test::Outcome{test::playSteps(steps, step), ""};
    });
}

TEST_F(BodyTest, TheBalloonStandsBesideTheBodyWithSaneOffsetsAndDrawsNewLinesOverFadedOnes) {
    kiro::ui::Window owner(nullptr, kiro::ui::ws::Popup, 0);
    owner.setClientSize(200, 300);
    owner.moveTo(700, 300);
    Rect body{}, r{};
    owner.getWindowRect(body);
    const int middle = body.bottom - ((body.bottom - body.top) >> 1);
    auto balloon = [&](const std::string& setup) {
        writeSkin(setup);
        auto b = std::make_unique<Body::Textbox>(&owner, L"units\\a\\body\\");
        b->reposition();
        b->getWindowRect(r);
        return b;
    };
    balloon(R"({"textbox": {"x": -5, "y": 7}})");
    EXPECT_TRUE(r.right == body.left - 5 && r.bottom == middle + 7);
    balloon(R"({"textbox": {"x": 1e12, "y": -1e12}})");  // beyond any screen: 0
    EXPECT_TRUE(r.right == body.left && r.bottom == middle);
    EXPECT_TRUE(balloon(R"({"textbox": {"x": -5, "right": true}})")->right());
    EXPECT_EQ(r.left, body.right);

    // A broken setup gives the defaults; an empty balloon draws nothing and cannot be closed.
    auto b = balloon("{not json");
    Canvas canvas(400, 400);
    EXPECT_FALSE(b->right() || b->isVisible() || b->onClose() != 0 || b->onPaint(canvas) != 0);
    for (int y = 0; y < 400; y += 20)
        for (int x = 0; x < 400; x += 20) ASSERT_EQ(canvas.pixel(x, y) >> 24, 0u);

    // A line count that makes each balloon between 280 and 329 pixels high, so the newest
    // stands at 400 - h, the next at 340 - h (visible) and the third below 0.
    std::wstring text = L"あ";
    kiro::ui::Size size{};
    while (canvas.measureText(BalloonLines::unescape(text), &size, Body::Textbox::TextWidth), size.cy + 32 < 280)
        text += L"\\nあ";
    const int ch = size.cy + 32;
    ASSERT_LT(ch, 330);
    for (int i = 0; i < 4; ++i) b->add(text);
    EXPECT_TRUE(b->isVisible());
    b->onPaint(canvas);
    const int x = 400 - (size.cx + 64) / 2;                   // mid-balloon: they hug the side of the body
    EXPECT_EQ(canvas.pixel(x, 400 - ch / 2) >> 24, 255u);     // the newest, opaque
    const auto older = canvas.pixel(x, 400 - ch - 30) >> 24;  // the next older, faded
    EXPECT_TRUE(older > 150 && older < 200) << older;
    EXPECT_EQ(canvas.pixel(x, 2) >> 24, 0u);  // the third is not drawn
}

TEST_F(BodyTest, ClosingTheCharacterEndsTheProgramsLoop) {
    folder.addUnit("a", "{}");
    Body body(nullptr, L"units\\a\\body\\", nullptr);
    uitest::every(50, [&] { return body.onClose(), false; });
    uitest::Rescue rescue(5000);
    kiro::ui::runLoop();
    EXPECT_FALSE(rescue.fired());
}

}  // namespace
}  // namespace tavi
