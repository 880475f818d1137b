#pragma once
// Where windows open: inside the screen's available area (the screen less its
// panels), whatever was stored or asked for. Plain rectangles, so the rules
// are tested without a display; the Qt windows convert.

#include <optional>

#include "settings/window_place.h"

namespace lct {

/// `wanted` cut to at most the size of `available`, then moved the least
/// distance that puts it wholly inside `available`.
WindowRect fitInside(const WindowRect& wanted, const WindowRect& available);

/// A window of `width` × `height` with its centre on the centre of `owner`,
/// then fitted inside `available`.
WindowRect centredOver(int width, int height, const WindowRect& owner, const WindowRect& available);

/// The room a window manager takes around a window's client area: title bar
/// and borders.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

/// Where the main window's client area opens so that its frame (`margins`
/// around it) lies wholly inside `available`: the stored place (the frame's
/// corner and the client area's size) or, when none is stored, the preferred
/// client size centred in `available`; moved right and down by `offset` (a
/// second copy of the program beside the first), then cut and moved to fit.
WindowRect openingRect(const std::optional<WindowRect>& stored, int preferredWidth,
                       int preferredHeight, const WindowRect& available,
                       const FrameMargins& margins = {}, int offset = 0);

}  // namespace lct
