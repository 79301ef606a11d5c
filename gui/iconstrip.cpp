#include "gui/iconstrip.h"

namespace gui {

std::shared_ptr<TIconStrip> TIconStrip::Create(const TPixmapPtr& pixmap) {
    auto strip = std::make_shared<TIconStrip>();
    strip->pixmap = pixmap;
    if (pixmap && pixmap->Height() > 0) strip->count = pixmap->Width() / pixmap->Height();
    return strip;
}

TPixmapPtr TIconStrip::ExtractIconPixmap(int index) const {
    if (index >= count || !pixmap) return nullptr;
    if (index < 0) return pixmap->Copy();
    const int cell = pixmap->Height();
    return pixmap->Window(index * cell, 0, cell, cell);
}

}  // namespace gui
