// Applying what a block element gives (read by the game file's model, see
// game/model/block_params.h) to an object of the running world.
#pragma once

#include "game/model/block_params.h"
#include "platform/xml.h"
// Up: the objects and levels the parameters are applied to.
#include "game/world/world.h"

namespace zor {

struct Game;

// Sets the fields the parameters give on the object, then the rules that
// follow them: a bouncy object without `fall` starts still, the phase is
// folded into 0..1, a motion object starts at its first x limit and lower y
// limit, a checkpoint is square and centred on its x, a dynamic object starts
// 0.0005 up; last the `standon` and `die` scripts.
void applyBlockParams(ObjectRecord& o, const BlockParams& params);

// A zone's block on a new object: its class first (the class's element as the
// defaults), then the block's own parameters; then the object is placed on its
// level of the world's level table.
void applyBlock(const World& world, ObjectRecord& o, const BlockRecord& block);

// applyBlock(world, o, readBlockRecord(element, classes, findById, ...)) without
// the record, for a zone's many blocks: the class's values (read once per
// class into classCache), then the element's own attributes and child scripts
// read straight onto the object with the rules after them, then the level.
// Faults are passed over without a word, as the load passes them.
void applyBlockElement(const World& world, ObjectRecord& o, const xml::Node& element, const ClassMap& classes,
                       const ElementLookup& findById, ClassParamsCache& classCache);

// Reads the element and applies it to the current object of the object list.
// topLevel 1 is a block of a zone (applyBlock). topLevel 0 (the `explode`
// particles) applies the element's own attributes, rules and child scripts
// only. Nothing happens for a null node or without a current object.
void readObjectParams(Game& game, const xml::Node* node, int topLevel);

// Folds a negative motion phase into 0..1 (whole cycles added); a non-finite
// phase becomes 0. Other phases stay as they are.
float foldPhase(float phase);

}  // namespace zor
