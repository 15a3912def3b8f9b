#include "game/script/title_statements.h"

#include "format/values.h"
// Up: titles read the session's counters and whether a speedrun runs.
#include "game/game.h"
#include "game/render/titles.h"
#include "game/script/interpreter.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace zor {

namespace {

TitleRecord newTitle(std::string tname) {
  TitleRecord t;
  t.tname = std::move(tname);
  t.centred = true;
  t.boxColour = -1;
  t.alpha = 1.0f;
  t.targetAlpha = 1.0f;
  t.alphaStep = 0.0f;
  return t;
}

// The title a statement sets: the first one of that name, else a new one put
// after the list's cursor. A name no title has walks the list first, so that
// its title goes last. Null when a new one is needed and the list is full.
TitleRecord* titleFor(CurrentList<TitleRecord>& titles, const std::string& tname) {
  if (!tname.empty()) {
    for (auto it = titles.begin(); it != titles.end(); ++it) {
      if (it->tname == tname) {
        titles.setCurrent(it);
        return &*it;
      }
    }
  }
  if (titles.size() >= kMaxTitles) return nullptr;
  if (!tname.empty() && !titles.empty()) titles.setCurrent(std::prev(titles.end()));
  return &titles.add(newTitle(tname));
}

StatementResult runTitle(StatementContext& ctx) {
  Game& game = ctx.game;
  ScriptState& script = game.script;
  const xml::Node& st = ctx.statement;

  TitleRecord* found = titleFor(script.titles, text::toLower(st.attr("tname")));
  if (found == nullptr) return StatementResult::Continue;
  TitleRecord& title = *found;

  for (const xml::Attribute& a : st.attributes) {
    const std::string name = text::toLower(a.name);
    const std::string& v = a.value;
    if (name == "text") {
      title.text = v;
    } else if (name == "x") {
      title.x = format::readFloat(v);
    } else if (name == "y") {
      if (!v.empty() && v[0] == '+') {
        title.y = script.lastTitleBottom + format::readFloat(std::string_view(v).substr(1));
      } else {
        title.y = format::readFloat(v);
      }
    } else if (name == "h") {
      title.h = format::readFloat(v);
    } else if (name == "color") {
      title.colour = format::readColour(v);
    } else if (name == "alpha") {
      applyTitleAlpha(title, v);
    }
  }

  const std::string& cen = st.attr("cen");
  if (!cen.empty()) title.centred = format::readInt(cen) != 0;

  title.text = substituteTitlePlaceholders(title.text, game.session.frameCounter, game.session.deaths,
                                           game.app.runNumber != 0);
  script.lastTitleBottom = title.y + title.h;
  layoutTitles(game, &title);
  return StatementResult::Continue;
}

StatementResult runClearTitles(StatementContext& ctx) {
  ctx.game.script.titles.clear();
  return StatementResult::Continue;
}

}  // namespace

void registerTitleStatements(StatementTable& table) {
  table.define("title", runTitle);
  table.define("cleartitles", runClearTitles);
}

}  // namespace zor
