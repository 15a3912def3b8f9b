// The large game file of the load benchmarks: 20,000 blocks over 8 zones.
#pragma once

#include <string>

namespace {

constexpr int kZones = 8;
constexpr int kBlocksPerZone = 2500;

const std::string& bigGameFile() {
  static const std::string text = [] {
    std::string s;
    s.reserve(4u << 20);
    s += "<zorlan version=\"1\" gtitle=\"Bench\">\n";
    s += "  <class name=\"walker\" acc=\"0.2,6\" speed=\"1.5\" eflags=\"jumping,approach\" w=\"20\""
         " h=\"20\" flg=\"dynamic,deadly,hasface\"/>\n";
    s += "  <speedrun name=\"Bench\" zone=\"zone0\"><start><title text=\"GO\"/></start></speedrun>\n";
    for (int z = 0; z < kZones; ++z) {
      const std::string id = "zone" + std::to_string(z);
      s += "  <zone id=\"" + id + "\" name=\"Zone " + std::to_string(z) +
           "\" xlim=\"-5000,5000\" ylim=\"-500,3000\">\n";
      s += "    <levels><level z=\"0\" color=\"9EC8F0\" unlocked=\"1\"/><level z=\"100\" "
           "color=\"A8E0A0\"/><level z=\"200\" color=\"E8C890\"/></levels>\n";
      s += "    <entrance x=\"0\" y=\"0\" level=\"0\"/>\n";
      s += "    <start><title tname=\"t\" text=\"" + id + "\" x=\"0.5\" y=\"0.1\" h=\"0.05\"/></start>\n";
      for (int b = 0; b < kBlocksPerZone; ++b) {
        const std::string x = std::to_string((b % 500) * 40 - 5000);
        const std::string y = std::to_string((b / 500) * 60);
        const std::string level = std::to_string(b % 3);
        switch (b % 5) {
          case 0:
            s += "    <block x=\"" + x + "\" y=\"" + y + "\" w=\"40\" h=\"20\" level=\"" + level +
                 "\" color=\"506070\" flg=\"solid\"/>\n";
            break;
          case 1:
            s += "    <block x=\"" + x + "\" y=\"" + y + "\" w=\"60\" h=\"12\" level=\"" + level +
                 "\" color=\"B0B0B0,FFFFFF\" flg=\"solid,cyclic,motion\" xlim=\"" + x + "," +
                 std::to_string((b % 500) * 40 - 4800) + "\" ylim=\"" + y + "\" freq=\"0.2\"/>\n";
            break;
          case 2:
            s += "    <block x=\"" + x + "\" y=\"" + y + "\" w=\"30\" h=\"10\" level=\"" + level +
                 "\" color=\"E02020\" flg=\"solid, deadly\" wave=\"square\" phase=\"90\"/>\n";
            break;
          case 3:
            s += "    <block oname=\"w" + std::to_string(b) + "\" class=\"walker\" x=\"" + x +
                 "\" y=\"" + y + "\" level=\"" + level + "\"/>\n";
            break;
          default:
            s += "    <block x=\"" + x + "\" y=\"" + y + "\" z=\"" + std::to_string(300 + b % 700) +
                 "\" w=\"120\" h=\"40\" color=\"FFFFFF\" flg=\"scenic,noborder\"/>\n";
            break;
        }
      }
      s += "    <area xlim=\"100,200\" ylim=\"0,100\" level=\"0\"><enter><warp zone=\"zone" +
           std::to_string((z + 1) % kZones) + "\"/></enter></area>\n";
      s += "  </zone>\n";
    }
    s += "</zorlan>\n";
    return s;
  }();
  return text;
}

}  // namespace
