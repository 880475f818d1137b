#pragma once
// How the program's big buffers go back to the system. A big article is held
// in a few buffers of its size, one after the other; memory they leave must
// not stay with the process while the next is made.

#include <cstddef>
#include <string>
#include <string_view>

namespace lct {

/// Has every allocation of a megabyte or more mapped on its own, so that it
/// goes back to the system the moment it is freed. Without this the C
/// library raises that threshold after such a free, and the next buffers of
/// a big article (its saved tags, a piece being converted) come from the heap,
/// which keeps their pages once they are freed. Call once, at start.
void returnBigBuffersWhenFreed();

/// Gives the whole pages of `text`'s spare capacity (past its terminating
/// NUL) back to the system, without moving the text: for a text made smaller
/// in its own buffer. Spare room of less than 256 KiB is kept. Appending later
/// gets zeroed pages.
void releaseSpareCapacity(std::string& text);

/// Gives the whole pages among the first `end` bytes of `text` back to the
/// system, but for those wholly among the first `from` (given back by an
/// earlier call): for a big text that is read front to back for the last
/// time while what is made of it grows, so that the two are not held whole
/// together. Those bytes read as zeros afterwards. `text` must be the content
/// of a buffer its caller owns and drops once it is read (never a literal or
/// a borrowed text).
void releaseReadBytes(std::string_view text, std::size_t from, std::size_t end);

}  // namespace lct
