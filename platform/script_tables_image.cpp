#include <bit>
#include <cstring>
#include <type_traits>

#include "platform/script_tables.h"

namespace lct {

// A table image is a header, then every member of the tables in a fixed
// order, each a count followed by its records copied byte for byte. The
// header names the format, the byte order and the size of each record, so
// that an image made by another machine or version is refused rather than
// misread. Reading copies each member into memory of its own type.
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

    static std::unique_ptr<const ScriptTables> read(std::string_view bytes, bool checkIndexes) {
        ScriptTablesImage image;
        image.in_ = bytes;
        image.checkIndexes_ = checkIndexes;
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
    static constexpr std::string_view kMagic = "lct script tables 1";

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

    template <class Array>
    void putArray(const Array& array) {
        using T = typename Array::value_type;
        static_assert(kPlain<T>);
        put(std::uint64_t{array.size()});
        bytes_.append(reinterpret_cast<const char*>(array.data()), array.size() * sizeof(T));
    }
    template <class Array>
    bool getArray(Array& array) {
        using T = typename Array::value_type;
        static_assert(kPlain<T>);
        std::uint64_t count = 0;
        if (!get(count) || count > in_.size() / sizeof(T)) return false;
        array.resize(static_cast<std::size_t>(count));
        const std::size_t size = array.size() * sizeof(T);
        if (size > 0) std::memcpy(array.data(), in_.data(), size);
        in_.remove_prefix(size);
        return true;
    }

    void putTable(const Key& t) {
        put(t.pageOf_);
        putArray(t.pages_);
        putArray(t.astral_);
        putArray(t.children_);
        putArray(t.slots_);
        putArray(t.pairs_);
        put(static_cast<std::int32_t>(t.pairShift_));
        putArray(t.pool_);
        put(t.plainAscii_);
        put(std::uint64_t{t.keys_});
    }
    bool getTable(Key& t) {
        std::int32_t shift = 0;
        std::uint64_t keys = 0;
        if (!(get(t.pageOf_) && getArray(t.pages_) && getArray(t.astral_) &&
              getArray(t.children_) && getArray(t.slots_) && getArray(t.pairs_) && get(shift) &&
              getArray(t.pool_) && get(t.plainAscii_) && get(keys)))
            return false;
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
        if (t.pages_.empty() || t.pairs_.empty() || !std::has_single_bit(t.pairs_.size()) ||
            t.pairShift_ != 64 - std::countr_zero(t.pairs_.size() * 64))
            return false;
        for (const std::uint32_t page : t.pageOf_)
            if (page >= t.pages_.size()) return false;
        const auto pieceOk = [&t](std::uint32_t piece) {
            if (piece == Key::kNone) return true;
            if (t.pool_.size() < sizeof(Key::PieceHeader) ||
                piece > t.pool_.size() - sizeof(Key::PieceHeader))
                return false;
            return t.header(piece).size <= t.pool_.size() - piece - sizeof(Key::PieceHeader);
        };
        const auto childrenOk = [&t](const Key::Children& c) {
            return c.offset == Key::kNone || (std::has_single_bit(std::uint64_t{c.mask} + 1) &&
                                              std::uint64_t{c.offset} + c.mask < t.slots_.size());
        };
        const auto firstOk = [&](const Key::First& f) {
            return childrenOk(f.children) && pieceOk(f.piece) && f.size <= f.bytes.size();
        };
        for (const Key::Page& page : t.pages_)
            for (const Key::First& f : page)
                if (!firstOk(f)) return false;
        for (const Key::Astral& a : t.astral_)
            if (!firstOk(a.first)) return false;
        for (const Key::Children& c : t.children_)
            if (!childrenOk(c)) return false;
        for (const Key::Slot& s : t.slots_)
            if (s.node >= t.children_.size() || !pieceOk(s.piece)) return false;
        return true;
    }

    std::string bytes_;
    std::string_view in_;
    bool checkIndexes_ = true;
};

std::string ScriptTables::image() const {
    return ScriptTablesImage::write(*this);
}

std::unique_ptr<const ScriptTables> ScriptTables::fromImage(std::string_view image,
                                                            ImageOrigin origin) {
    return ScriptTablesImage::read(image, origin == ImageOrigin::Unknown);
}

}  // namespace lct
