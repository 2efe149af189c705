// Skin loading and motion playback.
#include "tavi/body/skin.h"

#include <algorithm>

#include "kiro/exception.h"
#include "kiro/io/file.h"
#include "kiro/io/jsonfile.h"
#include "kiro/random.h"
#include "kiro/ui/canvas.h"

namespace tavi {

Body::Skin::Skin(const std::wstring& folder, int& width, int& height, const std::wstring& initial) {
    kiro::io::JsonFile setup(folder + L"setup.json");
    int maxWidth = 0, maxHeight = 0;
    // object_items() is an ordered map, so motions load in ascending key order.
    for (const auto& [name, value] : setup[L"motions"].object_items()) {
        Motion motion;
        motion.timeout = static_cast<float>(value[L"timeout"].number_value());
        for (const auto& item : value[L"images"].array_items()) {
            const std::wstring& image = item.string_value();
            auto found = images_.find(image);
            if (found == images_.end()) {
                kiro::io::BinaryObject bytes(folder + image);
                if (bytes.empty()) continue;  // the next mention tries again
                auto canvas = std::make_unique<kiro::ui::Canvas>(bytes.data(), bytes.size());
                maxWidth = std::max(maxWidth, canvas->width());
                maxHeight = std::max(maxHeight, canvas->height());
                found = images_.emplace(image, std::move(canvas)).first;
            }
            motion.frames.push_back(found->second.get());
        }
        motions_[name] = std::move(motion);
    }
    if (motions_.empty()) KIRO_THROW("tavi::Body::Skin::Skin", "ERROR_UnitImageNotfound");
    width = maxWidth;
    height = maxHeight;
    play(initial, true);
}

Body::Skin::~Skin() = default;

const Body::Skin::Motion* Body::Skin::motion(const std::wstring& name) const {
    auto found = motions_.find(name);
    return found == motions_.end() ? nullptr : &found->second;
}

void Body::Skin::play(const std::wstring& name, bool restart) {
    if (name == currentName_ && !restart) return;
    const Motion* next = motion(name);
    if (!next || next->frames.empty()) return;
    currentName_ = name;
    currentMotion_ = next;
    currentFrame_ = next->frames[kiro::randomIndex(next->frames.size() - 1)];
    remaining_ = next->timeout;
    changed_ = true;
}

void Body::Skin::update(float seconds) {
    if (!currentMotion_ || remaining_ <= 0) return;
    remaining_ -= seconds;
    if (remaining_ > 0) return;
    currentFrame_ = currentMotion_->frames[kiro::randomIndex(currentMotion_->frames.size() - 1)];
    remaining_ = currentMotion_->timeout;
    changed_ = true;
}

void Body::Skin::draw(kiro::ui::Canvas& canvas) const {
    if (currentFrame_) currentFrame_->drawOnto(canvas, 0, 0);
}

bool Body::Skin::takeChanged() {
    bool was = changed_;
    changed_ = false;
    return was;
}

}  // namespace tavi
