#include "game/world/world_math.h"

#include <bit>
#include <cstdint>
#include <limits>

namespace zor {

namespace {

// The first 256 bits of 2 / pi after the binary point.
constexpr uint32_t kTwoOverPiBits[8] = {0xa2f9836e, 0x4e441529, 0xfc2757d1, 0xf534ddc0,
                                        0xdb629599, 0x3c439041, 0xfe5163ab, 0xdebbc561};

// pi / 2 split so that k * kHalfPiHigh is exact for |k| < 2^20 (33 bits), and
// the rest of it.
constexpr double kHalfPiHigh = 1.57079632673412561417e+00;
constexpr double kHalfPiLow = 6.07710050650619224932e-11;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
// pi / 2 * 2^-64: turns a 64-bit fraction of a quarter turn into radians.
constexpr double kHalfPiOver2To64 = 1.57079632679489661923 / 18446744073709551616.0;

// Arguments below this go through the short reduction.
constexpr float kShortReductionLimit = 1048576.0f;  // 2^20

struct Reduced {
  double r;    // in [-pi/4, pi/4] (a hair beyond at quadrant borders)
  uint32_t q;  // quarter turns, modulo 4
};

uint32_t twoOverPiWord(int32_t k) { return k >= 0 && k < 8 ? kTwoOverPiBits[k] : 0u; }

// Bits s+1 .. s+96 of 2 / pi (bits before the first are 0).
unsigned __int128 twoOverPiWindow(int32_t s) {
  const int32_t q = s >= 0 ? s / 32 : -((31 - s) / 32);
  const int32_t shift = s - 32 * q;  // 0..31
  unsigned __int128 acc = (static_cast<unsigned __int128>(twoOverPiWord(q)) << 96) |
                          (static_cast<unsigned __int128>(twoOverPiWord(q + 1)) << 64) |
                          (static_cast<unsigned __int128>(twoOverPiWord(q + 2)) << 32) | twoOverPiWord(q + 3);
  if (shift > 0) {
    acc <<= shift;
    acc |= twoOverPiWord(q + 4) >> (32 - shift);
  }
  return acc >> 32;
}

// x = k * pi/2 + r for a finite, non-negative x.
Reduced reduce(float x) {
  if (x < kShortReductionLimit) {
    const auto k = static_cast<int32_t>(static_cast<double>(x) * kTwoOverPi + 0.5);
    const double kd = k;
    // x - k * high is exact (both are close when k > 0); the rest is one rounding.
    const double r = (static_cast<double>(x) - kd * kHalfPiHigh) - kd * kHalfPiLow;
    return Reduced{r, static_cast<uint32_t>(k) & 3u};
  }
  // x = m * 2^e with a 24-bit m and e >= -3: x * 2/pi modulo 4 comes from the
  // bits of 2/pi from about e onward; the bits before give a multiple of 4.
  const uint32_t bits = std::bit_cast<uint32_t>(x);
  const uint32_t m = (bits & 0x7fffffu) | 0x800000u;
  const int32_t e = static_cast<int32_t>(bits >> 23) - 150;
  const unsigned __int128 product = twoOverPiWindow(e - 2) * m;  // quarter turns with 94 fraction bits
  uint32_t q = static_cast<uint32_t>(product >> 94) & 3u;
  const unsigned __int128 one = static_cast<unsigned __int128>(1) << 94;
  __int128 fraction = static_cast<__int128>(product & (one - 1));
  if (fraction >= static_cast<__int128>(one >> 1)) {
    fraction -= static_cast<__int128>(one);
    q = (q + 1) & 3u;
  }
  const auto top = static_cast<int64_t>(fraction >> 30);  // 64 fraction bits
  return Reduced{static_cast<double>(top) * kHalfPiOver2To64, q};
}

// Taylor polynomials, enough terms for |r| <= pi/4 at double precision.
double sinKernel(double r) {
  const double r2 = r * r;
  const double c3 = -1.0 / 6.0, c5 = 1.0 / 120.0, c7 = -1.0 / 5040.0, c9 = 1.0 / 362880.0,
               c11 = -1.0 / 39916800.0, c13 = 1.0 / 6227020800.0, c15 = -1.0 / 1307674368000.0;
  const double poly = c3 + r2 * (c5 + r2 * (c7 + r2 * (c9 + r2 * (c11 + r2 * (c13 + r2 * c15)))));
  return r + (r * r2) * poly;
}

double cosKernel(double r) {
  const double r2 = r * r;
  const double c2 = -1.0 / 2.0, c4 = 1.0 / 24.0, c6 = -1.0 / 720.0, c8 = 1.0 / 40320.0, c10 = -1.0 / 3628800.0,
               c12 = 1.0 / 479001600.0, c14 = -1.0 / 87178291200.0, c16 = 1.0 / 20922789888000.0;
  const double poly = c4 + r2 * (c6 + r2 * (c8 + r2 * (c10 + r2 * (c12 + r2 * (c14 + r2 * c16)))));
  return 1.0 + r2 * (c2 + r2 * poly);
}

bool finite(float x) { return (std::bit_cast<uint32_t>(x) & 0x7f800000u) != 0x7f800000u; }
bool negative(float x) { return (std::bit_cast<uint32_t>(x) >> 31) != 0; }

}  // namespace

float worldSin(float x) {
  if (!finite(x)) return std::numeric_limits<float>::quiet_NaN();
  const bool minus = negative(x);
  const Reduced red = reduce(minus ? -x : x);
  double v = 0.0;
  switch (red.q) {
    case 0: v = sinKernel(red.r); break;
    case 1: v = cosKernel(red.r); break;
    case 2: v = -sinKernel(red.r); break;
    default: v = -cosKernel(red.r); break;
  }
  const auto f = static_cast<float>(v);
  return minus ? -f : f;
}

float worldCos(float x) {
  if (!finite(x)) return std::numeric_limits<float>::quiet_NaN();
  const Reduced red = reduce(negative(x) ? -x : x);
  double v = 0.0;
  switch (red.q) {
    case 0: v = cosKernel(red.r); break;
    case 1: v = -sinKernel(red.r); break;
    case 2: v = -cosKernel(red.r); break;
    default: v = sinKernel(red.r); break;
  }
  return static_cast<float>(v);
}

float worldFmod(float x, float y) {
  const uint32_t xb = std::bit_cast<uint32_t>(x);
  const uint32_t yb = std::bit_cast<uint32_t>(y);
  const uint32_t xa = xb & 0x7fffffffu;
  const uint32_t ya = yb & 0x7fffffffu;
  if (xa >= 0x7f800000u || ya > 0x7f800000u || ya == 0) return std::numeric_limits<float>::quiet_NaN();
  if (xa < ya) return x;  // also an infinite y
  // |x| = mx * 2^ex and |y| = my * 2^ey with whole mantissas.
  auto split = [](uint32_t a, uint32_t& m, int32_t& e) {
    const uint32_t biased = a >> 23;
    m = biased == 0 ? (a & 0x7fffffu) : ((a & 0x7fffffu) | 0x800000u);
    e = biased == 0 ? -149 : static_cast<int32_t>(biased) - 150;
  };
  uint32_t mx = 0, my = 0;
  int32_t ex = 0, ey = 0;
  split(xa, mx, ex);
  split(ya, my, ey);
  // (mx * 2^(ex - ey)) modulo my, one bit at a time.
  // rem stays below my, so one doubling stays below 2^25.
  uint64_t rem = mx % my;
  for (; ex > ey; --ex) {
    rem <<= 1;
    if (rem >= my) rem -= my;
  }
  // rem * 2^ey is exactly representable: build it in double and narrow exactly.
  const double scale = std::bit_cast<double>(static_cast<uint64_t>(ey + 1023) << 52);
  const auto magnitude = static_cast<float>(static_cast<double>(rem) * scale);
  return (xb >> 31) != 0 ? -magnitude : magnitude;
}

}  // namespace zor
