#pragma once
// A rectangle of 32-bit ARGB pixels, as much of a pixmap as the gadget layer needs:
// icon strips cut into cells and handed to gadgets.

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/object.h"

namespace gui {

class TPixmap : public rt::TObject {
public:
    // Transparent black; negative sizes count as 0.
    static std::shared_ptr<TPixmap> Create(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0 outside the pixmap.
    std::uint32_t Pixel(int x, int y) const;
    // Ignored outside the pixmap.
    void SetPixel(int x, int y, std::uint32_t argb);

    // A pixmap of its own with the same pixels.
    std::shared_ptr<TPixmap> Copy() const;
    // A view of the rectangle (clipped to this pixmap) that shares these pixels:
    // changes through either show in both.
    std::shared_ptr<TPixmap> Window(int x, int y, int w, int h) const;

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::size_t Offset(int x, int y) const;

    std::shared_ptr<std::vector<std::uint32_t>> pixels_;
    int stride_ = 0;           // pixels per row of the shared storage
    int left_ = 0, top_ = 0;   // this view's corner in the shared storage
    int width_ = 0, height_ = 0;
};

using TPixmapPtr = std::shared_ptr<TPixmap>;

}  // namespace gui
