#pragma once
// Reading ahead of a batch's engine and writing behind it.
//
//   reader threads ──► ArticleReader ──► engine (the caller's thread, articles
//   (read, decode)     (in input order)   in input order) ──► ResultQueue ──►
//                                                             writer threads
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
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/article_file.h"
#include "engine/run_driver.h"

namespace lct {

/// Reads the files of a batch in input order, on `threads` helper threads
/// ahead of the caller (none: when asked).
class ArticleReader {
  public:
    ArticleReader(RunServices& services, const std::vector<std::string>& paths,
                  TextEncoding requested, unsigned threads);
    ~ArticleReader();
    ArticleReader(const ArticleReader&) = delete;
    ArticleReader& operator=(const ArticleReader&) = delete;

    /// The file at `paths[index]`, read; indexes must come in increasing order.
    ArticleFile take(std::size_t index);

  private:
    void work();

    RunServices& services_;
    const std::vector<std::string>& paths_;
    TextEncoding requested_;
    std::size_t ahead_;  // articles read and not yet taken, at most
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::size_t, ArticleFile> ready_;
    std::size_t claimed_ = 0;   // the next index a thread reads
    std::size_t consumed_ = 0;  // the next index the caller takes
    std::size_t bytes_ = 0;     // text read and not yet taken
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

/// A result to write: the article it came from and where it goes.
struct ResultJob {
    std::size_t index = 0;  ///< of the input in the batch
    std::string inputPath;
    std::string path;
    std::string text;
    TextEncoding encoding = TextEncoding::Gbk;
    LineBreaks lineBreaks = LineBreaks::CrLf;
};

/// A result that could not be written.
struct WriteFailure {
    std::size_t index = 0;
    std::string inputPath;
    std::string reason;  ///< UTF-8
};

/// Writes results on `threads` helper threads behind the caller (none: at
/// once, in submit).
class ResultQueue {
  public:
    ResultQueue(RunServices& services, unsigned threads);
    ~ResultQueue();
    ResultQueue(const ResultQueue&) = delete;
    ResultQueue& operator=(const ResultQueue&) = delete;

    /// Queues a result; waits while too much is queued.
    void submit(ResultJob job);
    /// The failures since the last call.
    std::vector<WriteFailure> takeFailures();
    /// Writes everything still queued and ends the threads.
    void finish();

  private:
    void work();
    void write(ResultJob& job);

    RunServices& services_;
    std::size_t most_;  // results queued, at most
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ResultJob> jobs_;
    std::size_t bytes_ = 0;
    bool finishing_ = false;
    std::vector<WriteFailure> failures_;
    std::vector<std::thread> threads_;
};

}  // namespace lct
