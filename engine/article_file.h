#pragma once
// What the engine knows of an article file: its text, the encoding it was read
// in, its line-break style and whether it was gzip, which a result keeps. The
// codec (files/) reads and writes such files.

#include <string>

namespace lct {

/// An encoding of article files. Values 0..5 equal the item indexes of the
/// input and output encoding lists; 6 is produced by detection only.
enum class TextEncoding : int {
    Detect = 0,     ///< reading: detect; writing: same as the input (GBK when used as is)
    Gbk = 1,        ///< the internal code page, bytes used as they are
    Utf8 = 2,       ///< mark EF BB BF
    Utf16Le = 3,    ///< mark FF FE
    Utf16Be = 4,    ///< mark FE FF
    Big5 = 5,       ///< no mark
    Big5Hkscs = 6,  ///< no mark
};

/// The line-break style of a file.
enum class LineBreaks {
    CrLf,  ///< read and written as the text holds them
    Lf,    ///< LF in the file, CR LF in the text
};

/// An article file as read, with what writing its result needs.
struct ArticleFile {
    std::string text;                              ///< GBK, CR LF
    TextEncoding encoding = TextEncoding::Detect;  ///< as detected; Detect when unreadable
    LineBreaks lineBreaks = LineBreaks::CrLf;
    std::string error;        ///< why the file could not be read (UTF-8); empty when it was
    bool compressed = false;  ///< gzip on disk; `text` is its decompressed content
};

/// How a result file is written, and what it keeps of its input.
struct ResultFormat {
    TextEncoding encoding = TextEncoding::Gbk;  ///< of the result; Detect writes GBK
    LineBreaks lineBreaks = LineBreaks::CrLf;
    TextEncoding inputEncoding = TextEncoding::Detect;  ///< as the input was read
    bool compressed = false;                            ///< gzip, as the input was
};

}  // namespace lct
