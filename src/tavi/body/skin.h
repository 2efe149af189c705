// A body's pictures and the named motions that choose among them, from "setup.json".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "tavi/body/body.h"

namespace kiro::ui {
class Canvas;
}

namespace tavi {

class Body::Skin {
public:
    struct Motion {
        std::vector<kiro::ui::Canvas*> frames;  // point into the skin's images
        float timeout = 0;                      // seconds per picture; <= 0 keeps the first
        std::vector<std::wstring> images;       // image names, until the frames are loaded
        bool loaded = false;
        bool oneImage = true;  // every frame is the same picture
    };

    // Loads folder + "setup.json" and the pictures of the initial motion (of every motion when
    // that one has none); the others load with decodeRest or when first played. Throws
    // "ERROR_UnitImageNotfound" when no motion has a picture that loads. Writes the largest
    // width and height loaded so far to width and height.
    Skin(const std::wstring& folder, int& width, int& height, const std::wstring& initial);
    ~Skin();

    // Loads the pictures of every motion not loaded yet; writes the largest size again.
    void decodeRest(int& width, int& height);
    bool complete() const { return complete_; }

    void play(const std::wstring& name, bool restart);
    void update(float seconds);
    void draw(kiro::ui::Canvas& canvas) const;
    // Whether the picture shown has changed since the last call.
    bool takeChanged();
    // Ticks of update(TickSeconds) until the picture shown next changes; NeverDue when it
    // cannot. Frames are drawn ahead at random, so a redraw that picks the same picture is
    // known beforehand and needs no tick of its own.
    uint32_t ticksUntilChange() const;

    const std::wstring& currentName() const { return currentName_; }
    const kiro::ui::Canvas* currentFrame() const { return currentFrame_; }
    float remaining() const { return remaining_; }
    size_t imageCount() const { return images_.size(); }
    // The motion with its frames loaded; null when there is none of that name.
    const Motion* motion(const std::wstring& name);

private:
    Motion* loaded(const std::wstring& name);
    void load(Motion& motion);
    void lookAhead();

    std::wstring folder_;
    std::unordered_map<std::wstring, std::unique_ptr<kiro::ui::Canvas>> images_;
    std::unordered_map<std::wstring, Motion> motions_;
    int width_ = 0;
    int height_ = 0;
    bool complete_ = false;
    std::wstring currentName_;
    const Motion* currentMotion_ = nullptr;
    kiro::ui::Canvas* currentFrame_ = nullptr;
    float remaining_ = 0;
    bool changed_ = false;
    // The draws after the current one, made ahead: `repeats_` of them pick the picture already
    // shown, then `upcoming_` is shown.
    uint32_t repeats_ = 0;
    kiro::ui::Canvas* upcoming_ = nullptr;
};

}  // namespace tavi
