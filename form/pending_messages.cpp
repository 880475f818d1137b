#include "form/pending_messages.h"

#include <utility>

namespace lct {
namespace {

std::function<void()>& pendingMessagesHandler() {
    static std::function<void()> handler;
    return handler;
}

}  // namespace

void processPendingMessages() {
    auto& handler = pendingMessagesHandler();
    if (handler) handler();
}

std::function<void()> setPendingMessagesHandler(std::function<void()> handler) {
    return std::exchange(pendingMessagesHandler(), std::move(handler));
}

}  // namespace lct
