// The content scale factor chosen from the window's frame size, kept apart from
// the director so that the rule can be checked without a window.
#pragma once

namespace app {

struct stSize {
  float width = 0;
  float height = 0;
};

struct stScaleSizes {
  stSize design;  // design resolution, the divisor of every quotient
  stSize small;   // lower frame-height threshold; source for small frames
  stSize medium;  // window size at creation; upper threshold
  stSize large;   // source for frames taller than medium
};

inline constexpr stScaleSizes kScaleSizes{{1024, 768}, {1024, 768}, {1024, 768}, {1024, 768}};

// Heights are compared strictly: a frame exactly as high as `medium` is a
// small frame.
float contentScaleFactor(stSize frame, const stScaleSizes& sizes = kScaleSizes);

}  // namespace app
