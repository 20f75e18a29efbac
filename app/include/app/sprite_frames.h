// The named sprite frames of the card and interface images, registered once at
// start-up in the engine's sprite-frame cache.
#pragma once

#include <string>

// Each returns the first image file that could not be loaded, or the empty
// text when every frame of its group is in the cache. Frames of the images
// that did load are registered all the same.
std::string registerCardFrames();
std::string registerInterfaceFrames();
std::string registerTableFrames();

// The three groups in order: cards, interface, table (49 frames).
std::string registerSpriteFrames();
