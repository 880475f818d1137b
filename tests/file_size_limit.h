#pragma once
// A file size limit for one scope, so that a write fails part-way (EFBIG) as
// on a full disk, instead of the signal ending the process.

#include <sys/resource.h>

#include <csignal>

namespace lct::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        lift();
        std::signal(SIGXFSZ, previousHandler_);
    }

    /// Gives the room back before the scope ends.
    void lift() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace lct::test
