// The embedded character tables: sizes in GBK, order, and that each holds
// distinct double-byte characters only.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gbk.h"
#include "tools/character_tables.h"

namespace lct {
namespace {

using test::G;
using test::U;

struct TableRow {
    CharacterTable table;
    std::size_t bytes;
    const char* first;
    const char* last;
};

constexpr TableRow kTables[] = {
    {CharacterTable::MostCommon, 996, "的一是在不了有和人这", "照参红细引听该铁价严"},
    {CharacterTable::Common, 5000, "一乙二十丁厂七卜人入", "嚼嚷籍魔灌蠢霸露囊罐"},
    {CharacterTable::Secondary, 2000, "匕刁丐歹戈夭仑讥冗邓", "鳞糯譬霹躏髓蘸镶瓤矗"},
};

TEST(CharacterTables, SizesAndEndsInGbk) {
    for (const TableRow& row : kTables) {
        SCOPED_TRACE(row.first);
        const std::string& table = characterTable(row.table);
        EXPECT_EQ(table.size(), row.bytes);
        EXPECT_EQ(U(table.substr(0, 20)), row.first);
        EXPECT_EQ(U(table.substr(table.size() - 20)), row.last);
    }
}

TEST(CharacterTables, DistinctDoubleByteCharactersOnly) {
    for (const TableRow& row : kTables) {
        SCOPED_TRACE(row.first);
        const std::string& table = characterTable(row.table);
        std::set<std::string> seen;
        for (std::size_t i = 0; i + 1 < table.size(); i += 2) {
            const auto lead = static_cast<unsigned char>(table[i]);
            const auto trail = static_cast<unsigned char>(table[i + 1]);
            ASSERT_GE(lead, 0x81) << i;
            ASSERT_GE(trail, 0x40) << i;
            EXPECT_TRUE(seen.insert(table.substr(i, 2)).second) << U(table.substr(i, 2));
        }
        EXPECT_EQ(seen.size() * 2, table.size());
    }
}

TEST(CharacterTables, MostCommonDrawnFromTheOtherTwo) {
    const std::string& most = characterTable(CharacterTable::MostCommon);
    const std::string both =
        characterTable(CharacterTable::Common) + characterTable(CharacterTable::Secondary);
    for (std::size_t i = 0; i < most.size(); i += 2) {
        bool found = false;
        for (std::size_t j = 0; j < both.size() && !found; j += 2)
            found = both.compare(j, 2, most, i, 2) == 0;
        EXPECT_TRUE(found) << U(most.substr(i, 2));
    }
}

}  // namespace
}  // namespace lct
