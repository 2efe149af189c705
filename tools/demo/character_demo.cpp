// Shows one character from a body folder for screenshots: standing idle, or speaking an older
// line and then a two-line one. Usage: tavi_character_demo <body folder> idle|speak [seconds [left]]
#include <cstdlib>
#include <iostream>
#include <string>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/window.h"
#include "tavi/body/body.h"

namespace {

// Drives the body like the main window's tick, and ends the loop after the given time.
class Ticker : public kiro::ui::Window {
public:
    Ticker(tavi::Body& body, int ticks) : body_(body), ticksLeft_(ticks) { setTimer(50, 0); }
    kiro::ui::LResult onTimer() override {
        body_.update(0.05f);
        if (--ticksLeft_ <= 0) kiro::ui::quitLoop();
        return 0;
    }

private:
    tavi::Body& body_;
    int ticksLeft_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || !kiro::ui::initializeToolkit()) {
        std::cerr << "usage: tavi_character_demo <body folder> idle|speak [seconds [left]]\n";
        return 2;
    }
    std::wstring folder = kiro::io::fromUtf8(argv[1]);
    if (folder.back() != L'/') folder += L'/';
    const std::string mode = argv[2];
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 4;

    tavi::Body body(nullptr, folder, nullptr);
    if (argc > 4 && std::string(argv[4]) == "left") {
        kiro::ui::Point at{};
        body.position(at);
        body.moveTo(40, at.y);  // room for a balloon on the right
    }
    Ticker ticker(body, seconds * 20);
    if (mode == "speak") {
        body.speak(L"おはよう！ きょうもいい天気だね。", L"happy");
        for (int i = 0; i < 40; ++i) body.update(0.05f);
        body.speak(L"ねえねえ、聞いて。\\nさっき葉っぱが一枚ふえたんだ！", L"speak");
    }
    kiro::ui::runLoop();
    return 0;
}
