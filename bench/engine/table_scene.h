// A scene with the nodes of a full table (background, 27 hand cards, four
// seats' plays, every label and button), for the engine's measurements.
#pragma once

#include "engine/scene.h"

namespace enginebench {

// Uses the game's images beside the executable, or draws stand-ins of the
// same sizes into a temporary folder when they are missing.
engine::Scene* buildTableScene();
// Nodes in the scene, itself included.
int countNodes(const engine::Node* root);

}  // namespace enginebench
