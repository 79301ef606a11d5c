#pragma once
// An icon strip: one pixmap holding a row of square icons, each as wide as the strip
// is high.

#include <memory>

#include "gui/pixmap.h"

namespace gui {

class TIconStrip : public rt::TObject {
public:
    TPixmapPtr pixmap;
    int count = 0;

    // A strip over the pixmap with as many icons as whole cells fit.
    static std::shared_ptr<TIconStrip> Create(const TPixmapPtr& pixmap);

    // Icon i as a view of its cell; a copy of the whole pixmap for i < 0; null for
    // i >= count.
    TPixmapPtr ExtractIconPixmap(int index) const;
};

using TIconStripPtr = std::shared_ptr<TIconStrip>;

}  // namespace gui
