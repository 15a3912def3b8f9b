// The pair pass's index by place and the lists kept near each querying object
// against a plain walk over every candidate, on random boxes that move a
// little, jump, change level, turn into not-a-number or grow past any cell.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "game/world/pair_index.h"
#include "tests/game/world/play_test_support.h"

namespace zor {
namespace {

using testing::Rng;

bool overlapsMoreThanATouch(const PairBox& e, const PairBox& q) {
  return q.x1 > e.x0 && q.x0 < e.x1 && q.y1 > e.y0 && q.y0 < e.y1;
}

// The first candidate from `from` on, on `level`, that overlaps `query` and
// that `accept` takes: the plain walk the index must agree with.
template <typename Accept>
std::size_t plainFirst(const std::vector<uint32_t>& candidates, const std::vector<PairBox>& boxes,
                       const std::vector<int8_t>& levels, std::size_t from, int8_t level, const PairBox& query,
                       std::size_t none, Accept accept) {
  for (uint32_t p : candidates) {
    if (p >= from && levels[p] == level && overlapsMoreThanATouch(boxes[p], query) && accept(p)) return p;
  }
  return none;
}

PairBox randomBox(Rng& r) {
  const float x = static_cast<float>(r.range(-2000, 2000)) * 0.5f;
  const float y = static_cast<float>(r.range(-300, 600)) * 0.5f;
  float w = static_cast<float>(r.range(0, 120));
  float h = static_cast<float>(r.range(0, 60));
  switch (r.range(0, 29)) {
    case 0:
      w = 3000.0f;  // over more cells than an object may take
      break;
    case 1:
      return PairBox{std::numeric_limits<float>::quiet_NaN(), y, x + w, y + h};
    case 2:
      return PairBox{-std::numeric_limits<float>::infinity(), y, x + w, y + h};
    default:
      break;
  }
  return PairBox{x, y, x + w, y + h};
}

// One change to the candidates' boxes and levels between two rounds.
void change(Rng& r, std::vector<PairBox>& boxes, std::vector<int8_t>& levels, uint32_t p) {
  PairBox& b = boxes[p];
  switch (r.range(0, 9)) {
    case 0:
      b = randomBox(r);  // anywhere
      break;
    case 1:
      levels[p] = static_cast<int8_t>(r.range(-1, 2));
      break;
    default: {
      // A small move, which mostly stays in its cells.
      const float dx = static_cast<float>(r.range(-8, 8)) * 0.25f;
      const float dy = static_cast<float>(r.range(-8, 8)) * 0.25f;
      b = PairBox{b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy};
      break;
    }
  }
}

TEST(PairIndex, KeptIndexAnswersAsTheWalkOverEveryCandidateAsBoxesChange) {
  constexpr std::size_t kObjects = 600;
  std::size_t found = 0;
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    Rng r{seed};
    std::vector<PairBox> boxes(kObjects);
    std::vector<int8_t> levels(kObjects);
    std::vector<uint8_t> bits(kObjects);
    for (std::size_t p = 0; p < kObjects; ++p) {
      boxes[p] = randomBox(r);
      levels[p] = static_cast<int8_t>(r.range(-1, 2));
      bits[p] = static_cast<uint8_t>(r.range(0, 3));
    }
    std::vector<uint32_t> candidates;
    for (uint32_t p = 0; p < kObjects; ++p) {
      if (r.range(0, 2) != 0) candidates.push_back(p);
    }
    PairIndex kept, keptList;
    for (int round = 0; round < 60; ++round) {
      // Most rounds move only a few boxes a little; some change many, or the candidates.
      const int changes = round % 10 == 9 ? 200 : r.range(1, 6);
      std::vector<uint32_t> changed;
      for (int c = 0; c < changes; ++c) {
        changed.push_back(static_cast<uint32_t>(r.range(0, kObjects - 1)));
        change(r, boxes, levels, changed.back());
        if (r.range(0, 9) == 0) bits[changed.back()] ^= 1;  // its bits change, its box may not
      }
      if (round % 15 == 14) candidates.erase(candidates.begin() + r.range(0, static_cast<int>(candidates.size()) - 1));
      kept.rebuild(candidates, boxes, levels, &bits);
      keptList.rebuildList(candidates, boxes, levels, &bits);
      // The entries hold the bits as they are now.
      std::vector<PairIndex::Near> near;
      kept.collect(static_cast<int8_t>(r.range(-1, 2)), PairBox{-1.0e30f, -1.0e30f, 1.0e30f, 1.0e30f}, near);
      keptList.collect(static_cast<int8_t>(r.range(-1, 2)), randomBox(r), near);
      for (const PairIndex::Near& n : near) ASSERT_EQ(n.bits, bits[n.position]) << "seed " << seed << " round " << round;
      for (int q = 0; q < 80; ++q) {
        // Half the queries just reach into the edge of a box that changed.
        const PairBox& at = boxes[changed[static_cast<std::size_t>(r.range(0, static_cast<int>(changed.size()) - 1))]];
        const float edge = static_cast<float>(r.range(0, 12)) * 0.25f;
        const PairBox query = q % 2 == 0 ? randomBox(r) : PairBox{at.x1 - edge, at.y0, at.x1 - edge + 10.0f, at.y1};
        const auto level = static_cast<int8_t>(r.range(-1, 2));
        const std::size_t from = static_cast<std::size_t>(r.range(0, kObjects));
        const uint32_t skip = static_cast<uint32_t>(r.range(1, 4));
        auto accept = [&](std::size_t p) { return overlapsMoreThanATouch(boxes[p], query) && p % skip != 0; };
        const std::size_t want = plainFirst(candidates, boxes, levels, from, level, query, kObjects, accept);
        ASSERT_EQ(kept.firstFrom(from, level, query, kObjects, accept), want) << "seed " << seed << " round " << round;
        ASSERT_EQ(keptList.firstFrom(from, level, query, kObjects, accept), want)
            << "seed " << seed << " round " << round;
        if (want != kObjects) ++found;
      }
    }
  }
  EXPECT_GT(found, 2000u);
}

TEST(NearLists, AnswerAsTheIndexForEveryQueryTheyCover) {
  constexpr std::size_t kFixed = 500;
  constexpr std::size_t kMovers = 60;
  std::size_t covered = 0, found = 0, asked = 0;
  for (uint32_t seed = 11; seed <= 14; ++seed) {
    Rng r{seed};
    // Positions [0, kFixed) stand still and are indexed; the movers come after them.
    std::vector<PairBox> boxes(kFixed + kMovers);
    std::vector<int8_t> levels(kFixed + kMovers);
    std::vector<uint8_t> bits(kFixed + kMovers);
    std::vector<uint32_t> fixed;
    for (uint32_t p = 0; p < kFixed + kMovers; ++p) {
      boxes[p] = randomBox(r);
      levels[p] = static_cast<int8_t>(r.range(-1, 2));
      bits[p] = static_cast<uint8_t>(r.range(0, 3));
      if (p < kFixed) fixed.push_back(p);
    }
    // Half the seeds keep in the lists only the positions with bit 1, for a
    // test that is false for the others.
    const uint8_t anyOf = seed % 2 == 0 ? 1 : 0;
    PairIndex index;
    index.build(fixed, boxes, levels, &bits);
    NearLists near;
    for (int round = 0; round < 80; ++round) {
      if (round % 20 == 19) {
        // The index changes: the lists go with it.
        for (int c = 0; c < 20; ++c) change(r, boxes, levels, static_cast<uint32_t>(r.range(0, kFixed - 1)));
        index.build(fixed, boxes, levels, &bits);
        near.clear();
      }
      // The movers move, and one comes or goes now and then.
      const std::size_t movers = kMovers - static_cast<std::size_t>(round % 7 == 3 ? r.range(0, 5) : 0);
      near.prepare(movers);
      for (std::size_t s = 0; s < movers; ++s) {
        const auto p = static_cast<uint32_t>(kFixed + s);
        change(r, boxes, levels, p);
        near.refresh(s, p, levels[p], boxes[p], index, anyOf);
        ++asked;
        // Pushed about within the pass: some queries stay inside the list's reach, some leave it.
        for (int push = 0; push < 4; ++push) {
          const float dx = static_cast<float>(r.range(-40, 40));
          const float dy = static_cast<float>(r.range(-40, 40));
          const PairBox& b = boxes[p];
          const PairBox query = push == 0 ? b : PairBox{b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy};
          if (!near.covers(s, p, levels[p], query)) continue;
          ++covered;
          const std::size_t from = static_cast<std::size_t>(r.range(0, kFixed));
          auto accept = [&](std::size_t j) {
            return overlapsMoreThanATouch(boxes[j], query) && j % 5 != 0 && (anyOf == 0 || (bits[j] & anyOf) != 0);
          };
          const std::size_t want = plainFirst(fixed, boxes, levels, from, levels[p], query, kFixed, accept);
          ASSERT_EQ(near.firstFrom(s, from, query, kFixed, accept), want) << "seed " << seed << " round " << round;
          ASSERT_EQ(index.firstFrom(from, levels[p], query, kFixed, accept), want);
          if (want != kFixed) ++found;
        }
        // Another mover's list never answers for this one.
        if (s > 0) {
          ASSERT_FALSE(near.covers(s - 1, p, levels[p], boxes[p]));
        }
      }
    }
    // Most lists were kept from one round to the next.
    EXPECT_LT(near.refreshes(), asked / 2) << "seed " << seed;
  }
  EXPECT_GT(covered, 20000u);
  EXPECT_GT(found, 1000u);
}

TEST(PairIndex, CollectTakesEveryBoxThatReachesAndNoOther) {
  Rng r{77};
  std::vector<PairBox> boxes(800);
  std::vector<int8_t> levels(800);
  std::vector<uint8_t> bits(800);
  std::vector<uint32_t> candidates;
  for (uint32_t p = 0; p < boxes.size(); ++p) {
    boxes[p] = randomBox(r);
    levels[p] = static_cast<int8_t>(r.range(0, 2));
    bits[p] = static_cast<uint8_t>(r.range(0, 15));
    if (p % 4 != 1) candidates.push_back(p);
  }
  PairIndex index;
  index.build(candidates, boxes, levels, &bits);
  for (int q = 0; q < 400; ++q) {
    PairBox reach = randomBox(r);
    if (q % 50 == 0) reach = PairBox{-1.0e30f, -1.0e30f, 1.0e30f, 1.0e30f};  // every cell
    const auto level = static_cast<int8_t>(r.range(0, 2));
    // Every position, or those sharing a bit with anyOf.
    const auto anyOf = static_cast<uint8_t>(q % 3 == 0 ? 0 : r.range(1, 15));
    std::vector<PairIndex::Near> got;
    index.collect(level, reach, got, anyOf);
    std::vector<uint32_t> want;
    for (uint32_t p : candidates) {
      const PairBox& e = boxes[p];
      if (levels[p] == level && (anyOf == 0 || (bits[p] & anyOf) != 0) && e.x0 <= reach.x1 && e.x1 >= reach.x0 &&
          e.y0 <= reach.y1 && e.y1 >= reach.y0) {
        want.push_back(p);
      }
    }
    std::vector<uint32_t> positions;
    for (const PairIndex::Near& n : got) {
      positions.push_back(n.position);
      ASSERT_EQ(n.bits, bits[n.position]) << "query " << q;
      ASSERT_EQ(std::memcmp(&n.box, &boxes[n.position], sizeof n.box), 0) << "query " << q;
    }
    ASSERT_EQ(positions, want) << "query " << q;
  }
}

}  // namespace
}  // namespace zor
