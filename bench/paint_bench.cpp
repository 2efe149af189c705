// Cost of one balloon paint on the toolkit's canvas (done on every reveal tick, 20 times a
// second) and of putting a 400 by 400 canvas on a layered window, beside a plain cairo copy of
// the same pixels as the floor. Run on an X display (xvfb-run) for the window cases.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <memory>

#include "kiro/ui/canvas.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/window.h"

using namespace kiro::ui;

namespace {

void paintBalloon(Canvas& target, const std::wstring& text) {
    Canvas b(400, 400);
    Size size{};
    b.measureText(text, &size, 336);
    b.resize(size.cx + 64, size.cy + 32);
    const int cw = b.width(), ch = b.height(), m = ch / 2 - 8;
    const Point tail[] = {{cw - 16, m}, {cw - 4, m + 8}, {cw - 16, m + 16}};
    b.setColor(rgb(255, 255, 255), 255);
    b.drawPolygon(tail, 3, true);
    b.drawRect(Rect{16, 0, cw - 16, ch}, true, 32);
    b.setColor(rgb(0, 0, 0), 255);
    b.drawRect(Rect{16, 0, cw - 16, ch}, false, 32);
    b.setColor(rgb(64, 64, 64), 255);
    b.drawText(text, 32, 16, 336, false);
    b.drawOnto(target, 400 - cw, 400 - ch);
}

const std::wstring Line = L"こんにちは。今日はいい天気ですね。散歩に行きませんか？";

void BM_BalloonPaint(benchmark::State& state) {
    for (auto _ : state) {
        Canvas window(400, 400);
        paintBalloon(window, Line);
        benchmark::DoNotOptimize(window.pixel(200, 390));
    }
}
BENCHMARK(BM_BalloonPaint)->Unit(benchmark::kMicrosecond);

// The floor: copying 400 by 400 pixels once with cairo.
void BM_ReferenceCairoCopy(benchmark::State& state) {
    cairo_surface_t* from = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 400, 400);
    cairo_surface_t* to = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 400, 400);
    for (auto _ : state) {
        cairo_t* cr = cairo_create(to);
        cairo_set_source_surface(cr, from, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        benchmark::ClobberMemory();
    }
    cairo_surface_destroy(from);
    cairo_surface_destroy(to);
}
BENCHMARK(BM_ReferenceCairoCopy)->Unit(benchmark::kMicrosecond);

void BM_PresentLayered(benchmark::State& state) {
    if (!initializeToolkit()) {
        state.SkipWithError("no display");
        return;
    }
    Window w(nullptr, ws::Popup, wsex::Layered);
    w.show();
    Canvas c(400, 400);
    paintBalloon(c, Line);
    for (auto _ : state) c.present(w.handle(), 0, 0);
}
BENCHMARK(BM_PresentLayered)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
