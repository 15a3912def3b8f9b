#include "game/render/scene.h"

#include "format/vocabulary.h"
#include "game/game.h"
#include "game/render/block_drawing.h"
#include "game/render/projection.h"
#include "game/render/scene_index.h"
#include "game/render/word_box_signs.h"

namespace zor {

namespace {

namespace flag = format::flag;

// One degree in radians, as a single-precision value.
constexpr float kOneDegree = 0.01745329238474369f;
// A sign that follows an object stands this much in front of it.
constexpr float kSignInFront = 0.0000175f;
constexpr uint32_t kBlinkEffect = 1;

// The scene leaves out invisible and fully transparent objects, except that an
// invisible light-up block shows while the player stands on it.
bool isDrawn(const ObjectRecord& o, const ObjectRecord* player) {
  if (!(o.trans < 1.0f)) return false;
  if (!o.has(flag::Invisible)) return true;
  return o.has(flag::Lightup) && player != nullptr && player->support == &o;
}

void shakeCamera(Game& game) {
  ScreenEffectState& s = game.script.screenEffects;
  if (!(s.shakeAmount > 0.0005f)) return;
  Vec3& cam = game.world.cameraPosition;
  RandomGenerator& gen = game.random.generator;
  cam.x += static_cast<float>(static_cast<int32_t>(gen.draw(200)) - 100) * s.shakeAmount;
  cam.y += static_cast<float>(static_cast<int32_t>(gen.draw(200)) - 100) * s.shakeAmount;
  cam.z += static_cast<float>(static_cast<int32_t>(gen.draw(200)) - 100) * s.shakeAmount;
  s.shakeAmount = s.shakeAmount * s.shakeDecay;
}

void updateWordBoxes(CurrentList<WordBox>& boxes) {
  if (!boxes.first()) return;
  // Walking with the cursor leaves the last box current, where the next new box goes.
  do {
    WordBox* b = boxes.current();
    if (b->flags & wordbox::Remove) {
      boxes.removeCurrent();
    } else if (b->object != nullptr) {
      const ObjectRecord& o = *b->object;
      b->x = o.x + (o.w - b->width) * 0.5f;
      b->y = o.y + (o.h - b->height) * 0.5f;
      b->z = o.z - kSignInFront;
    }
  } while (boxes.advance());
}

SceneIndex::Stamp sceneStamp(const Game& game) {
  return SceneIndex::Stamp{game.world.objects.changeCount(), game.script.scriptRuns};
}

// The far-to-near walk's work (step 5) through the kept index, looking only at
// the objects that can have changed since the last frame; false when the whole
// walk is needed. The blink touches only the objects that run an effect; the
// near stop is the first drawn object at or past the first depth at or behind
// the near limit; of the objects before it only the current checkpoint can
// advance.
bool followWatchedObjects(Game& game, const Projection& projection, ObjectRecord* player, bool blinkFrame,
                          bool swishActive) {
  SceneIndex& index = game.screen.sceneIndex;
  if (!index.followWatched(projection, player, game.world.objects.size(), swishActive, sceneStamp(game))) {
    return false;
  }
  // The walk stops at the first drawn object at or behind the near limit, and
  // blinks what it meets before then (the stop too): only objects running an
  // effect blink, and all of them are watched.
  const std::size_t near = index.firstNear(projection.camera.z);
  if (blinkFrame) {
    for (const uint32_t i : index.watched()) {
      if (i >= near) break;
      ObjectRecord& o = index.objectAt(i);
      if (o.effectBits & kBlinkEffect) o.flags ^= flag::Invisible;
    }
  }
  std::size_t stop = index.size();
  for (std::size_t i = near; i < index.size(); ++i) {
    ObjectRecord& o = index.objectAt(i);
    if (blinkFrame && (o.effectBits & kBlinkEffect)) o.flags ^= flag::Invisible;
    if (isDrawn(o, player)) {
      stop = i;
      break;
    }
  }
  if (blinkFrame && index.playerAt() <= stop && (player->effectBits & kBlinkEffect)) {
    player->flags ^= flag::Invisible;
  }
  ObjectRecord* checkpoint = game.world.currentCheckpoint;
  if (checkpoint != nullptr && checkpoint != player && index.positionOf(checkpoint) < stop &&
      isDrawn(*checkpoint, player)) {
    advanceCheckpointCycle(game, projection, *checkpoint);
  }
  return true;
}

}  // namespace

void updateDrawingState(Game& game) {
  ScriptState& s = game.script;
  World& world = game.world;

  ScreenEffectState& fx = s.screenEffects;
  fx.swishAmount = fx.swishAmount + (fx.swishTarget - fx.swishAmount) * 0.1f;
  fx.swishAngle = fx.swishAngle - kOneDegree;

  shakeCamera(game);
  updateWordBoxes(s.wordBoxes);

  ObjectRecord* player = world.player;
  s.scenePlayerHidden = player == nullptr || player->has(flag::Invisible) || world.playerDead;

  const Projection projection = projectionFor(game);
  const bool blinkFrame = game.controls.currentColumn == 1;
  // The scene walk of this frame visits the objects up to the same near stop.
  const bool swishActive = swishFactors(fx.swishAmount, fx.swishAngle).active;
  if (!followWatchedObjects(game, projection, player, blinkFrame, swishActive)) {
    SceneIndex& index = game.screen.sceneIndex;
    index.begin(projection, player, world.objects.size(), swishActive);
    auto it = world.objects.begin();
    const auto end = world.objects.end();
    for (; it != end; ++it) {
      ObjectRecord& o = *it;
      if (blinkFrame && (o.effectBits & kBlinkEffect)) o.flags ^= flag::Invisible;
      if (&o == player) {
        index.notePlayer();
        continue;
      }
      index.add(o);
      if (!isDrawn(o, player)) continue;
      if (!(o.z - projection.camera.z > kNearLimit)) {
        ++it;
        break;
      }
      advanceCheckpointCycle(game, projection, o);
    }
    // The index holds the objects past the near stop too, so that it stays whole
    // from frame to frame; the drawing stops at the same object.
    for (; it != end; ++it) {
      if (&*it != player) {
        index.add(*it);
      } else {
        index.notePlayer();
      }
    }
    index.finish(sceneStamp(game));
  }

  for (WordBox& b : s.wordBoxes) {
    if (!(b.flags & wordbox::Hidden)) updateSignFlags(game, projection, b);
  }
}

void drawScene(const Game& game, ShapeFill& fill, SceneWalk walk) {
  const World& world = game.world;
  const Projection projection = projectionFor(game);
  const ObjectRecord* player = world.player;
  bool playerDone = game.script.scenePlayerHidden || player == nullptr;

  auto drawPlayer = [&] {
    drawBlock(game, projection, fill, *player);
    playerDone = true;
  };
  auto nextBox = game.script.wordBoxes.begin();
  const auto boxesEnd = game.script.wordBoxes.end();

  // One object of the far-to-near walk; false once the rest is too near to draw.
  auto step = [&](const ObjectRecord& o) {
    if (&o == player) return true;
    // Signs farther than the object go first, the player among them by depth.
    while (nextBox != boxesEnd && o.z < nextBox->z) {
      if (!playerDone && o.z < player->z && nextBox->z < player->z) drawPlayer();
      if (!(nextBox->flags & wordbox::Hidden)) drawSign(game, projection, fill, *nextBox);
      ++nextBox;
    }
    if (!playerDone && o.z < player->z) drawPlayer();
    // The rest of the list is nearer still once one object is too near.
    return !(isDrawn(o, player) && drawBlock(game, projection, fill, o) == 1);
  };
  const SceneIndex& index = game.screen.sceneIndex;
  if (walk == SceneWalk::Indexed && index.fits(projection, player, world.objects.size())) {
    index.forEachCandidate(projection, step);
  } else {
    for (const ObjectRecord& o : world.objects) {
      if (!step(o)) break;
    }
  }
  if (!playerDone) drawPlayer();
  for (; nextBox != boxesEnd; ++nextBox) {
    if (!(nextBox->flags & wordbox::Hidden)) drawSign(game, projection, fill, *nextBox);
  }
}

void drawScene(Game& game) {
  if (ShapeFill* fill = game.screen.shapeFill()) drawScene(static_cast<const Game&>(game), *fill);
}

}  // namespace zor
