#pragma once
// The one hook through which long work lets the window breathe. It is all the
// engine knows of windows.

#include <functional>

namespace lct {

/// Lets the window handle the events that are waiting, then returns; returns at
/// once when nothing waits. Long loops call it once per pass so that a second
/// click on a running button can set the stop flag. A no-op unless a handler
/// is installed (the GUI installs one; the command line and tests do not), and
/// on every thread but the one that installed it: a batch's reading and writing
/// threads never touch the window.
void processPendingMessages();

/// Installs the handler that processPendingMessages calls; an empty function
/// restores the no-op. Returns the previous handler.
std::function<void()> setPendingMessagesHandler(std::function<void()> handler);

}  // namespace lct
