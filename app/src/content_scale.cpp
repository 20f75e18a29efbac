// The content scale rule.
#include "app/content_scale.h"

#include <algorithm>

namespace app {

namespace {
float fit(stSize source, stSize design) {
  return std::min(source.width / design.width, source.height / design.height);
}
}  // namespace

float contentScaleFactor(stSize frame, const stScaleSizes& sizes) {
  if (frame.height > sizes.medium.height) return fit(sizes.large, sizes.design);
  if (frame.height > sizes.small.height) return fit(sizes.medium, sizes.design);
  return fit(sizes.small, sizes.design);
}

}  // namespace app
