// The baseline the benchmarks' figures are read against: counting the words of
// the same bytes in the same process, as `wc -w` does, so that a ratio to it
// says how far a step is from one plain pass over its input.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string_view>

namespace quillet::bench {

inline std::size_t CountWords(std::string_view text) {
  std::size_t words = 0;
  bool inWord = false;
  for (char c : text) {
    const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    if (!space && !inWord) ++words;
    inWord = !space;
  }
  return words;
}

// Counts the words of `text` once per iteration.
inline void CountWordsOf(benchmark::State& state, std::string_view text) {
  for (auto _ : state) benchmark::DoNotOptimize(CountWords(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace quillet::bench
