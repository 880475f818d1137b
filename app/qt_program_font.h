#pragma once
// The font the program draws its texts in.

class QFont;

namespace lct {

/// `base` with the Simplified Chinese families put first (Noto Sans CJK SC,
/// Source Han Sans SC, WenQuanYi), then `base`'s own. Which CJK font draws a
/// Chinese character otherwise depends on the locale: under C or POSIX,
/// fontconfig falls back to a Japanese or Traditional face, whose punctuation
/// (a centred "：") and some character forms are not those of the Simplified
/// texts the program shows. A family that is not installed is skipped, so
/// without any of them the text looks as before.
QFont withSimplifiedChineseFamilies(const QFont& base);

}  // namespace lct
