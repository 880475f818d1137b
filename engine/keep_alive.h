#pragma once
// How long work lets the window of its caller breathe, without knowing it.
//
// The program runs its window and its work on one thread. A long loop of the
// engine or the codec calls the KeepAlive its caller handed it once per pass;
// in the window that lets the events waiting be handled, so that a second
// click on a running button can ask the run to stop. The run driver takes it
// from its host (RunHost::keepAlive); the command line and the tests hand
// none, and an empty KeepAlive does nothing.

#include <concepts>
#include <functional>
#include <type_traits>
#include <utility>

namespace lct {

class KeepAlive;

/// What a KeepAlive can hold: anything called without arguments (a function,
/// a lambda) that is not itself a KeepAlive.
template <typename F>
concept Breath = std::invocable<F&> && !std::same_as<std::remove_cvref_t<F>, KeepAlive>;

class KeepAlive {
  public:
    KeepAlive() = default;
    /// Implicit, so that a caller hands the callable itself.
    template <Breath F>
    KeepAlive(F&& breathe) : breathe_(std::forward<F>(breathe)) {}  // NOLINT

    void operator()() const {
        if (breathe_) breathe_();
    }

  private:
    std::function<void()> breathe_;
};

}  // namespace lct
