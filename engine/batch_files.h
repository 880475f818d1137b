#pragma once
// Reading ahead of a batch's engine and writing behind it.
//
//   helper threads ──► articles read ──► engine (the caller's thread, articles
//   (read, decode)     (in input order)   in input order) ──► results queued ──►
//                                                             helper threads
//                                                             (encode, write)
//
// The engine takes the articles in input order on the caller's thread, so a
// seeded run gives the same files whatever the number of threads; with none,
// everything happens on the caller's thread, one file after the other. Only
// RunServices::read and RunServices::write run on the helper threads. What is
// in flight is bounded, by count and by size, so that a fast reader never
// holds the whole batch in memory.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/article_file.h"
#include "engine/keep_alive.h"
#include "engine/run_driver.h"

namespace lct {

/// A result to write: the article it came from and where it goes.
struct ResultJob {
    std::size_t index = 0;  ///< of the input in the batch
    std::string inputPath;
    std::string path;
    std::string text;
    ResultFormat format;
};

/// A result that could not be written.
struct WriteFailure {
    std::size_t index = 0;
    std::string inputPath;
    std::string reason;  ///< UTF-8
};

/// Reads a batch's files ahead of the engine and writes its results behind
/// it, on `threads` helper threads. A helper writes queued results first and
/// reads ahead when there is nothing to write; the caller reads an article
/// itself when no helper has started on it yet, and writes a result itself
/// when the queue is full. So the work balances itself between the threads,
/// whichever side costs more. With no threads, everything happens in take and
/// submit. While the caller waits for an article that a helper is reading, it
/// writes the queued results. A read on the caller's thread lets its window
/// breathe through `keepAlive`; the helpers read without it.
class BatchFiles {
  public:
    BatchFiles(RunServices& services, const std::vector<std::string>& paths, TextEncoding requested,
               unsigned threads, KeepAlive keepAlive = {});
    ~BatchFiles();
    BatchFiles(const BatchFiles&) = delete;
    BatchFiles& operator=(const BatchFiles&) = delete;

    /// The file at `paths[index]`, read; indexes must come in increasing order.
    ArticleFile take(std::size_t index);
    /// Queues a result to write (or writes it at once, when the queue is full).
    void submit(ResultJob job);
    /// The write failures since the last call.
    std::vector<WriteFailure> takeFailures();
    /// Writes everything still queued, stops reading ahead and ends the threads.
    void finish();

  private:
    void work();
    bool mayReadAhead();
    /// Writes the oldest queued result, the lock released meanwhile; false
    /// when none is queued.
    bool writeQueued(std::unique_lock<std::mutex>& lock);
    void write(ResultJob& job);
    void wakeHelper();

    RunServices& services_;
    const std::vector<std::string>& paths_;
    TextEncoding requested_;
    KeepAlive keepAlive_;  // the caller's thread only
    std::size_t most_;     // articles read ahead, and results queued, at most
    std::mutex mutex_;
    std::condition_variable helperWork_;   // a helper waits for a job or room to read ahead
    std::condition_variable articleRead_;  // the caller waits for the article it takes
    // Reading ahead.
    std::map<std::size_t, ArticleFile> ready_;
    std::size_t claimed_ = 0;       // the next index to read
    std::size_t consumed_ = 0;      // the next index the caller takes
    std::size_t bytesRead_ = 0;     // of articles claimed by helpers and not yet taken
    std::size_t sized_ = SIZE_MAX;  // the index whose size nextSize_ holds
    std::size_t nextSize_ = 0;
    // Writing behind.
    std::deque<ResultJob> jobs_;
    std::size_t bytesQueued_ = 0;
    std::vector<WriteFailure> failures_;
    unsigned idleHelpers_ = 0;
    bool finishing_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace lct
