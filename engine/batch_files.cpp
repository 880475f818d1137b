#include "engine/batch_files.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace lct {
namespace {

// In flight between the helper threads and the engine: a few articles per
// thread each way, and never much more than this much text each way. An
// article is counted by its size on disk when a helper claims it, so that
// helpers starting together cannot each take a big one before any is counted;
// one that would not fit is left to the caller, who reads it when it needs it.
// Results likewise: one that would not fit in the queue is written at once.
constexpr std::size_t kArticlesPerThread = 8;
constexpr std::size_t kBytesInFlight = 64u << 20;

}  // namespace

BatchFiles::BatchFiles(RunServices& services, const std::vector<std::string>& paths,
                       TextEncoding requested, unsigned threads, KeepAlive keepAlive)
    : services_(services),
      paths_(paths),
      requested_(requested),
      keepAlive_(std::move(keepAlive)),
      most_(kArticlesPerThread * threads) {
    threads_.reserve(threads);
    for (unsigned t = 0; t < threads; ++t)
        threads_.emplace_back([this] { work(); });
}

BatchFiles::~BatchFiles() {
    finish();
}

bool BatchFiles::mayReadAhead() {
    if (finishing_ || claimed_ >= paths_.size() || claimed_ - consumed_ >= most_) return false;
    if (sized_ != claimed_) {
        // A stat, under the lock: cheap next to the read it allows.
        nextSize_ = static_cast<std::size_t>(
            std::min<std::uint64_t>(services_.sizeOf(paths_[claimed_]), kBytesInFlight + 1));
        sized_ = claimed_;
    }
    return bytesRead_ <= kBytesInFlight && nextSize_ <= kBytesInFlight - bytesRead_;
}

// Helpers are woken when there is enough to do for a while, half a queue of
// results to write or half the read-ahead to fill, not for every article: each
// wake is a switch between threads that costs about what a small file does.
void BatchFiles::wakeHelper() {
    if (idleHelpers_ == 0) return;
    const bool manyJobs = jobs_.size() >= most_ / 2;
    const bool fewRead = claimed_ - consumed_ <= most_ / 2 && claimed_ < paths_.size();
    if (manyJobs || fewRead) helperWork_.notify_one();
}

// A helper: writes while results are queued, reads ahead while there is room,
// and waits for either otherwise.
void BatchFiles::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (writeQueued(lock)) continue;
        if (mayReadAhead()) {
            const std::size_t index = claimed_++;
            const std::size_t counted = nextSize_;
            bytesRead_ += counted;
            lock.unlock();
            ArticleFile file = services_.read(paths_[index], requested_, {});
            lock.lock();
            // What the text takes once read (a gzip input inflates).
            bytesRead_ = bytesRead_ - counted + file.text.size();
            ready_.emplace(index, std::move(file));
            articleRead_.notify_one();
        } else if (finishing_) {
            return;
        } else {
            ++idleHelpers_;
            helperWork_.wait(lock);
            --idleHelpers_;
        }
    }
}

ArticleFile BatchFiles::take(std::size_t index) {
    std::unique_lock lock(mutex_);
    if (index >= claimed_) {
        // No helper has started on it: reading it here is quicker than waiting.
        claimed_ = index + 1;
        consumed_ = index + 1;
        wakeHelper();  // to read the next ones meanwhile
        lock.unlock();
        return services_.read(paths_[index], requested_, keepAlive_);
    }
    // Waiting for a helper to finish reading it: the results queued are
    // written meanwhile, which the helper would otherwise do after it.
    while (!ready_.contains(index)) {
        if (!writeQueued(lock)) articleRead_.wait(lock);
    }
    auto node = ready_.extract(index);
    bytesRead_ -= node.mapped().text.size();
    consumed_ = index + 1;
    wakeHelper();
    return std::move(node.mapped());
}

bool BatchFiles::writeQueued(std::unique_lock<std::mutex>& lock) {
    if (jobs_.empty()) return false;
    ResultJob job = std::move(jobs_.front());
    jobs_.pop_front();
    bytesQueued_ -= job.text.size();
    lock.unlock();
    write(job);
    lock.lock();
    return true;
}

void BatchFiles::write(ResultJob& job) {
    std::string error;
    if (services_.write(job.path, job.text, job.format, error)) return;
    const std::lock_guard lock(mutex_);
    failures_.push_back(
        {job.index, std::move(job.inputPath), "无法写入结果文件 " + job.path + "：" + error});
}

void BatchFiles::submit(ResultJob job) {
    {
        const std::lock_guard lock(mutex_);
        // A result queued would be held beside the engine's next article.
        const bool full = jobs_.size() >= most_ || bytesQueued_ > kBytesInFlight ||
                          job.text.size() > kBytesInFlight - bytesQueued_;
        if (!threads_.empty() && !full) {
            bytesQueued_ += job.text.size();
            jobs_.push_back(std::move(job));
            wakeHelper();
            return;
        }
    }
    // No helpers, or they are behind: writing here keeps the engine from
    // waiting and memory from growing.
    write(job);
}

std::vector<WriteFailure> BatchFiles::takeFailures() {
    const std::lock_guard lock(mutex_);
    return std::exchange(failures_, {});
}

void BatchFiles::finish() {
    {
        const std::lock_guard lock(mutex_);
        if (finishing_) return;
        finishing_ = true;
    }
    helperWork_.notify_all();
    for (std::thread& t : threads_)
        t.join();
    threads_.clear();
}

}  // namespace lct
