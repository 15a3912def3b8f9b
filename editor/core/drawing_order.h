// The order the canvas draws a zone's records in: z descending, then priority
// descending, then y descending, remaining ties in list order.
#pragma once

#include <cstdint>
#include <vector>

namespace zor::editor {

struct DrawingKey {
  float z = 0.0f;
  int32_t priority = 0;
  float y = 0.0f;
};

// The list positions of `keys` in drawing order. Linear in the number of keys
// (a radix sort) when every z and y is a number; otherwise by comparisons, as
// three stable sorts by y, priority and z give it.
std::vector<uint32_t> drawingOrder(const std::vector<DrawingKey>& keys);

}  // namespace zor::editor
