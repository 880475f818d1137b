#pragma once
// Reading article and keyword files into the engine's texts and writing the
// results back. Texts are GBK with CR LF line breaks, whatever the file holds;
// paths are native UTF-8 paths.
//
// Reading a file whose bytes contain NUL keeps every byte: the text carries
// its own length, so nothing after a NUL is lost.

#include <string>
#include <string_view>

#include "files/text_encoding.h"

namespace lct {

/// A file's content as internal text, with what is needed to write a result
/// in the same form.
struct TextFile {
    std::string text;                              ///< GBK, CR LF line breaks
    TextEncoding detected = TextEncoding::Detect;  ///< Detect only when the file could not be read
    LineBreaks lineBreaks = LineBreaks::CrLf;
    std::string error;          ///< why the file could not be read (UTF-8); empty when it was
    bool decompressed = false;  ///< a gzip file that was replaced by its decompressed bytes
};

/// What reading does with a gzip file.
enum class GzipFile {
    InMemory,  ///< decompressed in memory only: the file stays as it is
    Replace,   ///< once its whole stream decoded, the file on disk is replaced
               ///< by its decompressed bytes (a batch input)
};

/// Decodes a file's bytes. `requested` Detect detects: a byte-order mark, then
/// a meta charset (looked for before the first NUL or 1A byte), then the UTF-8
/// test; anything else forces that encoding. A forced UTF-16 drops the first
/// two bytes, whatever they are; a forced UTF-8 drops a mark when present.
/// UTF-8 found by a meta tag or by the test must be valid UTF-8, else the bytes
/// are read as GBK. Text after a mark is empty when nothing follows the mark;
/// otherwise whenever nothing is decoded the text is all bytes as they are,
/// reported as Gbk. A text with LF but no CR LF gets CR LF for each LF and is
/// reported as Lf.
TextFile decodeText(std::string_view bytes, TextEncoding requested);
/// The same, taking over `bytes` where they are the text as they are (GBK),
/// so that a big file is not held twice.
TextFile decodeText(std::string&& bytes, TextEncoding requested);

/// Reads and decodes the file at `path` (see decodeText). A gzip file is
/// decompressed first; with GzipFile::Replace, when its whole stream decoded
/// cleanly the file is also replaced on disk by the decompressed bytes
/// (atomically). A damaged stream leaves the file as it is and its raw bytes
/// are decoded. A file that cannot be read (see readWholeFile), or a gzip file
/// that would decompress beyond kMaxGunzipBytes, gives empty text, `detected`
/// Detect and the reason in `error`.
[[nodiscard]] TextFile readTextFile(std::string_view path, TextEncoding requested,
                                    GzipFile gzip = GzipFile::InMemory);

/// The bytes of a file holding `text` (GBK, CR LF) in `encoding`: UTF-8 and
/// UTF-16 get their byte-order mark; Detect and Gbk give the GBK bytes as they
/// are, as does a charset whose converter cannot be opened (without a mark).
/// An empty text gives no bytes, not even a mark; a text of characters that
/// the charset skips gives the mark alone. With Lf every CR LF becomes LF
/// before encoding.
std::string encodeText(std::string_view text, TextEncoding encoding, LineBreaks lineBreaks);

/// Writes `text` encoded by encodeText as the whole content of the file at
/// `path`, through a temporary file renamed into place; a symbolic link at the
/// path is replaced, not followed. False, with any existing file left
/// untouched and the reason in `error` (when given), when the path is empty or
/// the write fails.
[[nodiscard]] bool writeTextFile(std::string_view path, std::string_view text,
                                 TextEncoding encoding, LineBreaks lineBreaks = LineBreaks::CrLf,
                                 std::string* error = nullptr);

}  // namespace lct
