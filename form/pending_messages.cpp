#include "form/pending_messages.h"

#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace lct {
namespace {

struct Hook {
    std::mutex mutex;
    // Shared, so that a call runs the installed handler itself (with its own
    // state), even should another thread install a new one meanwhile.
    std::shared_ptr<std::function<void()>> handler;
    std::thread::id owner;  // the window's thread: the only one that may run the handler
};

Hook& hook() {
    static Hook h;
    return h;
}

}  // namespace

void processPendingMessages() {
    Hook& h = hook();
    std::shared_ptr<std::function<void()>> handler;
    {
        const std::lock_guard lock(h.mutex);
        if (!h.handler || h.owner != std::this_thread::get_id()) return;
        handler = h.handler;
    }
    (*handler)();
}

std::function<void()> setPendingMessagesHandler(std::function<void()> handler) {
    Hook& h = hook();
    const std::lock_guard lock(h.mutex);
    h.owner = std::this_thread::get_id();
    std::shared_ptr<std::function<void()>> previous = std::exchange(
        h.handler, handler ? std::make_shared<std::function<void()>>(std::move(handler)) : nullptr);
    return previous ? *previous : std::function<void()>();
}

}  // namespace lct
