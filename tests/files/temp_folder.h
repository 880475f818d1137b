#pragma once
// A fresh folder under /tmp for one test, removed with everything in it.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace lct::test {

class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lct-files-XXXXXX").string();
        const char* made = ::mkdtemp(pattern.data());
        if (made == nullptr) ADD_FAILURE() << "cannot create a temporary folder";
        path_ = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

    /// Writes `bytes` to the file `name` of the folder and returns its path.
    std::string write(std::string_view name, std::string_view bytes) const {
        const std::string p = file(name);
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) ADD_FAILURE() << "cannot write " << p;
        return p;
    }

    /// The names in the folder, sorted (hidden ones included).
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

  private:
    std::string path_;
};

/// All bytes of a file, or "<missing>" when it cannot be opened.
inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// One gzip member holding `plain`.
inline std::string gzipMember(std::string_view plain) {
    z_stream s{};
    // 15 + 16: the largest window, written with a gzip header and trailer.
    if (deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string out(deflateBound(&s, static_cast<uLong>(plain.size())) + 64, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    s.avail_in = static_cast<uInt>(plain.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    if (rc != Z_STREAM_END) ADD_FAILURE() << "deflate failed";
    return out;
}

}  // namespace lct::test
