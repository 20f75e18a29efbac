// Small PNG files made for the engine tests, in a folder of their own.
#pragma once

#include <string>

#include "engine/types.h"

namespace enginetest {

// A fresh folder for this test's files.
std::string tempDir();
// A w x h image of one colour; returns its path.
std::string solidPng(const std::string& name, int w, int h, engine::Color4B color);
// The top half in `top`, the bottom half in `bottom`.
std::string splitPng(const std::string& name, int w, int h, engine::Color4B top,
                     engine::Color4B bottom);
// Ten cells of w x h side by side, each an opaque block of `color` with a
// transparent border of one pixel, standing for the digits 0 to 9.
std::string digitsPng(const std::string& name, int w, int h, engine::Color4B color);

}  // namespace enginetest
