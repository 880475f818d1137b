#include "tools/character_tables.h"

#include <string_view>

#include "platform/charset.h"

namespace lct {

// Defined in the sources generated from data/ (tools/embed_text.cmake).
std::string_view mostCommonTableUtf8();
std::string_view commonTableUtf8();
std::string_view secondaryTableUtf8();

const std::string& characterTable(CharacterTable table) {
    static const std::string mostCommon = utf8ToGbk(mostCommonTableUtf8());
    static const std::string common = utf8ToGbk(commonTableUtf8());
    static const std::string secondary = utf8ToGbk(secondaryTableUtf8());
    switch (table) {
        case CharacterTable::Common:
            return common;
        case CharacterTable::Secondary:
            return secondary;
        case CharacterTable::MostCommon:
            break;
    }
    return mostCommon;
}

}  // namespace lct
