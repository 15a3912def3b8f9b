// The seedable random generator: a lagged generator of two 17-word tables,
// the same on every machine, so replays draw the same numbers.
#pragma once

#include <cstdint>

namespace zor {

struct RandomGenerator {
  uint32_t a[17] = {};
  uint32_t b[17] = {};
  int p1 = 0;
  int p2 = 0;
  bool seeded = false;

  void seed(uint32_t s);
  // One raw step of the generator.
  uint32_t step();
  // A number from 0 to max inclusive; max == 0xFFFFFFFF (-1) returns the raw word.
  // An unseeded generator first seeds itself from the clock.
  uint32_t draw(uint32_t max);
};

// The table of 1024 values k / 1000 that motion, random durations and class hops read in turn.
struct RandomTable {
  float values[1024] = {};
  int index = 0;  // the entry drawn last

  // Seeds the generator with 207 and fills the table with 1024 draws of 1000 / 1000.
  void fill(RandomGenerator& gen);
  // Advances the index (wrapping at 1024) and returns that entry.
  float next() {
    index = (index + 1) & 1023;
    return values[index];
  }
  // Zone loads reset the index so that the first draw takes entry 0.
  void resetIndex() { index = 1023; }
};

}  // namespace zor
