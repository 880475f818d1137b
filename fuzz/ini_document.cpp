// The INI document: parse any bytes, edit them, write them back.
//
// Checks: open loads the file byte for byte; a written key reads back when
// its section, key and value can be written as a line; every other such key
// that the input probes reads as before; an edit removes no line break of the old
// document (the lines it does not touch stay byte for byte); after the save
// the file equals the document.

#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/charset.h"
#include "settings/ini_document.h"

namespace {

struct Key {
    std::string section;
    std::string key;
};

// A file of this process's own in a scratch folder (memory-backed when
// /dev/shm exists), removed with the folder when the process ends.
class ScratchFolder {
  public:
    ScratchFolder() : folder_(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") {
        folder_ += "/lct-fuzz-ini-XXXXXX";
        LCT_FUZZ_CHECK(mkdtemp(folder_.data()) != nullptr);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string file() const { return folder_ + "/settings.ini"; }

  private:
    std::string folder_;
};

const std::string& scratchFile() {
    static const ScratchFolder folder;
    static const std::string path = folder.file();
    return path;
}

void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    LCT_FUZZ_CHECK(out.good());
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool validGbk(std::string_view text) {
    return lct::utf8ToGbk(lct::gbkToUtf8(text)) == text;
}

bool holdsAny(std::string_view text, std::string_view bytes) {
    return text.find_first_of(bytes) != std::string_view::npos;
}

// True when the line "key=value" under "[section]" reads back as written:
// valid GBK without line breaks or NUL, no "]" in the name, no "=" in the
// key, and a key that cannot be taken for a header line.
bool writableAsLine(const Key& k, std::string_view value) {
    using namespace std::string_view_literals;
    const std::string_view breaks = "\r\n\0"sv;
    if (!validGbk(k.section) || !validGbk(k.key) || !validGbk(value)) return false;
    if (holdsAny(k.section, breaks) || holdsAny(k.key, breaks) || holdsAny(value, breaks))
        return false;
    if (holdsAny(k.section, "]") || holdsAny(k.key, "=")) return false;
    return k.key.empty() || k.key.front() != '[';
}

// The part of `before` that an edit turning it into `after` removed, taking
// the longest common head and tail.
std::string_view removedPart(std::string_view before, std::string_view after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return before.substr(head, before.size() - head - tail);
}

void checkEdit(lct::IniDocument& ini, const Key& k, const std::string& value,
               const std::vector<Key>& probes) {
    std::vector<std::string> before;
    for (const Key& p : probes)
        before.push_back(ini.readKey(p.section, p.key, "\x01", false));
    const std::string old = ini.document();

    LCT_FUZZ_CHECK(ini.writeKey(k.section, k.key, value) == lct::KeyWrite::Written);

    LCT_FUZZ_CHECK(removedPart(old, ini.document()).find("\r\n") == std::string_view::npos);
    if (!writableAsLine(k, value)) return;
    LCT_FUZZ_CHECK(ini.readKey(k.section, k.key, "\x01", false) == value);
    for (std::size_t i = 0; i < probes.size(); ++i) {
        if (probes[i].section == k.section && probes[i].key == k.key) continue;
        // A key that cannot stand on a line of its own reads as another one.
        if (!writableAsLine(probes[i], "")) continue;
        LCT_FUZZ_CHECK(ini.readKey(probes[i].section, probes[i].key, "\x01", false) == before[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool saveToFile = input.ConsumeBool();
    const std::string initial = input.ConsumeRandomLengthString(4096);
    std::vector<Key> probes;
    for (int i = input.ConsumeIntegralInRange(0, 4); i > 0; --i)
        probes.push_back(
            {input.ConsumeRandomLengthString(16), input.ConsumeRandomLengthString(16)});

    const std::string& path = scratchFile();
    writeBytes(path, initial);
    lct::IniDocument ini;
    if (saveToFile) {
        LCT_FUZZ_CHECK(ini.open(path));
        ini.beginSave();
    } else {
        LCT_FUZZ_CHECK(ini.load(path));
    }
    LCT_FUZZ_CHECK(ini.document() == initial);

    while (input.remaining_bytes() > 0) {
        Key k;
        const bool probed = !probes.empty() && input.ConsumeBool();
        if (probed) {
            k = probes[input.ConsumeIntegralInRange<std::size_t>(0, probes.size() - 1)];
        } else {
            k.section = input.ConsumeRandomLengthString(16);
            k.key = input.ConsumeRandomLengthString(16);
        }
        checkEdit(ini, k, input.ConsumeRandomLengthString(32), probes);
        (void)ini.headerBetween(input.ConsumeIntegral<std::int64_t>(),
                                input.ConsumeIntegral<std::int64_t>());
    }
    if (saveToFile) {
        LCT_FUZZ_CHECK(ini.finishSave());
        LCT_FUZZ_CHECK(readBytes(path) == ini.document());
    }
    ini.close();
    return 0;
}
