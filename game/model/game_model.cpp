#include "game/model/game_model.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "format/values.h"
#include "format/vocabulary.h"
#include "platform/text.h"

namespace zor {

namespace {

std::string removeBlanks(std::string_view s) {
  return text::removeAll(text::removeAll(s, " "), "\t");
}

void readClass(GameModel& data, const xml::Node& el) {
  const std::string name = text::toLower(text::trim(el.attr("name")));
  if (name.empty()) {
    data.errors.push_back(ModelError{el.line, "A class without a name is left out."});
    return;
  }
  ClassRecord& c = data.classes[name];
  c = ClassRecord{};
  c.node = &el;

  if (const std::string& v = el.attr("eflags"); !v.empty()) {
    c.eflags = static_cast<int32_t>(format::readClassFlags(v));
  }
  if (const std::string& v = el.attr("acc"); !v.empty()) {
    c.acc1 = format::readFloat(text::trim(text::field(v, ',', 0)));
    if (v.find(',') != std::string::npos) {
      c.acc2 = std::fabs(format::readFloat(text::trim(text::field(v, ',', 1))));
    }
  }
  float brake = 0.0f;
  if (const std::string& v = el.attr("brake"); !v.empty()) brake = format::readFloat(text::trim(v));
  if (const std::string& v = el.attr("speed"); !v.empty()) c.speed = format::readFloat(text::trim(v));
  if (const std::string& v = el.attr("asound"); !v.empty()) c.asound = format::readInt(text::trim(v));
  if (const std::string& v = el.attr("hops"); !v.empty()) {
    const int32_t hops = format::readInt(text::trim(v));
    c.hops = hops < 0 ? 0 : (hops > 100 ? 100 : hops);
  }
  if (const std::string& v = el.attr("cover"); !v.empty()) {
    c.cover = std::fabs(format::readFloat(text::trim(v)));
  }
  c.brake = deriveBrake(brake, c.acc1);
}

void readSpeedrun(GameModel& data, const xml::Node& el) {
  SpeedrunRecord r;
  r.name = text::toUpper(el.attr("name"));
  r.zone = text::toLower(el.attr("zone"));
  r.entrance = text::toLower(el.attr("entrance"));
  r.gflags = removeBlanks(el.attr("gflags"));
  if (const std::string& v = el.attr("color"); !v.empty()) r.colour = format::readColour(v);
  if (const std::string& v = el.attr("level"); !v.empty()) {
    const int64_t level = std::llabs(static_cast<int64_t>(format::readInt(v)));
    r.runNumber = level > INT32_MAX ? INT32_MAX : static_cast<int32_t>(level);
  }
  r.startScript = el.childByPath("start");
  data.speedruns.push_back(std::move(r));
}

// A `loadsounds` element: slot i of `nums` takes file i of `files` ("|"
// between them) and volume i of `vols`.
void readLoadSounds(GameModel& data, const xml::Node& el) {
  const std::string_view nums = el.attr("nums");
  if (nums.empty()) {
    data.errors.push_back(ModelError{el.line, "A 'loadsounds' element without 'nums' loads nothing."});
    return;
  }
  const std::vector<std::string> slots = text::split(nums, ',');
  const std::vector<std::string> files = text::split(text::replaceAll(el.attr("files"), "\\", "/"), '|');
  const std::vector<std::string> vols = text::split(el.attr("vols"), ',');
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const int32_t slot = format::readInt(slots[i]) % format::kSoundSlotCount;
    if (slot < 0) {
      data.errors.push_back(ModelError{el.line, "The sound slot '" + text::trim(slots[i]) +
                                                    "' does not exist; it is left out."});
      continue;
    }
    CustomSoundRecord r;
    r.line = el.line;
    r.slot = slot;
    if (i < files.size()) r.file = files[i];
    if (i < vols.size()) {
      const std::string v = text::trim(vols[i]);
      if (!v.empty()) {
        const int32_t n = format::readInt(v);
        r.volume = n < 0 ? 0 : (n > 100 ? 100 : n);
      }
    }
    data.loadSounds.push_back(std::move(r));
  }
}

}  // namespace

float deriveBrake(float brake, float acc1) {
  float derived = 1.0f / std::sqrt(std::fabs(acc1) + 1.0f);
  // A non-number acceleration derives nothing usable: take the default one's.
  if (!std::isfinite(derived)) derived = 1.0f / std::sqrt(0.1f + 1.0f);
  if (brake == 0.0f || std::isnan(brake)) return derived;
  float raised = brake;
  if (raised <= 1.0f) {
    // The value raised in whole steps of 1 until it is greater than 1.
    const float steps = std::floor(1.0f - raised);
    raised = raised + steps;
    raised = raised + 1.0f;
  }
  // -Infinity cannot be raised at all (it comes out as NaN): take the derived
  // factor rather than a non-number. +Infinity stays and gives 0.
  if (std::isnan(raised) || raised <= 0.0f) return derived;
  const float result = 1.0f / raised;
  if (!std::isfinite(result)) return derived;
  return result;
}

GameModel readGameModel(const xml::Node& root) {
  GameModel model;
  model.title = root.attr("gtitle");
  model.author = root.attr("gauthor");
  model.version = root.attr("gversion");
  model.url = root.attr("gurl");
  model.description = root.attr("gdesc");
  for (const xml::Node* el = root.firstChild; el != nullptr; el = el->next) {
    if (!el->isElement()) continue;
    const std::string name = xml::toLowerAscii(el->name);
    if (name == "class") {
      readClass(model, *el);
    } else if (name == "speedrun") {
      readSpeedrun(model, *el);
    } else if (name == "loadsounds") {
      readLoadSounds(model, *el);
    }
  }
  return model;
}

}  // namespace zor
