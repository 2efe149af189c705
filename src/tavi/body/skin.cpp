// Skin loading and motion playback.
#include "tavi/body/skin.h"

#include <algorithm>

#include "kiro/exception.h"
#include "kiro/io/file.h"
#include "kiro/io/jsonfile.h"
#include "kiro/random.h"
#include "kiro/ui/canvas.h"
#include "tavi/ticks.h"

namespace tavi {

namespace {

// Past this many draws of the same picture in a row, the next draw counts as a change anyway.
constexpr uint32_t LongestRepeat = 10000;

kiro::ui::Canvas* drawFrame(const Body::Skin::Motion& motion) {
    return motion.frames[kiro::randomIndex(motion.frames.size() - 1)];
}

}  // namespace

Body::Skin::Skin(const std::wstring& folder, int& width, int& height, const std::wstring& initial)
    : folder_(folder) {
    kiro::io::JsonFile setup(folder + L"setup.json");
    // object_items() is an ordered map: a later entry of the same name replaces an earlier one.
    for (const auto& [name, value] : setup[L"motions"].object_items()) {
        Motion motion;
        motion.timeout = static_cast<float>(value[L"timeout"].number_value());
        for (const auto& item : value[L"images"].array_items()) motion.images.push_back(item.string_value());
        motions_[name] = std::move(motion);
    }
    // The first picture comes first: the other motions load once it is on the screen, unless
    // the initial motion has nothing to show.
    const Motion* first = loaded(initial);
    if (!first || first->frames.empty()) {
        decodeRest(width, height);
        const bool any = std::any_of(motions_.begin(), motions_.end(),
                                     [](const auto& m) { return !m.second.frames.empty(); });
        if (!any) KIRO_THROW("tavi::Body::Skin::Skin", "ERROR_UnitImageNotfound");
    }
    width = width_;
    height = height_;
    play(initial, true);
}

Body::Skin::~Skin() = default;

void Body::Skin::decodeRest(int& width, int& height) {
    for (auto& [name, motion] : motions_) load(motion);
    complete_ = true;
    width = width_;
    height = height_;
}

Body::Skin::Motion* Body::Skin::loaded(const std::wstring& name) {
    auto found = motions_.find(name);
    if (found == motions_.end()) return nullptr;
    load(found->second);
    return &found->second;
}

const Body::Skin::Motion* Body::Skin::motion(const std::wstring& name) { return loaded(name); }

// A picture loads when its file has bytes and they decode to a picture with an area; one that
// does not is left out of the motion (the next mention tries again), so a motion without any
// picture that loads is never switched to.
void Body::Skin::load(Motion& motion) {
    if (motion.loaded) return;
    motion.loaded = true;
    for (const std::wstring& image : motion.images) {
        auto found = images_.find(image);
        if (found == images_.end()) {
            kiro::io::BinaryObject bytes(folder_ + image);
            if (bytes.empty()) continue;
            auto canvas = std::make_unique<kiro::ui::Canvas>(bytes.data(), bytes.size());
            if (canvas->width() <= 0 || canvas->height() <= 0) continue;
            width_ = std::max(width_, canvas->width());
            height_ = std::max(height_, canvas->height());
            found = images_.emplace(image, std::move(canvas)).first;
        }
        motion.frames.push_back(found->second.get());
        motion.oneImage = motion.oneImage && found->second.get() == motion.frames.front();
    }
    motion.images.clear();
}

void Body::Skin::play(const std::wstring& name, bool restart) {
    if (name == currentName_ && !restart) return;
    const Motion* next = loaded(name);
    if (!next || next->frames.empty()) return;
    currentName_ = name;
    currentMotion_ = next;
    currentFrame_ = drawFrame(*next);
    remaining_ = next->timeout;
    changed_ = true;
    lookAhead();
}

void Body::Skin::update(float seconds) {
    if (!currentMotion_ || remaining_ <= 0) return;
    remaining_ -= seconds;
    if (remaining_ > 0) return;
    remaining_ = currentMotion_->timeout;
    // The draw due now was made ahead; one that picked the picture shown changes nothing.
    if (repeats_ > 0) {
        --repeats_;
        return;
    }
    currentFrame_ = upcoming_;
    changed_ = true;
    lookAhead();
}

void Body::Skin::lookAhead() {
    repeats_ = 0;
    upcoming_ = currentFrame_;
    if (currentMotion_->timeout <= 0 || currentMotion_->oneImage) return;
    while (repeats_ < LongestRepeat) {
        upcoming_ = drawFrame(*currentMotion_);
        if (upcoming_ != currentFrame_) return;
        ++repeats_;
    }
}

uint32_t Body::Skin::ticksUntilChange() const {
    if (!currentMotion_ || remaining_ <= 0 || currentMotion_->oneImage) return NeverDue;
    const uint64_t ticks =
        ticksUntilSpent(remaining_) + uint64_t(repeats_) * ticksUntilSpent(currentMotion_->timeout);
    return uint32_t(std::min<uint64_t>(ticks, LongestWait));
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
