// The scene: the objects, the player and the word-box signs drawn far to near,
// so that nearer shapes cover farther ones.
//
// What the drawing of a frame changes (the swish, the camera shake, the word
// boxes that follow objects or go away, the blink of blinking objects, the
// current checkpoint's colour cycle and the signs' seen and remove flags) is
// done by updateDrawingState, which the frame loop calls once in every game
// frame, whether or not the scene is drawn in it. drawScene itself changes
// nothing, so what is drawn (or whether anything is) never changes what a
// replay sees.
#pragma once

#include "platform/framebuffer.h"

namespace zor {

struct Game;

// Advances the drawing state by one game frame, in this order:
//  1. the swish eases toward its target and its angle turns one degree;
//  2. while the shake is above 0.0005 the camera is shaken (three draws from the
//     zone's seeded generator: x, y, z) and the shake decays;
//  3. word boxes marked for removal are deleted, and boxes that follow an object
//     are centred on it, just in front of it;
//  4. whether the player is left out of this frame's scene (hidden or dying) is
//     decided;
//  5. the far-to-near walk over the objects: blinking objects toggle their
//     `invisible` flag on every other frame, and the current checkpoint, when it
//     is drawn and in view, advances its colour cycle; the walk stops at the first
//     drawn object at or behind the near limit, as the drawing does; the frame's
//     x index of every object (game.screen.sceneIndex) is brought up to date for
//     drawScene. While no script ran and the object list stayed the same since
//     the last frame, the walk's work is done through the kept index, looking
//     only at the objects that can change by themselves (see SceneIndex); code
//     that changes objects otherwise says so with
//     game.screen.sceneIndex.noteObjectsChanged();
//  6. every sign that is not hidden updates its seen and remove flags.
// Call it where the scene would be drawn (after the world step), then drawScene
// when the scene is drawn.
void updateDrawingState(Game& game);

// How the scene walk finds the objects: through the x index that updateDrawingState
// made for this frame (when it fits the game as it is now), or every object in turn.
// Both draw the same picture.
enum class SceneWalk { Indexed, Whole };

// Draws the objects, the player and the word boxes far to near into the fill.
void drawScene(const Game& game, ShapeFill& fill, SceneWalk walk = SceneWalk::Indexed);
// The same on the game screen's shape back-end; nothing when it has none.
void drawScene(Game& game);

}  // namespace zor
