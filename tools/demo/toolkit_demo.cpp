// A look at the window toolkit: a layered window with a picture, a speech-balloon shape with
// Japanese text and an outlined status line, standing over a patterned ordinary window.
// Usage: tavi_toolkit_demo <folder with figure.png> [seconds before it quits, 0: never]
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "kiro/ui/canvas.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/screen.h"
#include "kiro/ui/window.h"

using namespace kiro::ui;

namespace {

// Diagonal stripes, so that what shows through the layered window is plain to see.
class Backdrop : public Window {
public:
    Backdrop() : Window(nullptr, ws::Popup) {}
    LResult onPaint(Canvas& c) override {
        c.clear(rgb(40, 120, 90));
        c.setColor(rgb(230, 200, 60), 255);
        for (int x = -c.height(); x < c.width(); x += 24) {
            const Point stripe[] = {{x, 0}, {x + 12, 0}, {x + 12 + c.height(), c.height()}, {x + c.height(), c.height()}};
            c.drawPolygon(stripe, 4, true);
        }
        return 0;
    }
};

// A speech balloon: rounded body, a tail pointing right, the text inside.
std::unique_ptr<Canvas> balloon(const std::wstring& text) {
    auto b = std::make_unique<Canvas>(400, 400);
    b->setFont(L"ＭＳ ゴシック", 17);
    Size size{};
    b->measureText(text, &size, 336);
    b->resize(size.cx + 64, size.cy + 32);
    const int cw = b->width(), ch = b->height(), m = ch / 2 - 8;
    const Point tail[] = {{cw - 16, m}, {cw - 16 + 12, m + 8}, {cw - 16, m + 16}};
    b->setColor(rgb(255, 255, 255), 255);
    b->drawPolygon(tail, 3, true);
    b->setColor(rgb(0, 0, 0), 255);
    b->drawLine(tail[0].x, tail[0].y, tail[1].x, tail[1].y);
    b->drawLine(tail[2].x, tail[2].y, tail[1].x, tail[1].y);
    b->setColor(rgb(255, 255, 255), 255);
    b->drawRect(Rect{16, 0, cw - 16, ch}, true, 32);
    b->setColor(rgb(0, 0, 0), 255);
    b->drawRect(Rect{16, 0, cw - 16, ch}, false, 32);
    b->setColor(rgb(255, 255, 255), 255);
    b->drawLine(cw - 17, m + 1, cw - 17, m + 15);
    b->setColor(rgb(64, 64, 64), 255);
    b->drawText(text, 32, 16, 336, false);
    return b;
}

class Figure : public Window {
public:
    explicit Figure(const std::vector<unsigned char>& png)
        : Window(nullptr, ws::Popup, wsex::Layered), picture_(png.data(), png.size()) {}

    LResult onPaint(Canvas& c) override {
        c.clear();
        auto older = balloon(L"おはよう。");
        auto newest = balloon(L"こんにちは！\nドラッグで動かせます。Drag me.");
        const int right = newest->width();
        older->drawOnto(c, right - older->width(), 200 - newest->height() - 60, 0.7f);
        newest->drawOnto(c, 0, 200 - newest->height());
        picture_.drawOnto(c, right + 4, 60);
        c.setFont(L"ＭＳ ゴシック", 15);
        c.setColor(rgb(255, 180, 180), 255);
        c.drawText(L"読み込み中…", right + 8, 60, 120, true);
        return 0;
    }

private:
    Canvas picture_;
};

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

class Quitter : public Window {
public:
    LResult onTimer() override {
        quitLoop();
        return 0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (!initializeToolkit()) return 1;
    const std::vector<unsigned char> png = readFile(std::string(argv[1]) + "/figure.png");
    Backdrop backdrop;
    backdrop.moveTo(20, 20);
    backdrop.setClientSize(560, 420);
    backdrop.show();
    Figure figure(png);
    figure.moveTo(60, 40);
    figure.setClientSize(480, 380);
    figure.setDragMove(true);
    figure.show();
    Quitter quitter;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 0;
    if (seconds > 0) quitter.setTimer(std::uint32_t(seconds) * 1000, 0);
    runLoop();
    return 0;
}
