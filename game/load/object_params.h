// Reading a block element (with its class as defaults) into an object record.
#pragma once

#include "platform/xml.h"

namespace zor {

struct Game;

// Applies the element to the current object of the object list. topLevel 1 is
// a block read by the zone loader: its class's element is applied first as the
// defaults, and afterwards the object is placed on its level. topLevel 0 (the
// `explode` particles) applies the element's own attributes, post rules and
// child scripts only. Nothing happens for a null node or without a current object.
void readObjectParams(Game& game, const xml::Node* node, int topLevel);

// Folds a negative motion phase into 0..1 (whole cycles added); a non-finite
// phase becomes 0. Other phases stay as they are.
float foldPhase(float phase);

}  // namespace zor
