#include "platform/gzip.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <random>
#include <string>

#include "files/temp_folder.h"
#include "platform/gzip_zlib.h"

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
    // Sized by the trailer, so the result holds no spare capacity.
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

TEST(Gunzip, CallsBackAfterEachMember) {
    const std::string plain = sampleText(300000);
    int blocks = 0;
    const auto out = gunzip(gzipMember(plain) + gzipMember(plain) + gzipMember("end"),
                            kMaxGunzipBytes, nullptr, [&] { ++blocks; });
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, plain + plain + "end");
    EXPECT_GE(blocks, 3);
    EXPECT_LE(blocks, 8);  // a few more tries while the room grows, never once per block
    // The members after the first are measured: no room is left over.
    EXPECT_LT(out->capacity(), out->size() + 1024);
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

// gunzip against zlib's streaming inflater, which the program used before:
// the same bytes or the same failure, at the limits around each output's
// size. libdeflate reads a few damaged Huffman codes that zlib refuses; it
// may succeed there only with the undamaged stream's content (`intact`),
// which the trailer's CRC-32 vouches for.
class GunzipAgreesWithZlib : public ::testing::Test {
  protected:
    static void expectSame(const std::string& bytes, const std::optional<std::string>& intact,
                           const std::string& what) {
        std::size_t produced = 0;  // what zlib inflates before it stops
        (void)inflateGzipWithZlib(bytes, kMaxGunzipBytes,
                                  [&](std::string_view block) { produced += block.size(); });
        for (const std::size_t limit : {kMaxGunzipBytes, produced, produced - 1}) {
            if (limit > kMaxGunzipBytes) continue;
            GunzipFailure ours = GunzipFailure::None;
            GunzipFailure zlib = GunzipFailure::None;
            const auto out = gunzip(bytes, limit, &ours);
            const auto expected = gunzipWithZlib(bytes, limit, &zlib);
            if (out && !expected) {
                ASSERT_EQ(out, intact) << what << " limit " << limit;
                continue;
            }
            ASSERT_EQ(out, expected) << what << " limit " << limit;
            ASSERT_EQ(ours, zlib) << what << " limit " << limit;
        }
    }

    // A member as any writer may make it: any level and strategy, with or
    // without a name, comment, extra field and header checksum.
    static std::string member(const std::string& plain, std::mt19937& rng) {
        constexpr int kStrategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE,
                                       Z_FIXED};
        z_stream s{};
        EXPECT_EQ(deflateInit2(&s, static_cast<int>(rng() % 11) - 1, Z_DEFLATED, 15 + 16, 8,
                               kStrategies[rng() % 5]),
                  Z_OK);
        std::string extra = "ex", name = "a.htm", comment = "note";
        gz_header header{};
        header.extra = reinterpret_cast<Bytef*>(extra.data());
        header.extra_len = rng() % 2 ? 2 : 0;
        header.name = rng() % 2 ? reinterpret_cast<Bytef*>(name.data()) : nullptr;
        header.comment = rng() % 2 ? reinterpret_cast<Bytef*>(comment.data()) : nullptr;
        header.hcrc = static_cast<int>(rng() % 2);
        if (rng() % 2) deflateSetHeader(&s, &header);
        std::string out(deflateBound(&s, static_cast<uLong>(plain.size())) + 64, '\0');
        s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
        s.avail_in = static_cast<uInt>(plain.size());
        s.next_out = reinterpret_cast<Bytef*>(out.data());
        s.avail_out = static_cast<uInt>(out.size());
        EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
        out.resize(s.total_out);
        deflateEnd(&s);
        return out;
    }
};

TEST_F(GunzipAgreesWithZlib, OnTheFuzzCorpusCutAndFlipped) {
    for (const auto& entry : std::filesystem::directory_iterator(LCT_GZIP_CORPUS)) {
        const std::string bytes = test::readBytes(entry.path().string());
        const std::string name = entry.path().filename().string();
        const std::optional<std::string> intact = gunzipWithZlib(bytes);
        expectSame(bytes, intact, name);
        const std::size_t step = bytes.size() / 12 + 1;
        for (std::size_t i = 0; i < bytes.size(); i += step) {
            expectSame(bytes.substr(0, i), std::nullopt, name + " cut at " + std::to_string(i));
            std::string flipped = bytes;
            flipped[i] = static_cast<char>(flipped[i] ^ (1 << i % 8));
            expectSame(flipped, intact, name + " flipped at " + std::to_string(i));
        }
    }
}

TEST_F(GunzipAgreesWithZlib, OnRandomMembers) {
    std::mt19937 rng(27);
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        std::string intact;
        for (std::size_t members = 1 + rng() % 3; members > 0; --members) {
            std::string plain = sampleText(rng() % 8 ? rng() % 5000 : rng() % 300000);
            for (std::size_t i = rng() % 50; i > 0 && !plain.empty(); --i)
                plain[rng() % plain.size()] = static_cast<char>(rng());
            bytes += rng() % 4 ? member(plain, rng) : *gzipCompress(plain);
            intact += plain;
        }
        switch (rng() % 4) {  // then damaged one way or another, or not at all
            case 0:
                bytes.resize(rng() % bytes.size());
                break;
            case 1:
                bytes[rng() % bytes.size()] ^= static_cast<char>(1 + rng() % 255);
                break;
            case 2:
                bytes += rng() % 2 ? std::string("\x1F\x8B\x08") : std::string(1, '\0');
                break;
        }
        expectSame(bytes, intact, "round " + std::to_string(round));
    }
}

}  // namespace
}  // namespace lct
