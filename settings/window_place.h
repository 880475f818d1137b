#pragma once
// Where a window was and how large it was, kept between runs in a section of
// its own (the main window's: "主界面窗口"), keys "左", "上", "宽", "高" and
// "最大化". The window fits the place to the screen it opens on.

#include <optional>
#include <string_view>

#include "settings/settings_store.h"

namespace lct {

/// A window's frame: position of its top-left corner and its size, in the
/// screen's device-independent pixels.
struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

struct WindowPlace {
    WindowRect rect;
    bool maximized = false;
    bool operator==(const WindowPlace&) const = default;
};

/// The place stored under `section` (GBK); nullopt when a key is missing or
/// the stored size is not positive.
std::optional<WindowPlace> loadWindowPlace(SettingsStore& store, std::string_view section);

/// Stores `place` under `section` (GBK); inside a save (beginSave) the
/// outcome of the save tells whether it was written. Selects `section`.
void saveWindowPlace(SettingsStore& store, std::string_view section, const WindowPlace& place);

}  // namespace lct
