// The measuring game file shared by the benchmarks: one zone of N blocks made
// like a real level of constant density (the zone is 15 units wide per block,
// so a zone of more blocks is longer, never denser), over three levels.
//
// Of the blocks, about: 30 % floors and platforms, 15 % scenery behind the
// levels, 10 % moving platforms, 12 % walls, 5 % colour-cycling blocks, 5 %
// dynamic crates, 4 % walkers of a class, 3 % spikes, 2 % bouncy blocks, 2 %
// checkpoints, 2 % light-up blocks and 10 % plain decorations (lamps, faces);
// 10 % of all blocks are named. One area per 50 blocks has an enter script,
// half of them naming a sub of the start script by id. The start script shows
// word boxes and titles. The order of the blocks in the file is shuffled, as a
// zone that grew in an editor lists them in no depth order.
//
// The text is the same for the same (blocks, seed): the numbers come from a
// fixed generator. Around the entrance (x = 0) there are no spikes, walkers or
// walls, so a still player stays alive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zor::bench {

// The id of the one zone of `levelGameFile`.
inline constexpr const char* kLevelZone = "level";

// A fixed sequence of numbers.
struct LevelRandom {
  uint32_t seed;
  int next(int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  }
};

inline std::string levelGameFile(int blocks, uint32_t seed = 2024) {
  LevelRandom r{seed};
  const int width = 15 * blocks;
  const int left = -width / 2;
  auto num = [](int v) { return std::to_string(v); };
  auto colour = [&] {
    static const char* const digits = "0123456789ABCDEF";
    std::string c;
    for (int i = 0; i < 6; ++i) c += digits[r.next(16)];
    return c;
  };
  // An x anywhere in the zone; `keepClear` keeps it out of the entrance's reach.
  auto anyX = [&](bool keepClear) {
    int x = left + r.next(width);
    if (keepClear && x > -400 && x < 400) x += x < 0 ? -800 : 800;
    return x;
  };
  auto level = [&](int l) { return " level=\"" + num(l) + "\""; };

  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(blocks));
  // Every block past the floors' tiling takes its kind from this table of
  // shares in hundredths.
  struct Share {
    int percent;
    int kind;
  };
  enum Kind { Platform, Scenery, Moving, Wall, Cycling, Crate, Walker, Spike, Bouncy, Checkpoint, Lightup, Decor };
  static constexpr Share shares[] = {{20, Platform}, {15, Scenery}, {10, Moving}, {12, Wall},
                                     {5, Cycling},   {5, Crate},    {4, Walker},  {3, Spike},
                                     {2, Bouncy},    {2, Checkpoint}, {2, Lightup}, {10, Decor}};
  auto nameOf = [&](int b) -> std::string {
    if (r.next(10) != 0) return "";
    return "oname=\"b" + num(b) + "\" ";
  };
  // Floors: 10 % of the blocks tile the ground of each level end to end.
  const int floorsPerLevel = blocks / 30 > 0 ? blocks / 30 : 1;
  const int floorWidth = (width + floorsPerLevel - 1) / floorsPerLevel;
  for (int l = 0; l < 3; ++l) {
    for (int k = 0; k < floorsPerLevel; ++k) {
      lines.push_back("<block " + nameOf(static_cast<int>(lines.size())) + "x=\"" + num(left + k * floorWidth) + "\" y=\"-40\" w=\"" + num(floorWidth) +
                      "\" h=\"40\"" + level(l) + " color=\"" + colour() + "\" flg=\"solid\"/>");
    }
  }
  for (int b = static_cast<int>(lines.size()); b < blocks; ++b) {
    int pick = r.next(90);
    int kind = Decor;
    for (const Share& s : shares) {
      if (pick < s.percent) {
        kind = s.kind;
        break;
      }
      pick -= s.percent;
    }
    const std::string name = nameOf(b);
    const std::string lv = level(r.next(3));
    switch (kind) {
      case Platform: {
        const int x = anyX(false);
        lines.push_back("<block " + name + "x=\"" + num(x) + "\" y=\"" + num(40 + r.next(500)) + "\" w=\"" +
                        num(30 + r.next(120)) + "\" h=\"" + num(10 + r.next(30)) + "\"" + lv + " color=\"" +
                        colour() + "\" flg=\"solid\"/>");
        break;
      }
      case Scenery: {
        const int x = anyX(false);
        lines.push_back("<block " + name + "x=\"" + num(x) + "\" y=\"" + num(r.next(800) - 100) + "\" z=\"" +
                        num(300 + r.next(1700)) + "\" w=\"" + num(100 + r.next(400)) + "\" h=\"" +
                        num(50 + r.next(300)) + "\" color=\"" + colour() + "\" flg=\"scenic" +
                        (r.next(2) ? ",noborder" : "") + "\"/>");
        break;
      }
      case Moving: {
        const int x = anyX(false);
        const int y = 60 + r.next(400);
        const bool across = r.next(3) != 0;
        const std::string lims = across ? "xlim=\"" + num(x) + "," + num(x + 100 + r.next(200)) + "\" ylim=\"" +
                                              num(y) + "\""
                                        : "xlim=\"" + num(x) + "\" ylim=\"" + num(y) + "," +
                                              num(y + 80 + r.next(160)) + "\"";
        lines.push_back("<block " + name + "x=\"" + num(x) + "\" y=\"" + num(y) + "\" w=\"" + num(50 + r.next(60)) +
                        "\" h=\"12\"" + lv + " color=\"" + colour() + "\" flg=\"solid,motion\" " + lims +
                        " freq=\"0." + num(1 + r.next(4)) + "\" phase=\"" + num(r.next(360)) + "\"/>");
        break;
      }
      case Wall:
        lines.push_back("<block " + name + "x=\"" + num(anyX(true)) + "\" y=\"0\" w=\"" + num(20 + r.next(30)) +
                        "\" h=\"" + num(80 + r.next(200)) + "\"" + lv + " color=\"" + colour() +
                        "\" flg=\"solid\"/>");
        break;
      case Cycling:
        lines.push_back("<block " + name + "x=\"" + num(anyX(false)) + "\" y=\"" + num(40 + r.next(500)) +
                        "\" w=\"" + num(30 + r.next(80)) + "\" h=\"" + num(10 + r.next(30)) + "\"" + lv +
                        " color=\"" + colour() + "," + colour() + "\" flg=\"solid,cyclic\" freq=\"0." +
                        num(2 + r.next(7)) + "\"/>");
        break;
      case Crate:
        lines.push_back("<block " + name + "x=\"" + num(anyX(false)) + "\" y=\"" + num(r.next(200)) +
                        "\" w=\"24\" h=\"24\"" + lv + " color=\"A07040\" flg=\"dynamic,solid\"/>");
        break;
      case Walker:
        lines.push_back("<block " + name + "class=\"walker\" x=\"" + num(anyX(true)) + "\" y=\"0\"" + lv + "/>");
        break;
      case Spike:
        lines.push_back("<block " + name + "x=\"" + num(anyX(true)) + "\" y=\"0\" w=\"" + num(20 + r.next(60)) +
                        "\" h=\"10\"" + lv + " color=\"E02020,FF8040\" flg=\"solid,deadly\"/>");
        break;
      case Bouncy:
        lines.push_back("<block " + name + "x=\"" + num(anyX(false)) + "\" y=\"" + num(r.next(300)) +
                        "\" w=\"40\" h=\"12\"" + lv + " color=\"40C0F0\" flg=\"solid,bouncy\"/>");
        break;
      case Checkpoint:
        lines.push_back("<block " + name + "x=\"" + num(anyX(true)) + "\" y=\"0\" w=\"20\" h=\"40\"" + lv +
                        " color=\"40A040,A0FFA0\" flg=\"checkpoint\"/>");
        break;
      case Lightup:
        lines.push_back("<block " + name + "x=\"" + num(anyX(false)) + "\" y=\"" + num(r.next(300)) +
                        "\" w=\"20\" h=\"20\"" + lv + " color=\"FFE040,FFFFFF\" flg=\"lightup\"/>");
        break;
      default:
        lines.push_back("<block " + name + "x=\"" + num(anyX(false)) + "\" y=\"" + num(r.next(200)) +
                        "\" w=\"12\" h=\"" + num(30 + r.next(40)) + "\"" + lv + " color=\"" + colour() +
                        "\" flg=\"" + (r.next(2) ? "noborder" : "hasface") + "\"/>");
        break;
    }
  }
  for (size_t i = lines.size(); i > 1; --i) {
    std::swap(lines[i - 1], lines[static_cast<size_t>(r.next(static_cast<int>(i)))]);
  }

  constexpr int kSubs = 8;
  std::string s;
  s.reserve(static_cast<size_t>(blocks) * 150 + 4096);
  s += "<zorlan version=\"1\" gtitle=\"Bench\">\n";
  s += "  <class name=\"walker\" acc=\"0.12,4\" speed=\"1.6\" cover=\"400\" eflags=\"jumping\" w=\"24\" h=\"20\""
       " color=\"C83838,FF9070\" flg=\"dynamic,solid,hasface\"/>\n";
  s += std::string("  <zone id=\"") + kLevelZone + "\" name=\"Bench level\" xlim=\"" + num(left - 500) + "," +
       num(left + width + 500) + "\" ylim=\"-500,3000\">\n";
  s += "    <levels><level z=\"0\" color=\"9EC8F0\" unlocked=\"1\"/><level z=\"100\" color=\"B4D8A8\"/>"
       "<level z=\"200\" color=\"E8C890\"/></levels>\n";
  s += "    <entrance x=\"0\" y=\"0\" level=\"0\"/>\n";
  s += "    <start>\n";
  s += "      <cleartitles/>\n";
  s += "      <title tname=\"zone\" text=\"THE LONG ROAD\" x=\"0.5\" y=\"0.04\" h=\"0.07\" color=\"FFFFFF\""
       " alpha=\"3,0,0.01\" cen=\"1\"/>\n";
  s += "      <title tname=\"hint\" text=\"PRESS JUMP\" x=\"0.5\" y=\"0.85\" h=\"0.05\" color=\"FFFFFF\" cen=\"1\"/>\n";
  for (int k = 0; k < 8; ++k) {
    s += "      <wordbox text=\"SIGN " + num(k) + "\" x=\"" + num(-600 + 150 * k) + "\" y=\"120\" z=\"" +
         num((k % 3) * 100 - 1) + "\" size=\"12\" color=\"203040\" back=\"F0F0E0\"/>\n";
  }
  for (int k = 0; k < kSubs; ++k) {
    s += "      <sub id=\"areasub" + num(k) + "\">\n";
    s += "        <title tname=\"hint\" text=\"PLACE " + num(k) + "\" x=\"0.5\" y=\"0.3\" h=\"0.04\""
         " color=\"FFD040\" alpha=\"3,0,0.02\" cen=\"1\"/>\n";
    s += "        <setzflags zflags=\"" + num(k) + "\"/>\n";
    s += "      </sub>\n";
  }
  s += "    </start>\n";
  for (const std::string& line : lines) s += "    " + line + "\n";
  const int areas = blocks / 50;
  for (int a = 0; a < areas; ++a) {
    const int x = anyX(true);
    s += "    <area xlim=\"" + num(x) + "," + num(x + 60 + r.next(100)) + "\" ylim=\"0,120\"" + level(r.next(3));
    if (a % 2 == 0) {
      s += "><enter times=\"1\" sub=\"areasub" + num(r.next(kSubs)) + "\"/></area>\n";
    } else {
      s += ">\n      <enter times=\"1\">\n"
           "        <title tname=\"hint\" text=\"AREA " + num(a) + "\" x=\"0.5\" y=\"0.25\" h=\"0.05\""
           " color=\"FFFFFF\" alpha=\"1\" cen=\"1\"/>\n"
           "        <wordbox text=\"Mind the gap\" x=\"" + num(x) + "\" y=\"80\" size=\"10\"/>\n"
           "      </enter>\n    </area>\n";
    }
  }
  s += "  </zone>\n</zorlan>\n";
  return s;
}

}  // namespace zor::bench
