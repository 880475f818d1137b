#include "app/window_geometry.h"

#include <algorithm>

namespace lct {
namespace {

// The start of a span of `length` moved the least distance into
// [`from`, `from` + `room`); `length` is at most `room`.
int startInside(int start, int length, int from, int room) {
    return std::clamp(start, from, from + room - length);
}

}  // namespace

WindowRect fitInside(const WindowRect& wanted, const WindowRect& available) {
    WindowRect fitted = wanted;
    fitted.width = std::clamp(wanted.width, 1, std::max(available.width, 1));
    fitted.height = std::clamp(wanted.height, 1, std::max(available.height, 1));
    fitted.x = startInside(wanted.x, fitted.width, available.x, std::max(available.width, 1));
    fitted.y = startInside(wanted.y, fitted.height, available.y, std::max(available.height, 1));
    return fitted;
}

WindowRect centredOver(int width, int height, const WindowRect& owner,
                       const WindowRect& available) {
    const WindowRect centred{owner.x + (owner.width - width) / 2,
                             owner.y + (owner.height - height) / 2, width, height};
    return fitInside(centred, available);
}

WindowRect openingRect(const std::optional<WindowRect>& stored, int preferredWidth,
                       int preferredHeight, const WindowRect& available,
                       const FrameMargins& margins, int offset) {
    const int extraWidth = margins.left + margins.right;
    const int extraHeight = margins.top + margins.bottom;
    WindowRect frame = stored ? WindowRect{stored->x, stored->y, stored->width + extraWidth,
                                           stored->height + extraHeight}
                              : centredOver(preferredWidth + extraWidth,
                                            preferredHeight + extraHeight, available, available);
    frame.x += offset;
    frame.y += offset;
    frame = fitInside(frame, available);
    return {frame.x + margins.left, frame.y + margins.top, std::max(frame.width - extraWidth, 1),
            std::max(frame.height - extraHeight, 1)};
}

}  // namespace lct
