// The RGBA bytes a `ResourceSpec` carries: read-only storage shared by every copy of it, either
// bytes of its own, constant bytes it borrows, or an image that a source makes on
// demand (the resource pack's PNG images, decoded once per process and freed when nobody holds
// them). Copying a spec never copies pixels. User-interface thread, like the specs themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vexagui {

// Where an image's bytes can be had again after they were let go. A source outlives every spec
// that names it (the resource pack's sources live as long as the process).
class IVexaImageSource {
public:
    // Width x height x 4, known without making the bytes.
    virtual std::size_t byteCount() const = 0;
    // The shared read-only bytes (byteCount() of them); made when nobody holds them. Null when
    // the image cannot be made (a damaged file): it then draws nothing.
    virtual std::shared_ptr<const std::uint8_t> acquire() const = 0;

protected:
    ~IVexaImageSource() = default;
};

class ImagePixels {
public:
    ImagePixels() = default;
    // Deferred: nothing is held until hold() or acquire().
    explicit ImagePixels(const IVexaImageSource& source) : source_(&source) {}
    // Constant bytes that outlive every copy (static tables): referred to, never copied.
    static ImagePixels borrowed(const std::uint8_t* bytes, std::size_t count);

    ImagePixels(const ImagePixels& other);
    ImagePixels& operator=(const ImagePixels& other);
    ImagePixels(ImagePixels&& other) noexcept;
    ImagePixels& operator=(ImagePixels&& other) noexcept;
    ~ImagePixels() = default;

    // Size in bytes, also while nothing is held.
    std::size_t size() const { return held_ ? heldSize_ : (source_ ? source_->byteCount() : 0); }
    bool empty() const { return size() == 0; }

    // Whether the bytes are held right now (data() and the element access need that).
    bool isHeld() const { return held_ != nullptr; }
    // Whether released bytes can be had again from a source.
    bool canReacquire() const { return source_ != nullptr; }
    const IVexaImageSource* source() const { return source_; }

    // The bytes: the held ones, else made by the source (not kept here). Null when there are none.
    std::shared_ptr<const std::uint8_t> acquire() const;
    // Keeps the bytes from now on; false when there are none.
    bool hold();
    // Lets the held bytes go when a source can make them again; bytes of a spec's own stay.
    void release();

    // Element access to held bytes (null / undefined while nothing is held).
    const std::uint8_t* data() const { return held_.get(); }
    const std::uint8_t* begin() const { return held_.get(); }
    const std::uint8_t* end() const { return held_ ? held_.get() + heldSize_ : nullptr; }
    const std::uint8_t& operator[](std::size_t i) const { return held_.get()[i]; }
    const std::uint8_t& front() const { return held_.get()[0]; }
    const std::uint8_t& back() const { return held_.get()[heldSize_ - 1]; }

    // Writing makes the bytes its own (copied first when they are shared or borrowed).
    void assign(std::size_t count, std::uint8_t value);
    template <class It>
    void assign(It first, It last) {
        std::vector<std::uint8_t>& bytes = own(false);
        bytes.assign(first, last);
        refresh();
    }
    void push_back(std::uint8_t value);
    void clear();

private:
    std::vector<std::uint8_t>& own(bool keep);
    void refresh();

    std::shared_ptr<const std::uint8_t> held_;
    std::size_t heldSize_ = 0;
    const IVexaImageSource* source_ = nullptr;
    // The vector behind held_ when this object alone made it; never shared with a copy.
    std::shared_ptr<std::vector<std::uint8_t>> owned_;
};

} // namespace vexagui
