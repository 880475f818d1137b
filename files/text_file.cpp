#include "files/text_file.h"

#include <algorithm>
#include <optional>

#include "engine/line_breaks.h"
#include "files/meta_charset.h"
#include "form/pending_messages.h"
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

TextFile decodeText(std::string_view bytes, TextEncoding requested) {
    return decodeText(std::string(bytes), requested);
}

TextFile decodeText(std::string&& owned, TextEncoding requested) {
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
                encoding = encodingOfMetaCharset(detectMetaCharset(textPrefix(bytes)));
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

TextFile readTextFile(std::string_view path, TextEncoding requested, GzipFile gzip) {
    TextFile unreadable;
    std::optional<std::string> bytes = readWholeFile(path, &unreadable.error);
    if (!bytes) return unreadable;
    bool decompressed = false;
    if (hasGzipSignature(*bytes)) {
        GunzipFailure why = GunzipFailure::None;
        // A large file takes a while to inflate: the window keeps breathing.
        if (std::optional<std::string> plain =
                gunzip(*bytes, kMaxGunzipBytes, &why, processPendingMessages)) {
            // The text is read from the decompressed bytes even when the file
            // cannot be replaced (a read-only folder).
            if (gzip == GzipFile::Replace)
                decompressed = writeFileAtomically(path, *plain, Durability::Synced);
            bytes = std::move(plain);
        } else if (why == GunzipFailure::TooLarge) {
            unreadable.error =
                "gzip 压缩文件解压后超过 " + std::to_string(kMaxGunzipBytes >> 20) + " MB 的上限";
            return unreadable;
        }
    }
    TextFile file = decodeText(std::move(*bytes), requested);
    file.decompressed = decompressed;
    return file;
}

std::string encodeText(std::string_view text, TextEncoding encoding, LineBreaks lineBreaks) {
    std::string gbk = lineBreaks == LineBreaks::Lf ? crLfToLf(text) : std::string(text);
    const std::string_view charset = charsetNameOf(encoding);
    if (charset.empty()) return gbk;
    const std::optional<std::string> converted = convertCharset(gbk, kInternalCharset, charset);
    // A charset skips the default-ignorable characters it lacks (U+FE0F, tag
    // characters), so a text of only those converts to nothing: that is the
    // result, not a reason to write the GBK bytes into a file of another
    // charset.
    if (!converted || gbk.empty()) return gbk;
    return std::string(byteOrderMarkOf(encoding)) + *converted;
}

bool writeTextFile(std::string_view path, std::string_view text, TextEncoding encoding,
                   LineBreaks lineBreaks, std::string* error) {
    return writeFileAtomically(path, encodeText(text, encoding, lineBreaks), Durability::Cached,
                               LinkTarget::Replace, error);
}

}  // namespace lct
