#pragma once
// The random generator of a run. One object per run; every draw of the run
// goes through it. Seeded with a number, its draws are reproducible (the same
// inputs, options and seed give the same results); otherwise it is seeded from
// the clock and a running counter, so that two runs differ.

#include <cstdint>
#include <optional>
#include <random>

namespace lct {

class Random {
  public:
    /// Seeded from the clock and a process-wide running counter.
    Random();
    /// Reproducible draws from `seed`.
    explicit Random(std::uint64_t seed);
    /// A fixed seed, or the clock when nullopt.
    explicit Random(std::optional<std::uint64_t> seed);

    /// Starts a new sequence from the clock and the counter. A generator with a
    /// fixed seed keeps its sequence: reseeding must not undo reproducibility.
    void reseed();

    /// Uniform integer in [low, high]; requires low <= high.
    std::int64_t between(std::int64_t low, std::int64_t high);

    bool hasFixedSeed() const { return fixedSeed_; }

  private:
    std::mt19937_64 engine_;
    bool fixedSeed_ = false;
};

}  // namespace lct
