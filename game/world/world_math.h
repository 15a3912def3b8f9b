// The world's own sine, cosine and floating remainder. The world's results must
// not depend on the maths library the program happens to be linked with, so
// these use only IEEE basic operations (in double precision, in a fixed order)
// and integer arithmetic. Sine and cosine are within one unit in the last place
// of the exact result over every float; the remainder is exact.
#pragma once

namespace zor {

float worldSin(float x);
float worldCos(float x);
// The remainder of x / y with the sign of x (the truncating remainder), exact.
// Not a number when y is 0 or x is infinite.
float worldFmod(float x, float y);

}  // namespace zor
