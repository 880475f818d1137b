#include "files/text_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "engine/line_breaks.h"
#include "files/meta_charset.h"
#include "files/paths.h"
#include "platform/bytes.h"
#include "platform/charset.h"
#include "platform/file_io.h"
#include "platform/gzip.h"

namespace lct {
namespace {

constexpr std::string_view kInternalCharset = "gb18030";

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

bool isConverted(TextEncoding e) {
    return !charsetNameOf(e).empty();
}

void normaliseLineBreaks(TextFile& file) {
    const bool hasLf = file.text.find('\n') != std::string::npos;
    if (!hasLf || file.text.find("\r\n") != std::string::npos) return;
    std::string crLf = lfToCrLf(file.text);
    // The old text goes before anything else is allocated.
    std::string().swap(file.text);
    file.text = std::move(crLf);
    file.lineBreaks = LineBreaks::Lf;
}

// The part of the page a meta charset is looked for in: up to the first NUL or
// 1A byte, where a text reader stops.
std::string_view textPrefix(std::string_view bytes) {
    // Two memchr scans: find_first_of would test every byte against the set.
    const std::size_t nul = bytes.find('\0');
    const std::size_t end = std::min(nul, bytes.substr(0, nul).find('\x1A'));
    return end == std::string_view::npos ? bytes : bytes.substr(0, end);
}

}  // namespace

TextFile decodeText(std::string_view bytes, TextEncoding requested, const KeepAlive& keepAlive) {
    return decodeText(std::string(bytes), requested, keepAlive);
}

TextFile decodeText(std::string&& owned, TextEncoding requested, const KeepAlive& keepAlive) {
    const std::string_view bytes = owned;
    TextEncoding encoding = encodingFromIndex(static_cast<int>(requested));
    std::size_t offset = 0;
    bool guessedUtf8 = false;  // UTF-8 only by a meta tag or by the test, not by a mark
    switch (encoding) {
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            offset = std::min<std::size_t>(2, bytes.size());
            break;
        case TextEncoding::Utf8:
            if (startsWith(bytes, byteOrderMarkOf(TextEncoding::Utf8))) offset = 3;
            break;
        case TextEncoding::Detect:
            for (TextEncoding marked :
                 {TextEncoding::Utf8, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
                if (startsWith(bytes, byteOrderMarkOf(marked))) {
                    encoding = marked;
                    offset = byteOrderMarkOf(marked).size();
                    break;
                }
            }
            if (encoding == TextEncoding::Detect) {
                encoding = encodingOfMetaCharset(detectMetaCharset(textPrefix(bytes), keepAlive));
                guessedUtf8 = encoding == TextEncoding::Utf8;
            }
            break;
        default:
            break;
    }
    const std::string_view content = bytes.substr(offset);
    // Both UTF-8 tests in one pass, and only when one of them is needed.
    const bool testUtf8 = encoding == TextEncoding::Detect || guessedUtf8;
    const Utf8Shape shape = testUtf8 ? utf8Shape(content) : Utf8Shape{};
    if (encoding == TextEncoding::Detect && shape.looksLike) {
        encoding = TextEncoding::Utf8;
        guessedUtf8 = true;
    }
    // A page that claims UTF-8 but is not (typically GBK with a copied head)
    // would lose every Chinese character to replacement characters.
    if (guessedUtf8 && !shape.valid) encoding = TextEncoding::Detect;

    TextFile file;
    if (isConverted(encoding)) {
        file.detected = encoding;
        if (!content.empty())
            file.text = convertCharset(content, charsetNameOf(encoding), kInternalCharset)
                            .value_or(std::string());
        // Decoded, the file's own bytes are no longer needed.
        if (!file.text.empty()) std::string().swap(owned);
    }
    if (file.text.empty() && !(isConverted(encoding) && content.empty())) {
        // The bytes are the text: taken over, not copied.
        file.text = std::move(owned);
        file.detected = TextEncoding::Gbk;
    }
    normaliseLineBreaks(file);
    return file;
}

TextFile readTextFile(std::string_view path, TextEncoding requested, const KeepAlive& keepAlive) {
    TextFile unreadable;
    std::optional<std::string> bytes = readWholeFile(path, &unreadable.error);
    if (!bytes) return unreadable;
    bool compressed = false;
    if (hasGzipSignature(*bytes)) {
        GunzipFailure why = GunzipFailure::None;
        // The window breathes after each try at a member.
        if (std::optional<std::string> plain =
                gunzip(*bytes, kMaxGunzipBytes, &why, [&keepAlive] { keepAlive(); })) {
            bytes = std::move(plain);
            compressed = true;
        } else if (why == GunzipFailure::TooLarge) {
            unreadable.error =
                "gzip 压缩文件解压后超过 " + std::to_string(kMaxGunzipBytes >> 20) + " MB 的上限";
            return unreadable;
        }
    }
    TextFile file = decodeText(std::move(*bytes), requested, keepAlive);
    file.compressed = compressed;
    return file;
}

namespace {

// Why a text cannot be written in `encoding`, for people (UTF-8).
std::string unwritableReason(TextEncoding encoding, const Unencodable& lost) {
    std::string character;
    appendUtf8(lost.first, character);
    std::array<char, 16> code{};
    std::snprintf(code.data(), code.size(), "U+%04X", static_cast<unsigned>(lost.first));
    std::string reason = "输出编码 " + std::string(declaredCharsetOf(encoding)) + " 无法表示";
    if (lost.count == 1) return reason + "字符“" + character + "”（" + code.data() + "）";
    return reason + " " + std::to_string(lost.count) + " 个字符，第一个是“" + character + "”（" +
           code.data() + "）";
}

bool sameEncoding(TextEncoding a, TextEncoding b) {
    const auto bytesOf = [](TextEncoding e) {
        return e == TextEncoding::Detect ? TextEncoding::Gbk : e;
    };
    return bytesOf(a) == bytesOf(b);
}

}  // namespace

std::optional<std::string> encodeText(std::string_view text, TextEncoding encoding,
                                      LineBreaks lineBreaks, Unwritable unwritable,
                                      std::string* error) {
    std::string gbk = lineBreaks == LineBreaks::Lf ? crLfToLf(text) : std::string(text);
    const std::string_view charset = charsetNameOf(encoding);
    if (charset.empty() || gbk.empty()) return gbk;
    Unencodable lost;
    const std::optional<std::string> converted = encodeGbkExactly(
        gbk, charset,
        unwritable == Unwritable::Reference ? UnencodableChars::Reference : UnencodableChars::Count,
        lost);
    if (!converted) return gbk;
    if (lost.count > 0 && unwritable == Unwritable::Refuse) {
        if (error) *error = unwritableReason(encoding, lost);
        return std::nullopt;
    }
    return std::string(byteOrderMarkOf(encoding)) + *converted;
}

bool isMarkupResult(std::string_view path, std::string_view text) {
    std::string name(path);
    if (equalsIgnoringAsciiCase(extensionOfPath(name), "gz")) name.resize(name.size() - 3);
    const std::string extension = extensionOfPath(name);
    for (const std::string_view markup :
         {"htm", "html", "shtml", "shtm", "xhtml", "xht", "xml", "php", "asp", "aspx", "jsp"}) {
        if (equalsIgnoringAsciiCase(extension, markup)) return true;
    }
    // "<" and "/" are never trail bytes: a byte search finds only real ones.
    for (std::size_t i = text.find('<'); i != std::string_view::npos; i = text.find('<', i + 1)) {
        const std::string_view tag = text.substr(i + 1, 2);
        if (tag.size() == 2 && tag[0] == '/' && isAsciiLetter(tag[1])) return true;
        if (equalsIgnoringAsciiCase(tag, "br")) return true;
    }
    return false;
}

std::optional<std::string> resultBytes(std::string_view path, std::string_view text,
                                       const ResultFormat& format, std::string& error) {
    std::string declared;
    if (!sameEncoding(format.encoding, format.inputEncoding)) {
        declared = declareCharset(text, declaredCharsetOf(format.encoding));
        text = declared;
    }
    const Unwritable unwritable =
        isMarkupResult(path, text) ? Unwritable::Reference : Unwritable::Refuse;
    std::optional<std::string> bytes =
        encodeText(text, format.encoding, format.lineBreaks, unwritable, &error);
    if (!bytes || !format.compressed) return bytes;
    std::optional<std::string> packed = gzipCompress(*bytes);
    if (!packed) error = "内存不足，无法压缩";
    return packed;
}

bool writeTextFile(std::string_view path, std::string_view text, TextEncoding encoding,
                   LineBreaks lineBreaks, std::string* error) {
    const std::optional<std::string> bytes =
        encodeText(text, encoding, lineBreaks, Unwritable::Refuse, error);
    return bytes &&
           writeFileAtomically(path, *bytes, Durability::Cached, LinkTarget::Replace, error);
}

}  // namespace lct
