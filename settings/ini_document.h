#pragma once
// The settings file engine: an in-memory image of an INI-style GBK file that is
// kept equal to the file on disk, byte for byte, after every write.
//
// Format, as read and written here: a section header is "[" name "]" at the
// start of the document or right after CR LF (anything after the "]" on that
// line is ignored); a key line is CR LF, the key, "=", the value up to the next
// CR LF or the end. The first header of a name and the first line of a key in
// its section win. Names, keys and values are bytes: no trimming, no quoting,
// no comments, case-sensitive. New sections go at the end of the document and
// new keys at the end of their section, so a file written from scratch reads
// "[A]\r\nk=v\r\nm=w\r\n[B]\r\n...", with no CR LF after the last line.
//
// The file is held with an exclusive advisory lock (flock) while the document
// is open, so a second copy of the program cannot write it: its open() returns
// false and its writes stay in memory. Every change reaches the file as one
// atomic replacement: the whole document is written to a new file in the same
// folder, flushed to the disk, locked, and renamed over the settings file, so
// that a kill at any moment leaves either the old file or the new one, never
// a mixture. A change outside a save (beginSave/finishSave) is written at
// once; inside one, the file is written once when the outermost save
// finishes. Nothing is written for a change that leaves the document as it
// was. The lock follows the file across replacements: the new file is locked
// before it takes the name, and an opener that got the lock of a file that
// has since been replaced tries again on the new one.
//
// Reads and writes are quick and never let the window process its pending
// messages, so no event handler runs in the middle of one: each write is
// complete before the next begins.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace lct {

/// How the last open() or load() of an IniDocument went with the file.
enum class FileAccess {
    Held,        ///< open(): the file is held; load(): it was read
    Missing,     ///< load(): nothing is at the path (nor at the end of a link there)
    NotAFile,    ///< a folder, a pipe or anything else that is no regular file
    Unreadable,  ///< it could not be opened or read (no permission, a read error)
    ReadOnly,    ///< open(): it was read but cannot be written
    Locked,      ///< open(): another holder kept it locked beyond the wait
};

/// How IniDocument::writeKey went.
enum class KeyWrite {
    Written,  ///< in the document, and in the file unless a save holds it back
    Failed,   ///< the file could not be written; the document holds the change
};

class IniDocument {
  public:
    IniDocument() = default;
    ~IniDocument();
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    /// Closes what is open, loads the file at `path` (a file-system path; a
    /// symbolic link is followed) into the document and holds the file for
    /// writing, creating it empty when it is missing; an existing file is never
    /// truncated. When another holder has it locked, waits up to `wait` for it.
    /// True when the file is held. False when it cannot be opened for writing
    /// or another holder keeps it locked: the document is then still loaded if
    /// the file is readable (else empty) and writes change only the document.
    [[nodiscard]] bool open(std::string_view path, std::chrono::milliseconds wait = {});

    /// Closes what is open and loads the file at `path` without holding it
    /// (a shared lock while reading, when no writer holds the file; a file
    /// held by a writer is read all the same: it is always whole). Creates
    /// nothing. True when the file was read; writes change only the document.
    [[nodiscard]] bool load(std::string_view path);

    /// Releases the file (after one more attempt to bring it up to date, see
    /// writeKey, unless the last save was ended without writing) and empties
    /// the document.
    void close();

    /// Starts a save: until the matching finishSave, changes stay in the
    /// document. Saves nest; only the outermost one writes.
    void beginSave() { ++saveDepth_; }
    /// Ends a save; the outermost one writes the file when the document
    /// changed. `write` false ends it without writing (the changes stay in
    /// the document, and the next write takes them along). False when the
    /// file could not be written (it is then as it was); `error` (when
    /// given) receives the reason in words for people (UTF-8).
    [[nodiscard]] bool finishSave(bool write = true, std::string* error = nullptr);

    /// The value of `key` in `section` (GBK bytes, matched exactly), up to its
    /// first NUL byte; `defaultValue` when the section or key is missing, or when
    /// the value is empty and `emptyMeansMissing` is set. Never changes anything.
    std::string readKey(std::string_view section, std::string_view key,
                        std::string_view defaultValue, bool emptyMeansMissing = true);

    /// Sets `key` of `section` to `value` (GBK bytes), adding the section at the
    /// end of the document and the key at the end of its section when missing.
    /// Failed when the change could not be written to the file — the document
    /// holds it all the same, and the next write that reaches the disk brings
    /// the file up to date. Inside a save the change only reaches the
    /// document (Written).
    KeyWrite writeKey(std::string_view section, std::string_view key, std::string_view value);

    /// 1-based byte position of the "[" of the first header line (a line that
    /// starts with "[" and holds a "]" at a character boundary) whose preceding
    /// CR LF starts at or after position `from` and before position `to`; -1
    /// when there is none.
    std::int64_t headerBetween(std::int64_t from, std::int64_t to) const;

    const std::string& document() const { return document_; }
    /// The path given to the last open(); kept by close().
    const std::string& path() const { return path_; }
    /// True while the file is held (open() returned true and close() not called).
    bool holdsFile() const { return static_cast<bool>(file_); }
    /// True while the file lags behind the document because a write to it failed.
    bool fileBehind() const;
    /// How the last open() or load() went, and the reason in words for people
    /// (UTF-8) when it did not get the file.
    FileAccess access() const { return access_; }
    const std::string& accessError() const { return accessError_; }

  private:
    struct Header {
        std::size_t start;  // offset of "["
        std::size_t end;    // offset of "]"
    };
    struct Span {
        std::size_t start;
        std::size_t size;
    };

    // One attempt of open() at filePath_: what open() returns, or nullopt when
    // the file was replaced before it could be locked.
    std::optional<bool> openAtPath(std::chrono::milliseconds wait);
    std::optional<Header> findSection(std::string_view name, std::size_t& from);
    std::optional<Span> findKey(const Header& header, std::string_view key) const;
    std::size_t nextHeaderLine(std::size_t from, std::size_t limit) const;
    std::optional<Header> establishSection(std::string_view name);
    std::optional<Span> establishKey(const Header& header, std::string_view key);
    void change(std::size_t at, std::size_t oldSize, std::string_view bytes);
    [[nodiscard]] bool syncFile(std::string* error = nullptr);
    void forgetCache();

    std::string document_;
    UniqueFd file_;
    std::string path_;

    std::string cachedSection_;
    std::optional<std::size_t> cachedStart_;
    std::optional<std::size_t> cachedEnd_;

    std::string filePath_;   // the file the lock is on: the path with links resolved
    bool dirty_ = false;     // the file lags behind the document
    bool withheld_ = false;  // on purpose: a save ended without writing
    int saveDepth_ = 0;
    FileAccess access_ = FileAccess::Held;
    std::string accessError_;
    // Notes how an open or load went; returns whether it got the file.
    bool noteAccess(FileAccess access, int error = 0);
};

}  // namespace lct
