#include "gui/pixmap.h"

#include <algorithm>

namespace gui {

std::shared_ptr<TPixmap> TPixmap::Create(int width, int height) {
    auto pixmap = std::make_shared<TPixmap>();
    pixmap->width_ = std::max(width, 0);
    pixmap->height_ = std::max(height, 0);
    pixmap->stride_ = pixmap->width_;
    pixmap->pixels_ = std::make_shared<std::vector<std::uint32_t>>(
        static_cast<std::size_t>(pixmap->width_) * pixmap->height_);
    return pixmap;
}

std::size_t TPixmap::Offset(int x, int y) const {
    return static_cast<std::size_t>(top_ + y) * stride_ + (left_ + x);
}

std::uint32_t TPixmap::Pixel(int x, int y) const {
    return Inside(x, y) ? (*pixels_)[Offset(x, y)] : 0;
}

void TPixmap::SetPixel(int x, int y, std::uint32_t argb) {
    if (Inside(x, y)) (*pixels_)[Offset(x, y)] = argb;
}

std::shared_ptr<TPixmap> TPixmap::Copy() const {
    std::shared_ptr<TPixmap> copy = Create(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) copy->SetPixel(x, y, Pixel(x, y));
    }
    return copy;
}

std::shared_ptr<TPixmap> TPixmap::Window(int x, int y, int w, int h) const {
    const int x0 = std::clamp(x, 0, width_), y0 = std::clamp(y, 0, height_);
    const int x1 = std::clamp(x + std::max(w, 0), x0, width_);
    const int y1 = std::clamp(y + std::max(h, 0), y0, height_);
    auto view = std::make_shared<TPixmap>();
    view->pixels_ = pixels_;
    view->stride_ = stride_;
    view->left_ = left_ + x0;
    view->top_ = top_ + y0;
    view->width_ = x1 - x0;
    view->height_ = y1 - y0;
    return view;
}

}  // namespace gui
