// Conditions and control flow: if, ifset, ifnotset, toggle, call, and `you`,
// which colours the player. A body never runs inline: it is pushed to the front
// of the queue with the script's object and runs once the current script is over.
#include <string>
#include <string_view>

#include "format/values.h"
// Up: conditions read the game flags, the game data and the running speedrun.
#include "game/game.h"
#include "game/load/element_ids.h"
#include "game/script/interpreter.h"
#include "game/script/queue_runner.h"
#include "platform/text.h"

namespace zor {
namespace {

void queueBody(StatementContext& ctx, const xml::Node* body) {
  if (body) pushScriptToFront(ctx.game.script, body, ctx.object, 0);
}

// The statement itself when the test held, else its `else` child (if any).
void queueBranch(StatementContext& ctx, bool passed) {
  queueBody(ctx, passed ? &ctx.statement : childElementNamed(ctx.statement, "else"));
}

bool zoneFlagSet(const World& world, int32_t n) { return ((world.zoneFlags >> (n & 31)) & 1u) != 0; }

// The `speedrun` test of `if`.
bool speedrunTest(int32_t runNumber, const std::string& value) {
  const int32_t n = format::readInt(std::string_view(value).substr(1));
  switch (value[0]) {
    case '+':
      return runNumber > n;
    case '-':
      return runNumber < n;
    case '!':
      return runNumber != n;
    default:
      return runNumber == format::readInt(value);
  }
}

enum class Compare { Less, Equal, Greater };

// A counting test's value: "list=N", "list+N", "list-N" or a bare list (more than 0).
bool countingTest(StatementContext& ctx, std::string_view which, std::string value) {
  Game& game = ctx.game;
  if (which == "zint" && value[0] >= '0' && value[0] <= '9') value = "=" + value;
  Compare op = Compare::Greater;
  int32_t limit = 0;
  std::string list = value;
  char sign = 0;
  if (text::countChar(value, '=') == 1) {
    op = Compare::Equal;
    sign = '=';
  } else if (text::countChar(value, '+') == 1) {
    sign = '+';
  } else if (text::countChar(value, '-') == 1) {
    op = Compare::Less;
    sign = '-';
  }
  if (sign != 0) {
    const std::size_t at = value.find(sign);
    list = value.substr(0, at);
    limit = format::readInt(std::string_view(value).substr(at + 1));
  }

  int64_t count = 0;
  if (which == "zint") {
    count = game.world.zoneInt;
  } else {
    for (const std::string& item : text::split(list, ',')) {
      const int32_t n = format::readInt(item);
      if (which == "gsum" ? game.gameFlags.isSet(n) : zoneFlagSet(game.world, n)) ++count;
    }
  }
  switch (op) {
    case Compare::Less:
      return count < limit;
    case Compare::Equal:
      return count == limit;
    case Compare::Greater:
      return count > limit;
  }
  return false;
}

StatementResult runIf(StatementContext& ctx) {
  const xml::Node& st = ctx.statement;
  if (st.childCount() == 0) return StatementResult::Continue;
  Game& game = ctx.game;
  bool passed = true;

  const std::string& entrance = st.attr("entrance");
  if (!entrance.empty()) {
    const std::string wanted = entrance == "-" ? std::string() : text::toLower(entrance);
    if (wanted != game.world.entranceName) passed = false;
  }
  const std::string& speedrun = st.attr("speedrun");
  if (!speedrun.empty() && !speedrunTest(game.app.runNumber, speedrun)) passed = false;
  const std::string& standing = st.attr("standing");
  if (!standing.empty()) {
    const bool wantStanding = format::readInt(standing) != 0;
    const bool isStanding = game.world.player != nullptr && game.world.player->support != nullptr;
    if (wantStanding != isStanding) passed = false;
  }
  for (std::string_view which : {"gsum", "zsum", "zint"}) {
    const std::string& value = st.attr(which);
    if (value.empty()) continue;
    if (!countingTest(ctx, which, value)) passed = false;
    break;  // only the first counting test counts
  }
  queueBranch(ctx, passed);
  return StatementResult::Continue;
}

// ifset (wanted true) and ifnotset (wanted false).
StatementResult runFlagTest(StatementContext& ctx, bool wanted) {
  const xml::Node& st = ctx.statement;
  if (st.childCount() == 0) return StatementResult::Continue;
  Game& game = ctx.game;
  bool passed = false;
  for (std::string_view which : {"and", "or", "zflag", "gflag"}) {
    const std::string value = text::removeAll(text::removeAll(st.attr(which), " "), "\t");
    if (value.empty()) continue;
    if (which == "and" || which == "or") {
      const bool all = which == "and";
      passed = all;
      for (const std::string& item : text::split(value, ',')) {
        if (item.empty()) break;
        const bool hasWanted = game.gameFlags.isSet(format::readInt(item)) == wanted;
        if (all && !hasWanted) {
          passed = false;
          break;
        }
        if (!all && hasWanted) {
          passed = true;
          break;
        }
      }
    } else if (which == "zflag") {
      const int32_t n = format::readInt(value);
      passed = n >= 0 && n <= 31 && zoneFlagSet(game.world, n) == wanted;
    } else {
      passed = game.gameFlags.isSet(format::readInt(value)) == wanted;
    }
    break;  // only the first present test is used
  }
  queueBranch(ctx, passed);
  return StatementResult::Continue;
}

StatementResult runIfSet(StatementContext& ctx) { return runFlagTest(ctx, true); }
StatementResult runIfNotSet(StatementContext& ctx) { return runFlagTest(ctx, false); }

StatementResult runToggle(StatementContext& ctx) {
  const xml::Node& st = ctx.statement;
  Game& game = ctx.game;
  int state = -1;  // -1 nothing flipped, 0 off, 1 on
  const std::string& zflag = st.attr("zflag");
  const std::string& gflag = st.attr("gflag");
  if (!zflag.empty()) {
    const int32_t n = format::readInt(zflag);
    if (n >= 0 && n <= 31) {
      game.world.zoneFlags ^= 1u << n;
      state = zoneFlagSet(game.world, n) ? 1 : 0;
    }
  } else if (!gflag.empty()) {
    const int32_t n = format::readInt(gflag);
    const bool on = !game.gameFlags.isSet(n);
    // Refused numbers (negative, or beyond the flag bound) flip nothing.
    if (game.gameFlags.set(n, on) == 1) state = on ? 1 : 0;
  }
  if (state >= 0) queueBody(ctx, childElementNamed(st, state == 1 ? "on" : "off"));
  return StatementResult::Continue;
}

StatementResult runCall(StatementContext& ctx) {
  const std::string& sub = ctx.statement.attr("sub");
  if (!sub.empty()) queueBody(ctx, findElementById(ctx.game.data, sub));
  return StatementResult::Continue;
}

StatementResult runYou(StatementContext& ctx) {
  const std::string& colour = ctx.statement.attr("color");
  if (colour.empty()) return StatementResult::Continue;
  World& world = ctx.game.world;
  int32_t first = 0, second = 0;
  if (colour.find(',') != std::string::npos) {
    first = format::readColour(text::field(colour, ',', 0));
    second = format::readColour(text::field(colour, ',', 1));
  } else {
    first = second = format::readColour(colour);
  }
  world.playerColour = first;
  if (ObjectRecord* p = world.player) {
    p->colour1 = first;
    p->colour2 = second;
  }
  return StatementResult::Continue;
}

}  // namespace

void registerConditionStatements(StatementTable& table) {
  table.define("if", runIf);
  table.define("ifset", runIfSet);
  table.define("ifnotset", runIfNotSet);
  table.define("toggle", runToggle);
  table.define("call", runCall);
  table.define("you", runYou);
}

}  // namespace zor
