#pragma once
// Reading article and keyword files into the engine's texts and writing the
// results back. Texts are GBK with CR LF line breaks, whatever the file holds;
// paths are native UTF-8 paths.
//
// Reading a file whose bytes contain NUL keeps every byte: the text carries
// its own length, so nothing after a NUL is lost.

#include <optional>
#include <string>
#include <string_view>

#include "engine/keep_alive.h"
#include "files/text_encoding.h"

namespace lct {

/// A file's content as internal text, with what is needed to write a result
/// in the same form.
struct TextFile {
    std::string text;                              ///< GBK, CR LF line breaks
    TextEncoding detected = TextEncoding::Detect;  ///< Detect only when the file could not be read
    LineBreaks lineBreaks = LineBreaks::CrLf;
    std::string error;        ///< why the file could not be read (UTF-8); empty when it was
    bool compressed = false;  ///< a gzip file, whose text is its decompressed content
};

/// Decodes a file's bytes. `requested` Detect detects: a byte-order mark, then
/// a meta charset (looked for before the first NUL or 1A byte), then the UTF-8
/// test; anything else forces that encoding. A forced UTF-16 drops the first
/// two bytes, whatever they are; a forced UTF-8 drops a mark when present.
/// UTF-8 found by a meta tag or by the test must be valid UTF-8, else the bytes
/// are read as GBK. Text after a mark is empty when nothing follows the mark;
/// otherwise whenever nothing is decoded the text is all bytes as they are,
/// reported as Gbk. A text with LF but no CR LF gets CR LF for each LF and is
/// reported as Lf. The meta charset scan lets the caller's window breathe
/// through `keepAlive`.
TextFile decodeText(std::string_view bytes, TextEncoding requested,
                    const KeepAlive& keepAlive = {});
/// The same, taking over `bytes` where they are the text as they are (GBK),
/// so that a big file is not held twice.
TextFile decodeText(std::string&& bytes, TextEncoding requested, const KeepAlive& keepAlive = {});

/// Reads and decodes the file at `path` (see decodeText). A gzip file is
/// decompressed in memory first (`compressed`); the file itself is never
/// changed. A damaged stream is decoded as the raw bytes it is. A file that
/// cannot be read (see readWholeFile), or a gzip file that would decompress
/// beyond kMaxGunzipBytes, gives empty text, `detected` Detect and the reason
/// in `error`. Inflating and decoding let the caller's window breathe through
/// `keepAlive`.
[[nodiscard]] TextFile readTextFile(std::string_view path, TextEncoding requested,
                                    const KeepAlive& keepAlive = {});

/// What encoding does with a character that the output encoding cannot hold.
enum class Unwritable {
    Refuse,     ///< the text is not written (plain text, where nothing could stand for it)
    Reference,  ///< written as "&#xHHHH;", which HTML and XML show as the character
};

/// The bytes of a file holding `text` (GBK, CR LF) in `encoding`: UTF-8 and
/// UTF-16 get their byte-order mark; Detect and Gbk give the GBK bytes as they
/// are, as does a charset whose converter cannot be opened (without a mark).
/// An empty text gives no bytes, not even a mark. With Lf every CR LF becomes
/// LF before encoding. Every character reads back as itself: one that the
/// encoding cannot hold exactly is a numeric character reference with
/// Reference; with Refuse it makes the result nullopt, with a reason naming the
/// first such character and their count in `error` (UTF-8; when given).
[[nodiscard]] std::optional<std::string> encodeText(std::string_view text, TextEncoding encoding,
                                                    LineBreaks lineBreaks,
                                                    Unwritable unwritable = Unwritable::Refuse,
                                                    std::string* error = nullptr);

/// True when a result is HTML or XML, where a numeric character reference
/// shows its character: its name's extension (before a final ".gz") is htm,
/// html, shtml, shtm, xhtml, xht, xml, php, asp, aspx or jsp, in any letter
/// case, or its text (GBK) holds an end tag ("</" and a letter) or a "<br"
/// (an article kept as an HTML fragment, whatever its name).
bool isMarkupResult(std::string_view path, std::string_view text);

/// The bytes of the result file `path` of `text` (GBK, CR LF), written as
/// `format` says: when its encoding is not the input's, each charset
/// declaration of the text names the new one (see declareCharset); it is
/// encoded by encodeText, with references in a markup result (isMarkupResult)
/// and refused otherwise; and it is gzip-compressed when its input was.
/// nullopt, with the reason in `error` (UTF-8), when it cannot be made.
[[nodiscard]] std::optional<std::string> resultBytes(std::string_view path, std::string_view text,
                                                     const ResultFormat& format,
                                                     std::string& error);

/// True when resultBytes gives the text as it is for `format` (GBK in and
/// out, CR LF, not compressed), so that a writer may write the text itself.
bool resultIsText(const ResultFormat& format);

/// Writes `text` encoded by encodeText (Refuse) as the whole content of the
/// file at `path`, through a temporary file renamed into place; a symbolic
/// link at the path is replaced, not followed. False, with any existing file
/// left untouched and the reason in `error` (when given), when the path is
/// empty, the text cannot be encoded or the write fails.
[[nodiscard]] bool writeTextFile(std::string_view path, std::string_view text,
                                 TextEncoding encoding, LineBreaks lineBreaks = LineBreaks::CrLf,
                                 std::string* error = nullptr);

}  // namespace lct
