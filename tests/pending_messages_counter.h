#pragma once
// Counts the calls of processPendingMessages for the life of a test scope.

#include <functional>

#include "form/pending_messages.h"

namespace lct::test {

class PendingMessagesCounter {
  public:
    PendingMessagesCounter() : previous_(setPendingMessagesHandler([this] { ++count_; })) {}
    ~PendingMessagesCounter() { setPendingMessagesHandler(previous_); }
    PendingMessagesCounter(const PendingMessagesCounter&) = delete;
    PendingMessagesCounter& operator=(const PendingMessagesCounter&) = delete;

    /// How often the window was let in so far.
    int count() const { return count_; }

  private:
    int count_ = 0;
    std::function<void()> previous_;
};

}  // namespace lct::test
