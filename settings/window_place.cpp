#include "settings/window_place.h"

#include <cmath>

#include "platform/charset.h"

namespace lct {
namespace {

constexpr std::string_view kLeft = "左";
constexpr std::string_view kTop = "上";
constexpr std::string_view kWidth = "宽";
constexpr std::string_view kHeight = "高";
constexpr std::string_view kMaximized = "最大化";

// The stored number of the section as an int; nullopt when missing, empty
// or out of range.
std::optional<int> readInt(SettingsStore& store, std::string_view section,
                           std::string_view utf8Key) {
    const std::string key = utf8ToGbk(utf8Key);
    if (store.readKey(section, key, {}).empty()) return std::nullopt;
    const double value = store.readNumber(key, 0);
    if (!std::isfinite(value) || std::fabs(value) > 1e6) return std::nullopt;
    return static_cast<int>(std::lround(value));
}

}  // namespace

std::optional<WindowPlace> loadWindowPlace(SettingsStore& store, std::string_view section) {
    store.selectSection(section);
    const std::optional<int> x = readInt(store, section, kLeft);
    const std::optional<int> y = readInt(store, section, kTop);
    const std::optional<int> width = readInt(store, section, kWidth);
    const std::optional<int> height = readInt(store, section, kHeight);
    if (!x || !y || !width || !height || *width <= 0 || *height <= 0) return std::nullopt;
    WindowPlace place;
    place.rect = {*x, *y, *width, *height};
    place.maximized = store.readBool(utf8ToGbk(kMaximized), false);
    return place;
}

void saveWindowPlace(SettingsStore& store, std::string_view section, const WindowPlace& place) {
    store.selectSection(section);
    store.writeNumber(utf8ToGbk(kLeft), place.rect.x);
    store.writeNumber(utf8ToGbk(kTop), place.rect.y);
    store.writeNumber(utf8ToGbk(kWidth), place.rect.width);
    store.writeNumber(utf8ToGbk(kHeight), place.rect.height);
    store.writeBool(utf8ToGbk(kMaximized), place.maximized);
}

}  // namespace lct
