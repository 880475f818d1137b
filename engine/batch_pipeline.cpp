#include "engine/batch_pipeline.h"

#include <utility>

namespace lct {
namespace {

// In flight between the helper threads and the engine: a few articles per
// thread, and never much more than this much text (one big article alone is
// always let through).
constexpr std::size_t kArticlesPerThread = 4;
constexpr std::size_t kBytesInFlight = 64u << 20;

}  // namespace

ArticleReader::ArticleReader(RunServices& services, const std::vector<std::string>& paths,
                             TextEncoding requested, unsigned threads)
    : services_(services),
      paths_(paths),
      requested_(requested),
      ahead_(kArticlesPerThread * threads) {
    threads_.reserve(threads);
    for (unsigned t = 0; t < threads; ++t)
        threads_.emplace_back([this] { work(); });
}

ArticleReader::~ArticleReader() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

void ArticleReader::work() {
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] {
                return stopping_ || claimed_ >= paths_.size() ||
                       (claimed_ - consumed_ < ahead_ && (bytes_ == 0 || bytes_ < kBytesInFlight));
            });
            if (stopping_ || claimed_ >= paths_.size()) return;
            index = claimed_++;
        }
        ArticleFile file = services_.read(paths_[index], requested_, true);
        {
            const std::lock_guard lock(mutex_);
            bytes_ += file.text.size();
            ready_.emplace(index, std::move(file));
        }
        changed_.notify_all();
    }
}

ArticleFile ArticleReader::take(std::size_t index) {
    if (threads_.empty()) return services_.read(paths_[index], requested_, true);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ready_.contains(index); });
    auto node = ready_.extract(index);
    bytes_ -= node.mapped().text.size();
    consumed_ = index + 1;
    lock.unlock();
    changed_.notify_all();
    return std::move(node.mapped());
}

ResultQueue::ResultQueue(RunServices& services, unsigned threads)
    : services_(services), most_(kArticlesPerThread * threads) {
    threads_.reserve(threads);
    for (unsigned t = 0; t < threads; ++t)
        threads_.emplace_back([this] { work(); });
}

ResultQueue::~ResultQueue() {
    finish();
}

void ResultQueue::write(ResultJob& job) {
    std::string error;
    if (services_.write(job.path, job.text, job.encoding, job.lineBreaks, error)) return;
    const std::lock_guard lock(mutex_);
    failures_.push_back(
        {job.index, std::move(job.inputPath), "无法写入结果文件 " + job.path + "：" + error});
}

void ResultQueue::submit(ResultJob job) {
    if (threads_.empty()) {
        write(job);
        return;
    }
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] {
            return jobs_.empty() || (jobs_.size() < most_ && bytes_ < kBytesInFlight);
        });
        bytes_ += job.text.size();
        jobs_.push_back(std::move(job));
    }
    changed_.notify_all();
}

void ResultQueue::work() {
    for (;;) {
        ResultJob job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return finishing_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            bytes_ -= job.text.size();
        }
        changed_.notify_all();
        write(job);
    }
}

std::vector<WriteFailure> ResultQueue::takeFailures() {
    const std::lock_guard lock(mutex_);
    return std::exchange(failures_, {});
}

void ResultQueue::finish() {
    {
        const std::lock_guard lock(mutex_);
        if (finishing_) return;
        finishing_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : threads_)
        t.join();
    threads_.clear();
}

}  // namespace lct
