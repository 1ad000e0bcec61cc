// Shared, copy-on-write image bytes of a resource spec.
#include "vexagui/render/ImagePixels.h"

#include <utility>

namespace vexagui {

ImagePixels ImagePixels::borrowed(const std::uint8_t* bytes, std::size_t count) {
    ImagePixels p;
    if (bytes != nullptr && count > 0) {
        // Aliasing an empty owner: a pointer without ownership that copies like any other.
        p.held_ = std::shared_ptr<const std::uint8_t>(std::shared_ptr<void>(), bytes);
        p.heldSize_ = count;
    }
    return p;
}

// A copy shares the bytes but never the writable vector: the next write through either copies.
ImagePixels::ImagePixels(const ImagePixels& other)
    : held_(other.held_), heldSize_(other.heldSize_), source_(other.source_) {}

ImagePixels& ImagePixels::operator=(const ImagePixels& other) {
    if (this != &other) {
        held_ = other.held_;
        heldSize_ = other.heldSize_;
        source_ = other.source_;
        owned_.reset();
    }
    return *this;
}

ImagePixels::ImagePixels(ImagePixels&& other) noexcept
    : held_(std::move(other.held_)), heldSize_(std::exchange(other.heldSize_, 0)),
      source_(std::exchange(other.source_, nullptr)), owned_(std::move(other.owned_)) {}

ImagePixels& ImagePixels::operator=(ImagePixels&& other) noexcept {
    if (this != &other) {
        held_ = std::move(other.held_);
        heldSize_ = std::exchange(other.heldSize_, 0);
        source_ = std::exchange(other.source_, nullptr);
        owned_ = std::move(other.owned_);
    }
    return *this;
}

std::shared_ptr<const std::uint8_t> ImagePixels::acquire() const {
    if (held_) return held_;
    return source_ != nullptr ? source_->acquire() : nullptr;
}

bool ImagePixels::hold() {
    if (held_) return true;
    if (source_ == nullptr) return false;
    held_ = source_->acquire();
    heldSize_ = held_ ? source_->byteCount() : 0;
    return held_ != nullptr;
}

void ImagePixels::release() {
    if (source_ == nullptr) return;
    held_.reset();
    heldSize_ = 0;
}

std::vector<std::uint8_t>& ImagePixels::own(bool keep) {
    // Ours alone when no copy shares the vector (the alias in held_ is the one other reference).
    if (owned_ && owned_.use_count() == 2) return *owned_;
    auto fresh = std::make_shared<std::vector<std::uint8_t>>();
    if (keep && held_) fresh->assign(held_.get(), held_.get() + heldSize_);
    owned_ = std::move(fresh);
    source_ = nullptr;
    return *owned_;
}

void ImagePixels::refresh() {
    if (owned_->empty()) {
        held_.reset();
        heldSize_ = 0;
        return;
    }
    held_ = std::shared_ptr<const std::uint8_t>(owned_, owned_->data());
    heldSize_ = owned_->size();
}

void ImagePixels::assign(std::size_t count, std::uint8_t value) {
    own(false).assign(count, value);
    refresh();
}

void ImagePixels::push_back(std::uint8_t value) {
    own(true).push_back(value);
    refresh();
}

void ImagePixels::clear() {
    held_.reset();
    heldSize_ = 0;
    source_ = nullptr;
    owned_.reset();
}

} // namespace vexagui
