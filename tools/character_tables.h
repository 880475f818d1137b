#pragma once
// The three character tables of the random text generator. Each is a GBK text
// of double-byte characters only, without separators, each character once.
// Their UTF-8 sources live in data/ and are embedded at build time.

#include <string>

namespace lct {

enum class CharacterTable {
    MostCommon,  ///< 498 characters by descending frequency: 的一是在不了有和人这…
    Common,      ///< the 2,500 常用字 by stroke count: 一乙二十丁厂七卜人入…
    Secondary,   ///< the 1,000 次常用字 by stroke count: 匕刁丐歹戈夭仑讥冗邓…
};

/// The table as GBK (996, 5,000 and 2,000 bytes), converted on first use and
/// kept for the life of the program.
const std::string& characterTable(CharacterTable table);

}  // namespace lct
