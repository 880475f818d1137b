#include "platform/gzip.h"

#include <gtest/gtest.h>

#include <string>

#include "files/temp_folder.h"

namespace lct {
namespace {

using test::gzipMember;

std::string sampleText(std::size_t size) {
    std::string s;
    for (std::size_t i = 0; s.size() < size; ++i)
        s += "line " + std::to_string(i) + "\r\n";
    s.resize(size);
    return s;
}

TEST(Gunzip, DecompressesOneMember) {
    const std::string plain = sampleText(300000);  // several input and output blocks
    const auto out = gunzip(gzipMember(plain));
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, plain);
}

TEST(Gunzip, DecompressesEveryMemberOfAMultiMemberStream) {
    const auto out = gunzip(gzipMember("first ") + gzipMember("") + gzipMember("third"));
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, "first third");
}

TEST(Gunzip, EmptyContent) {
    const auto out = gunzip(gzipMember(""));
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, "");
}

TEST(Gunzip, TruncatedStreamIsRefused) {
    const std::string whole = gzipMember(sampleText(100000));
    for (std::size_t cut :
         {whole.size() - 1, whole.size() - 8, whole.size() / 2, std::size_t{10}}) {
        EXPECT_FALSE(gunzip(whole.substr(0, cut)).has_value()) << "cut at " << cut;
    }
}

TEST(Gunzip, TruncatedSecondMemberIsRefused) {
    const std::string second = gzipMember("second");
    EXPECT_FALSE(gunzip(gzipMember("first") + second.substr(0, second.size() - 3)).has_value());
}

TEST(Gunzip, CorruptedChecksumIsRefused) {
    std::string bytes = gzipMember("some text to check");
    bytes[bytes.size() - 6] = static_cast<char>(bytes[bytes.size() - 6] ^ 0x55);  // CRC32
    EXPECT_FALSE(gunzip(bytes).has_value());
}

TEST(Gunzip, CorruptedDataIsRefused) {
    std::string bytes = gzipMember(sampleText(5000));
    for (std::size_t i = 12; i < 40; ++i)
        bytes[i] = static_cast<char>(0xFF);
    EXPECT_FALSE(gunzip(bytes).has_value());
}

TEST(Gunzip, TrailingBytesThatAreNoMemberAreRefused) {
    // Replacing the file by its decompressed form would lose them.
    EXPECT_FALSE(gunzip(gzipMember("text") + "tail").has_value());
    EXPECT_FALSE(gunzip(gzipMember("text") + std::string(8, '\0')).has_value());
}

TEST(Gunzip, OutputBeyondTheLimitIsRefused) {
    const std::string bytes = gzipMember(std::string(200000, 'x'));
    GunzipFailure why = GunzipFailure::None;
    EXPECT_FALSE(gunzip(bytes, 100000, &why).has_value());
    EXPECT_EQ(why, GunzipFailure::TooLarge);
    const auto exact = gunzip(bytes, 200000, &why);
    ASSERT_TRUE(exact.has_value());
    EXPECT_EQ(why, GunzipFailure::None);
    // Measured first, so the result holds no spare capacity.
    EXPECT_LT(exact->capacity(), exact->size() + 1024);
}

TEST(Gunzip, ABombOfManyMembersIsRefusedAtTheLimit) {
    const std::string member = gzipMember(std::string(1 << 20, '\0'));
    std::string bomb;
    for (int i = 0; i < 40; ++i)
        bomb += member;
    GunzipFailure why = GunzipFailure::None;
    EXPECT_FALSE(gunzip(bomb, 32u << 20, &why).has_value());
    EXPECT_EQ(why, GunzipFailure::TooLarge);
    EXPECT_FALSE(gunzip(bomb.substr(0, bomb.size() - 3), 64u << 20, &why).has_value());
    EXPECT_EQ(why, GunzipFailure::Damaged);
}

TEST(Gunzip, CallsBackOncePerOutputBlockOfEachPass) {
    const std::string plain = sampleText(300000);  // five output blocks of 64 KB
    int blocks = 0;
    const auto out = gunzip(gzipMember(plain), kMaxGunzipBytes, nullptr, [&] { ++blocks; });
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, plain);
    EXPECT_GE(blocks, 2 * 5);
    EXPECT_LE(blocks, 2 * 8);  // not once per byte or per line
}

TEST(GzipCompress, GivesOneMemberThatDecompressesToItsInput) {
    // Compressed data hardly shrinks again: its output outgrows the first guess.
    for (const std::string& plain :
         {std::string(), sampleText(300000), gzipMember(sampleText(1 << 20))}) {
        const auto packed = gzipCompress(plain);
        ASSERT_TRUE(packed.has_value());
        EXPECT_EQ(gunzip(*packed), plain);
    }
}

TEST(Gunzip, NotGzipIsRefused) {
    EXPECT_FALSE(gunzip("").has_value());
    EXPECT_FALSE(gunzip("\x1F").has_value());
    EXPECT_FALSE(gunzip("\x1F\x8B").has_value());
    EXPECT_FALSE(gunzip("plain text").has_value());
    EXPECT_TRUE(hasGzipSignature("\x1F\x8Bxyz"));
    EXPECT_FALSE(hasGzipSignature("\x8B\x1F"));
}

}  // namespace
}  // namespace lct
