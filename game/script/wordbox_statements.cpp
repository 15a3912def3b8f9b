// Word-box statements: `wordbox` puts up a sign in the world, `hidewb` hides or
// shows the first sign with a given text.
//
// A new sign starts from the player: its left edge at the player's x, its
// bottom at the player's top, 25 units behind the player, letters half the
// player's height, black, without a panel. The element's attributes are then
// read in document order (names in any letter case). The box is the text
// alone, (6n - 1) font units wide and 5 high (a unit is a fifth of the letter
// height, n the number of characters); with a panel it is (6n + 3) units wide
// and 9 high. Unless `cen` says otherwise the box is centred on its x. The list
// stays sorted far to near (stable), which the scene drawing relies on.
//
// A `back` of "-" means no panel, like "-1": "-" is the files' word for none.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "format/vocabulary.h"
#include "format/values.h"
#include "game/script/interpreter.h"
#include "game/script/script_state.h"
#include "game/world/objects.h"
#include "game/world/world.h"
#include "platform/text.h"

namespace zor {
namespace {

// Sort key of a sign's depth: not-a-number counts as the nearest of all, so the
// order stays total.
float depthKey(float z) { return std::isnan(z) ? -std::numeric_limits<float>::infinity() : z; }

int32_t readFlagWords(const std::string& value) {
  int32_t flags = 0;
  for (const std::string& item : text::split(value, ',')) {
    const std::string word = text::toLower(text::trim(item));
    if (word == "disappearing") {
      flags |= wordbox::Disappearing;
    } else if (word == "invisible") {
      flags |= wordbox::Hidden;
    }
  }
  return flags;
}

StatementResult runWordBox(StatementContext& ctx) {
  World& world = ctx.world;
  ScriptState& script = ctx.scriptState;
  const xml::Node& st = ctx.statement;

  WordBox box;
  box.text = text::toUpper(st.attr("text"));
  if (box.text.empty() || script.wordBoxes.size() >= kMaxWordBoxes) return StatementResult::Continue;

  if (const ObjectRecord* p = world.player) {
    box.x = p->x;
    box.y = p->y + p->h;
    box.z = p->z + 25.0f;
    box.size = p->h * 0.5f;
  }
  box.colour = 0;
  box.backColour = -1;
  box.flags = 0;
  box.object = nullptr;
  box.width = 0.0f;

  for (const xml::Attribute& a : st.attributes) {
    const std::string name = text::toLower(a.name);
    const std::string& v = a.value;
    if (name == "x") {
      box.x = format::readFloat(v);
    } else if (name == "y") {
      box.y = format::readFloat(v);
    } else if (name == "z") {
      box.z = format::readFloat(v);
    } else if (name == "size") {
      box.size = format::readFloat(v);
    } else if (name == "color") {
      box.colour = format::readColour(v);
    } else if (name == "back") {
      box.backColour = v == "-" ? -1 : format::readColour(v);
    } else if (name == format::attr::ObjectName) {
      if (ObjectRecord* o = findObject(world, v)) {
        box.object = o;
        box.z = o->z;
      }
    } else if (name == "flg") {
      box.flags |= readFlagWords(v);
    }
  }

  const float unit = box.size / 5.0f;
  const int64_t n = static_cast<int64_t>(box.text.size());
  if (box.backColour >= 0) {
    box.width = static_cast<float>(6 * n + 3) * unit;
    box.height = box.size + box.size * 4.0f / 5.0f;
  } else {
    box.width = static_cast<float>(6 * n - 1) * unit;
    box.height = box.size;
  }

  const xml::Attribute* cen = st.findAttr("cen");
  if (!cen || cen->value.empty() || format::readBool(cen->value)) box.x = box.x - box.width / 2.0f;

  CurrentList<WordBox>& boxes = script.wordBoxes;
  boxes.add(std::move(box));
  boxes.sort([](const WordBox& a, const WordBox& b) { return depthKey(a.z) > depthKey(b.z); });
  return StatementResult::Continue;
}

StatementResult runHideWordBox(StatementContext& ctx) {
  const std::string wanted = text::toUpper(ctx.statement.attr("text"));
  if (wanted.empty()) return StatementResult::Continue;
  for (WordBox& box : ctx.scriptState.wordBoxes) {
    if (box.text != wanted) continue;
    const std::string& state = ctx.statement.attr("state");
    if (state.empty() || state == "1") {
      box.flags |= wordbox::Hidden;
    } else {
      box.flags &= ~wordbox::Hidden;
    }
    break;
  }
  return StatementResult::Continue;
}

}  // namespace

void registerWordBoxStatements(StatementTable& table) {
  table.define("wordbox", runWordBox);
  table.define("hidewb", runHideWordBox);
}

}  // namespace zor
