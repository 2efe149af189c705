// A body's pictures and the named motions that choose among them, from "setup.json".
#pragma once

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
    };

    // Loads folder + "setup.json"; throws "ERROR_UnitImageNotfound" when no motion is left.
    // Writes the largest image width and height to width and height.
    Skin(const std::wstring& folder, int& width, int& height, const std::wstring& initial);
    ~Skin();

    void play(const std::wstring& name, bool restart);
    void update(float seconds);
    void draw(kiro::ui::Canvas& canvas) const;
    bool takeChanged();

    const std::wstring& currentName() const { return currentName_; }
    const kiro::ui::Canvas* currentFrame() const { return currentFrame_; }
    float remaining() const { return remaining_; }
    size_t imageCount() const { return images_.size(); }
    const Motion* motion(const std::wstring& name) const;

private:
    std::unordered_map<std::wstring, std::unique_ptr<kiro::ui::Canvas>> images_;
    std::unordered_map<std::wstring, Motion> motions_;
    std::wstring currentName_;
    const Motion* currentMotion_ = nullptr;
    kiro::ui::Canvas* currentFrame_ = nullptr;
    float remaining_ = 0;
    bool changed_ = false;
};

}  // namespace tavi
