#pragma once
// Sole owner of a POSIX file descriptor: closed when the owner goes away.
// Copying is deleted, since two owners would close the descriptor twice (the
// second close could hit a descriptor that a later open reused).

#include <unistd.h>

#include <utility>

namespace lct {

class UniqueFd {
  public:
    UniqueFd() = default;
    /// Takes `fd` (a negative value holds nothing).
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }

    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    /// The descriptor held, or -1.
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

    /// Closes the descriptor held, if any, and takes `fd` instead. A failed
    /// close is not reported: use close() where a delayed write error matters.
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

    /// Closes the descriptor now. False when close reported an error (with
    /// errno set), which for a file just written can be the first sign of a
    /// failed write; the descriptor is gone either way. True when none was held.
    [[nodiscard]] bool close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_ = -1;
};

}  // namespace lct
