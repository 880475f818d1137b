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

/// Where the main window opens: the stored rectangle fitted inside
/// `available`, or, when none is stored, a window of the preferred size
/// centred in `available` and fitted inside it.
WindowRect openingRect(const std::optional<WindowRect>& stored, int preferredWidth,
                       int preferredHeight, const WindowRect& available);

}  // namespace lct
