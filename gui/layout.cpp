// The layout rule: a gadget's edges follow its parent's client area by the alignment
// codes, always from the rectangle recorded when the layout was locked, so repeated
// resizing never accumulates rounding.

#include "gui/gadget.h"

#include <algorithm>
#include <cstdint>

namespace gui {
namespace {

enum : int { ALIGN_FREE = 0, ALIGN_EDGE = 1, ALIGN_PROPORTIONAL = 2 };

struct TSpan {
    int start;
    int end;
};

// a * b / c truncated toward zero, as 32-bit arithmetic gives it while nothing overflows.
int MulDiv(int a, int b, int c) {
    return static_cast<int>(static_cast<std::int64_t>(a) * b / c);
}

TSpan LayoutAxis(int startCode, int endCode, TSpan current, int lockPos, int lockSize,
                 int lockClient, int client) {
    TSpan span = current;
    if (startCode == ALIGN_FREE && endCode == ALIGN_FREE) {
        span.start = MulDiv(client, lockPos + lockSize / 2, lockClient) - lockSize / 2;
        span.end = span.start + lockSize;
        return span;
    }
    if (startCode == ALIGN_EDGE) span.start = lockPos;
    if (startCode == ALIGN_PROPORTIONAL) span.start = MulDiv(client, lockPos, lockClient);
    if (endCode == ALIGN_EDGE) span.end = lockPos + lockSize - lockClient + client;
    if (endCode == ALIGN_PROPORTIONAL) span.end = MulDiv(client, lockPos + lockSize, lockClient);
    if (startCode == ALIGN_FREE) {
        span.start = span.end - lockSize;
    } else if (endCode == ALIGN_FREE) {
        span.end = span.start + lockSize;
    }
    return span;
}

bool FollowsParent(int kind) {
    return kind != GADGET_WINDOW && kind != GADGET_MENUITEM && kind != GADGET_NODE;
}

}  // namespace

void TGadget::SetRect(int x, int y, int w, int h) {
    xpos = x;
    ypos = y;
    width = std::max(w, 0);
    height = std::max(h, 0);
}

void TGadget::SetArea(int x, int y, int w, int h) {
    SetRect(x, y, w, h);
    Rethink();
    LayoutKids();
}

void TGadget::SetShape(int x, int y, int w, int h) {
    SetArea(x, y, w, h);
    LockLayout();
}

void TGadget::LockLayout() {
    lockx = xpos;
    locky = ypos;
    lockw = width;
    lockh = height;
    const TGadgetPtr group = parent.lock();
    lockcw = group ? std::max(group->ClientWidth(), 1) : 1;
    lockch = group ? std::max(group->ClientHeight(), 1) : 1;
}

void TGadget::SetLayout(int left, int right, int top, int bottom) {
    lockl = left;
    lockr = right;
    lockt = top;
    lockb = bottom;
    LockLayout();
}

void TGadget::LayoutKids() {
    // Over a copy: a driver's Rethink may change the list.
    for (const TGadgetPtr& kid : std::vector<TGadgetPtr>(kids)) kid->DoLayout();
}

void TGadget::DoLayout() {
    const TGadgetPtr group = parent.lock();
    if (!group || !FollowsParent(Class())) return;
    // Never locked: there is no reference to scale from (and dividing by it would fail).
    if (lockcw < 1 || lockch < 1) return;
    const int cw = std::max(group->ClientWidth(), 1);
    const int ch = std::max(group->ClientHeight(), 1);
    const TSpan h = LayoutAxis(lockl, lockr, {xpos, xpos + width}, lockx, lockw, lockcw, cw);
    const TSpan v = LayoutAxis(lockt, lockb, {ypos, ypos + height}, locky, lockh, lockch, ch);
    SetArea(h.start, v.start, h.end - h.start, v.end - v.start);
}

}  // namespace gui
