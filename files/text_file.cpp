#include "files/text_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <span>
#include <vector>

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
    // A decoded text usually has the room (its buffer was reserved for the
    // file's bytes); otherwise the old text goes before anything else is
    // allocated.
    if (!lfToCrLfInPlace(file.text)) {
        std::string crLf = lfToCrLf(file.text);
        std::string().swap(file.text);
        file.text = std::move(crLf);
    }
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

namespace {

// Turns every CR LF of `bytes` after the first `from` into LF, in place, where
// CR and LF are the code units `cr` and `lf` (one byte each, or two for
// UTF-16 in either byte order); a lone CR stays. A CR or LF byte is never part
// of another character in these encodings, but UTF-16 units are only looked
// for at their own offsets.
void crLfToLfInPlace(std::string& bytes, std::size_t from, std::string_view cr,
                     std::string_view lf) {
    const std::size_t unit = lf.size();
    std::size_t kept = from;    // bytes before this are in their final place
    std::size_t copied = from;  // bytes from here on have not moved yet
    // Moves the bytes up to `end` back to `kept`: never ahead of where they are.
    const auto keep = [&](std::size_t end) {
        std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(copied),
                  bytes.begin() + static_cast<std::ptrdiff_t>(end),
                  bytes.begin() + static_cast<std::ptrdiff_t>(kept));
        kept += end - copied;
    };
    for (std::size_t at = bytes.find(lf, from); at != std::string::npos;
         at = bytes.find(lf, at + 1)) {
        if ((at - from) % unit != 0 || at - copied < unit ||
            bytes.compare(at - unit, unit, cr) != 0)
            continue;
        keep(at - unit);
        copied = at;
    }
    keep(bytes.size());
    bytes.resize(kept);
}

void crLfToLfInPlace(std::string& bytes, TextEncoding encoding) {
    const std::size_t mark = byteOrderMarkOf(encoding).size();
    if (encoding == TextEncoding::Utf16Le)
        crLfToLfInPlace(bytes, mark, std::string_view("\r\0", 2), std::string_view("\n\0", 2));
    else if (encoding == TextEncoding::Utf16Be)
        crLfToLfInPlace(bytes, mark, std::string_view("\0\r", 2), std::string_view("\0\n", 2));
    else
        crLfToLfInPlace(bytes, mark, "\r", "\n");
}

// The pieces one after the other, as they are.
std::string joined(std::span<const std::string_view> pieces) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces)
        size += piece.size();
    std::string out;
    out.reserve(size);
    for (const std::string_view piece : pieces)
        out.append(piece);
    return out;
}

// Room for `gbk` bytes of text in `encoding`: at most what it takes for the
// text's characters. Room that is never written costs no memory.
std::size_t roomFor(std::size_t gbk, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return gbk + gbk / 2;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return 2 * gbk;
        default:
            return gbk;
    }
}

// encodeText of the text that `pieces` make one after the other. The pieces
// are encoded in turn into one buffer that starts with the mark, and line
// breaks are turned in place after encoding: the text is never copied whole.
std::optional<std::string> encodePieces(std::span<const std::string_view> pieces,
                                        TextEncoding encoding, LineBreaks lineBreaks,
                                        Unwritable unwritable, std::string* error) {
    const std::string_view charset = charsetNameOf(encoding);
    std::size_t size = 0;
    for (const std::string_view piece : pieces)
        size += piece.size();
    std::optional<std::string> bytes;
    if (!charset.empty() && size > 0) {
        bytes.emplace();
        const std::string_view mark = byteOrderMarkOf(encoding);
        bytes->reserve(mark.size() + roomFor(size, encoding));
        bytes->append(mark);
        Unencodable lost;
        const UnencodableChars chars = unwritable == Unwritable::Reference
                                           ? UnencodableChars::Reference
                                           : UnencodableChars::Count;
        for (const std::string_view piece : pieces) {
            if (!appendGbkExactly(piece, charset, chars, lost, *bytes)) {
                bytes.reset();
                break;
            }
        }
        if (bytes && lost.count > 0 && unwritable == Unwritable::Refuse) {
            if (error) *error = unwritableReason(encoding, lost);
            return std::nullopt;
        }
    }
    if (!bytes) {
        // No conversion: the text's own bytes.
        bytes = joined(pieces);
        encoding = TextEncoding::Gbk;
    }
    if (lineBreaks == LineBreaks::Lf) crLfToLfInPlace(*bytes, encoding);
    return bytes;
}

}  // namespace

std::optional<std::string> encodeText(std::string_view text, TextEncoding encoding,
                                      LineBreaks lineBreaks, Unwritable unwritable,
                                      std::string* error) {
    return encodePieces(std::span(&text, 1), encoding, lineBreaks, unwritable, error);
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
    // The declarations name the new charset: the text is encoded in the
    // pieces between them, not copied with new names first. A value holds no
    // "<" nor "/", so the new names make no markup of the text.
    std::vector<std::string_view> pieces;
    std::size_t copied = 0;
    if (!sameEncoding(format.encoding, format.inputEncoding)) {
        for (const auto& [begin, end] : charsetDeclarations(text)) {
            pieces.push_back(text.substr(copied, begin - copied));
            pieces.push_back(declaredCharsetOf(format.encoding));
            copied = end;
        }
    }
    pieces.push_back(text.substr(copied));
    // The text as it is, compressed without a copy of it first.
    if (format.compressed && pieces.size() == 1 && charsetNameOf(format.encoding).empty() &&
        format.lineBreaks == LineBreaks::CrLf) {
        std::optional<std::string> packed = gzipCompress(text);
        if (!packed) error = "内存不足，无法压缩";
        return packed;
    }
    const Unwritable unwritable =
        isMarkupResult(path, text) ? Unwritable::Reference : Unwritable::Refuse;
    std::optional<std::string> bytes =
        encodePieces(pieces, format.encoding, format.lineBreaks, unwritable, &error);
    if (!bytes || !format.compressed) return bytes;
    std::optional<std::string> packed = gzipCompress(*bytes);
    if (!packed) error = "内存不足，无法压缩";
    return packed;
}

bool resultIsText(const ResultFormat& format) {
    return charsetNameOf(format.encoding).empty() &&
           sameEncoding(format.encoding, format.inputEncoding) &&
           format.lineBreaks == LineBreaks::CrLf && !format.compressed;
}

bool writeTextFile(std::string_view path, std::string_view text, TextEncoding encoding,
                   LineBreaks lineBreaks, std::string* error) {
    const std::optional<std::string> bytes =
        encodeText(text, encoding, lineBreaks, Unwritable::Refuse, error);
    return bytes &&
           writeFileAtomically(path, *bytes, Durability::Cached, LinkTarget::Replace, error);
}

}  // namespace lct
