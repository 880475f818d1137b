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

/// The line-break style of a file.
enum class LineBreaks {
    CrLf,  ///< read and written as the text holds them
    Lf,    ///< LF in the file, CR LF in the text
};

/// A file's content as internal text, with what is needed to write a result
/// in the same form.
struct TextFile {
    std::string text;                              ///< GBK, CR LF line breaks
    TextEncoding detected = TextEncoding::Detect;  ///< Detect only when the file could not be read
    LineBreaks lineBreaks = LineBreaks::CrLf;
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
TextFile DecodeText(std::string_view bytes, TextEncoding requested);

/// Reads and decodes the file at `path` (see DecodeText). A gzip file is
/// decompressed first; when its whole stream decoded cleanly the file is also
/// replaced on disk by the decompressed bytes (atomically), while a damaged
/// stream leaves the file as it is and its raw bytes are decoded. A file that
/// cannot be read gives empty text and `detected` Detect.
TextFile ReadTextFile(std::string_view path, TextEncoding requested);

/// The bytes of a file holding `text` (GBK, CR LF) in `encoding`: UTF-8 and
/// UTF-16 get their byte-order mark; Detect and Gbk give the GBK bytes as they
/// are, as does a conversion that yields nothing (without a mark). With Lf
/// every CR LF becomes LF before encoding.
std::string EncodeText(std::string_view text, TextEncoding encoding, LineBreaks lineBreaks);

/// Writes `text` encoded by EncodeText as the whole content of the file at
/// `path`, through a temporary file renamed into place. False, with any
/// existing file left untouched, when the path is empty or the write fails.
bool WriteTextFile(std::string_view path, std::string_view text, TextEncoding encoding,
                   LineBreaks lineBreaks = LineBreaks::CrLf);

}  // namespace lct
