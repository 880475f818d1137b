#pragma once
// How the program's big buffers go back to the system. A big article is held
// in a few buffers of its size, one after the other; memory they leave must
// not stay with the process while the next is made.

#include <string>

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

}  // namespace lct
