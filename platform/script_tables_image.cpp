#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

#include "platform/script_tables.h"

namespace lct {

// A table image is a header, then every member of the tables in a fixed
// order, each a count followed by its records copied byte for byte, from an
// offset that is a multiple of 8. The header names the format, the byte
// order and the size of each record, so that an image made by another
// machine or version is refused rather than misread. Reading copies each
// member into memory of its own type, or, for the build's own images
// (aligned, and there for the whole run), has the tables read the records
// where they are: no copy, and only the pages a text needs are touched.
class ScriptTablesImage {
  public:
    static std::string write(const ScriptTables& tables) {
        ScriptTablesImage image;
        image.header();
        image.putTables(tables.normalization_);
        image.putArray(tables.normalizationPairs_);
        image.put(static_cast<std::uint8_t>(tables.normalizeAlways_));
        image.putTable(tables.scan_);
        image.put(tables.segmentLevels_);
        image.putTables(tables.gap_);
        return std::move(image.bytes_);
    }

    static std::unique_ptr<const ScriptTables> read(std::string_view bytes, bool checkIndexes,
                                                    bool inPlace) {
        ScriptTablesImage image;
        image.in_ = bytes;
        image.size_ = bytes.size();
        image.checkIndexes_ = checkIndexes;
        image.inPlace_ = inPlace && reinterpret_cast<std::uintptr_t>(bytes.data()) % 8 == 0;
        std::unique_ptr<ScriptTables> tables(new ScriptTables);
        std::uint8_t always = 0;
        const bool whole = image.readHeader() && image.getTables(tables->normalization_) &&
                           image.getArray(tables->normalizationPairs_) && image.get(always) &&
                           always <= 1 && image.getTable(tables->scan_) &&
                           image.get(tables->segmentLevels_) && image.getTables(tables->gap_) &&
                           image.in_.empty() && tables->normalizationPairs_.size() == 0x10000 / 64;
        if (!whole) return nullptr;
        tables->normalizeAlways_ = always == 1;
        tables->noteNormalizationLead();
        return tables;
    }

  private:
    using Key = ScriptKeyTable;
    static constexpr std::string_view kMagic = "lct script tables 2";

    // The layout the records have on this machine.
    static std::uint64_t layout() {
        return std::uint64_t{sizeof(Key::First)} | std::uint64_t{sizeof(Key::Slot)} << 8 |
               std::uint64_t{sizeof(Key::Children)} << 16 |
               std::uint64_t{sizeof(Key::Astral)} << 24 |
               std::uint64_t{sizeof(Key::PieceHeader)} << 32 |
               std::uint64_t{std::endian::native == std::endian::little} << 40;
    }

    template <class T>
    static constexpr bool kPlain =
        std::is_trivially_copyable_v<T>&& std::has_unique_object_representations_v<T>;

    void header() {
        bytes_ += kMagic;
        put(layout());
    }
    bool readHeader() {
        if (!in_.starts_with(kMagic)) return false;
        in_.remove_prefix(kMagic.size());
        std::uint64_t found = 0;
        return get(found) && found == layout();
    }

    template <class T>
    void put(const T& value) {
        static_assert(kPlain<T>);
        bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    template <class T>
    bool get(T& value) {
        static_assert(kPlain<T>);
        if (in_.size() < sizeof value) return false;
        std::memcpy(&value, in_.data(), sizeof value);
        in_.remove_prefix(sizeof value);
        return true;
    }

    // Offsets of records are multiples of 8 from the image's start.
    static constexpr std::size_t kAlign = 8;
    std::size_t readOffset() const { return size_ - in_.size(); }

    template <class T>
    void putArray(std::span<const T> array) {
        static_assert(kPlain<T> && alignof(T) <= kAlign);
        put(std::uint64_t{array.size()});
        bytes_.append((kAlign - bytes_.size() % kAlign) % kAlign, '\0');
        bytes_.append(reinterpret_cast<const char*>(array.data()), array.size() * sizeof(T));
    }
    template <class T>
    void putArray(const std::vector<T>& array) {
        putArray(std::span<const T>(array));
    }
    // The records of the next array: their count and where they are.
    template <class T>
    bool getRecords(std::uint64_t& count, const char*& at) {
        static_assert(kPlain<T> && alignof(T) <= kAlign);
        std::uint64_t n = 0;
        if (!get(n)) return false;
        // The padding is part of the image: an image with other bytes there
        // is not one that image() made.
        const std::size_t skip = (kAlign - readOffset() % kAlign) % kAlign;
        if (in_.size() < skip) return false;
        for (std::size_t i = 0; i < skip; ++i)
            if (in_[i] != '\0') return false;
        in_.remove_prefix(skip);
        if (n > in_.size() / sizeof(T)) return false;
        count = n;
        at = in_.data();
        in_.remove_prefix(static_cast<std::size_t>(n) * sizeof(T));
        return true;
    }
    template <class T>
    bool getArray(std::vector<T>& array) {
        std::uint64_t count = 0;
        const char* at = nullptr;
        if (!getRecords<T>(count, at)) return false;
        array.resize(static_cast<std::size_t>(count));
        if (count > 0) std::memcpy(array.data(), at, array.size() * sizeof(T));
        return true;
    }
    // The array where it is in the image (see read()), or a copy of it in
    // `own` when the image is not read in place.
    template <class T>
    bool getArray(std::vector<T>& own, std::span<const T>& view) {
        if (!inPlace_) return getArray(own);
        std::uint64_t count = 0;
        const char* at = nullptr;
        if (!getRecords<T>(count, at)) return false;
        // The records were written there as objects of type T (image()).
        view = {reinterpret_cast<const T*>(at), static_cast<std::size_t>(count)};
        return true;
    }

    void putTable(const Key& t) {
        put(t.pageOf_);
        putArray(t.in_.pages);
        putArray(t.in_.astral);
        putArray(t.in_.children);
        putArray(t.in_.slots);
        putArray(t.in_.pairs);
        put(static_cast<std::int32_t>(t.pairShift_));
        putArray(std::span<const char>(t.in_.pool));
        put(t.plainAscii_);
        put(std::uint64_t{t.keys_});
    }
    bool getTable(Key& t) {
        std::int32_t shift = 0;
        std::uint64_t keys = 0;
        t.readOwnArrays();
        Key::Arrays& in = t.in_;
        std::span<const char> pool(in.pool);
        if (!(get(t.pageOf_) && getArray(t.pages_, in.pages) && getArray(t.astral_, in.astral) &&
              getArray(t.children_, in.children) && getArray(t.slots_, in.slots) &&
              getArray(t.pairs_, in.pairs) && get(shift) && getArray(t.pool_, pool) &&
              get(t.plainAscii_) && get(keys)))
            return false;
        if (inPlace_)
            in.pool = {pool.data(), pool.size()};
        else
            t.readOwnArrays();
        t.pairShift_ = shift;
        t.keys_ = static_cast<std::size_t>(keys);
        return !checkIndexes_ || consistent(t);
    }

    void putTables(const std::vector<Key>& tables) {
        put(std::uint64_t{tables.size()});
        for (const Key& t : tables)
            putTable(t);
    }
    bool getTables(std::vector<Key>& tables) {
        std::uint64_t count = 0;
        if (!get(count) || count > in_.size()) return false;
        tables.resize(static_cast<std::size_t>(count));
        for (Key& t : tables)
            if (!getTable(t)) return false;
        return true;
    }

    // Whether every index of `t` stays inside its arrays, so that a damaged
    // image cannot send a lookup outside them. Pieces are checked where they
    // are stored; the walk relies on nothing else.
    static bool consistent(const Key& t) {
        if (t.in_.pages.empty() || t.in_.pairs.empty() ||
            !std::has_single_bit(t.in_.pairs.size()) ||
            t.pairShift_ != 64 - std::countr_zero(t.in_.pairs.size() * 64))
            return false;
        for (const std::uint32_t page : t.pageOf_)
            if (page >= t.in_.pages.size()) return false;
        const auto pieceOk = [&t](std::uint32_t piece) {
            if (piece == Key::kNone) return true;
            if (t.in_.pool.size() < sizeof(Key::PieceHeader) ||
                piece > t.in_.pool.size() - sizeof(Key::PieceHeader))
                return false;
            return t.header(piece).size <= t.in_.pool.size() - piece - sizeof(Key::PieceHeader);
        };
        const auto childrenOk = [&t](const Key::Children& c) {
            return c.offset == Key::kNone ||
                   (std::has_single_bit(std::uint64_t{c.mask} + 1) &&
                    std::uint64_t{c.offset} + c.mask < t.in_.slots.size());
        };
        const auto firstOk = [&](const Key::First& f) {
            return childrenOk(f.children) && pieceOk(f.piece) && f.size <= f.bytes.size();
        };
        for (const Key::Page& page : t.in_.pages)
            for (const Key::First& f : page)
                if (!firstOk(f)) return false;
        for (const Key::Astral& a : t.in_.astral)
            if (!firstOk(a.first)) return false;
        for (const Key::Children& c : t.in_.children)
            if (!childrenOk(c)) return false;
        for (const Key::Slot& s : t.in_.slots)
            if (s.node >= t.in_.children.size() || !pieceOk(s.piece)) return false;
        return true;
    }

    std::string bytes_;
    std::string_view in_;
    std::size_t size_ = 0;  // of the whole image being read
    bool checkIndexes_ = true;
    bool inPlace_ = false;
};

std::string ScriptTables::image() const {
    return ScriptTablesImage::write(*this);
}

std::unique_ptr<const ScriptTables> ScriptTables::fromImage(std::string_view image,
                                                            ImageOrigin origin) {
    const bool build = origin == ImageOrigin::Build;
    return ScriptTablesImage::read(image, !build, build);
}

}  // namespace lct
