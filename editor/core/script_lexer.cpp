#include "editor/core/script_lexer.h"

#include <map>
#include <utility>

#include "platform/xml.h"

namespace zor::editor {

namespace {

// Each element of the script vocabulary with the attributes it takes.
const std::map<std::string, std::string, std::less<>>& attributeMap() {
  static const std::map<std::string, std::string, std::less<>> map = [] {
    std::map<std::string, std::string, std::less<>> m;
    auto add = [&m](std::initializer_list<const char*> names, const char* attributes) {
      const std::string list = std::string(" ") + attributes + (attributes[0] ? " " : "");
      for (const char* n : names) m.emplace(n, list);
    };
    add({"flipcolor", "drop", "kill", "slay", "hide", "unhide", "swaplims", "unscript"}, "oname");
    add({"setflags", "unsetflags"}, "oname flg");
    add({"setgflags", "unsetgflags"}, "gflags");
    add({"setzflags", "unsetzflags"}, "zflags");
    add({"if"}, "entrance speedrun standing gsum zsum zint");
    add({"else", "on", "off", "cleartitles", "prompt", "killbeats", "savegame", "start"}, "");
    add({"ifset", "ifnotset"}, "and or zflag gflag");
    add({"toggle"}, "gflag zflag");
    add({"call", "killqueue"}, "sub");
    add({"beat"}, "bpm sub dels delb");
    add({"you", "pause"}, "color");
    add({"setcolor"}, "oname color");
    add({"setfreq"}, "oname fall freq");
    add({"setgrav"}, "oname grav");
    add({"setcount"}, "oname count");
    add({"cycle"}, "oname count freq x y");
    add({"minpos"}, "oname x y");
    add({"set"}, "entrance restart frozen nojumps oname trans zint quit credits timer");
    add({"setcheck"}, "oname restart");
    add({"effect"}, "oname type secs frames");
    add({"srt"}, "y");
    add({"screen"}, "flash hom gray invert shake swish bg halt fade static");
    add({"title"}, "tname text x y h color alpha cen");
    add({"lock", "unlock"}, "levels z");
    add({"setzone"}, "color level");
    add({"warp"}, "zone entrance silent smooth");
    add({"reloadzone"}, "entrance");
    add({"checkpoint"}, "x y level z");
    add({"music"}, "track vol fast");
    add({"sound"}, "num vol");
    add({"look"}, "oname dir at");
    add({"shift"}, "oname x y z abs");
    add({"move"}, "oname impulse xv yv x to jump leap");
    add({"freeze", "wait", "after"}, "frames secs");
    add({"adddeath"}, "num");
    add({"loop"}, "frames secs up");
    add({"camera"}, "zoom slow fast lookat lock");
    add({"endspeedrun"}, "level");
    add({"unlockspeedrun"}, "name");
    add({"wordbox"}, "text x y z size color back oname flg cen");
    add({"hidewb"}, "text state");
    add({"sub"}, "id");
    add({"death"}, "after sub");
    add({"standon", "enter", "exit", "action"}, "times sub");
    add({"die"}, "sub");
    add({"zorlan"}, "gtitle gauthor gversion gurl gdesc");
    add({"block"},
        "oname class x y w h z level color trans flg wave freq fall smp grav duty count phase xlim ylim priority "
        "persist");
    add({"explode"}, "num vel at x y z w h color trans grav priority");
    add({"class"},
        "name eflags acc brake speed asound hops cover x y w h z level color trans flg wave freq fall smp grav duty "
        "count phase xlim ylim priority persist");
    add({"area"}, "oname xlim ylim z level flg zoom color");
    add({"entrance"}, "x y level z");
    add({"speedrun"}, "name zone entrance gflags color level");
    return m;
  }();
  return map;
}

bool isLineBreak(char c) { return c == '\n' || c == '\r'; }

class Lexer {
 public:
  explicit Lexer(std::string_view bytes) : in_(bytes) {}

  std::vector<StyleRun> run() {
    while (pos_ < in_.size()) step();
    endToken();  // a name cut off by the end of the range
    return std::move(runs_);
  }

 private:
  enum State { Text = 1, ElementName = 2, Attributes = 3, Value = 4, InComment = 5 };

  bool startsHere(std::string_view s) const { return in_.substr(pos_, s.size()) == s; }

  // Styles the next n bytes (which follow everything styled so far).
  void style(std::size_t n, int s) {
    if (n == 0) return;
    if (!runs_.empty() && runs_.back().style == s) runs_.back().length += n;
    else runs_.push_back({styled_, n, s});
    styled_ += n;
  }

  // Ends a pending name at the current byte. Returns whether an element of the
  // vocabulary was found (for an element name).
  bool endToken() {
    const std::size_t n = pos_ - styled_;
    if (n == 0) return false;
    const std::string lower = xml::toLowerAscii(in_.substr(styled_, n));
    if (state_ == ElementName) {
      const std::string_view head = std::string_view(lower).substr(0, lower.find('_'));
      if (const std::string* list = scriptAttributesOf(head)) {
        style(n, scriptstyle::Element);
        attributes_ = *list;
        return true;
      }
      style(n, scriptstyle::Normal);
      return false;
    }
    if (state_ == Attributes) {
      const bool listed = attributes_.find(" " + lower + " ") != std::string::npos;
      style(n, listed ? scriptstyle::Attribute : scriptstyle::Normal);
      return false;
    }
    style(n, scriptstyle::Normal);
    return false;
  }

  void step() {
    const char c = in_[pos_];
    if (state_ != InComment && startsHere("<!--")) {
      endToken();
      style(4, scriptstyle::Comment);
      pos_ += 4;
      beforeComment_ = state_;
      state_ = InComment;
      return;
    }
    switch (state_) {
      case InComment:
        if (startsHere("-->")) {
          style(3, scriptstyle::Comment);
          pos_ += 3;
          state_ = beforeComment_;
        } else {
          style(1, scriptstyle::Comment);
          ++pos_;
        }
        return;
      case Text:
        style(1, scriptstyle::Normal);
        ++pos_;
        if (c == '<') state_ = ElementName;
        return;
      case ElementName: {
        const bool tokenEmpty = pos_ == styled_;
        if (c == '/' && tokenEmpty) {
          style(1, scriptstyle::Normal);
          ++pos_;
          return;
        }
        if (isIdentifierChar(c)) {
          ++pos_;
          return;
        }
        if (tokenEmpty) state_ = Text;
        else state_ = endToken() ? (c == '>' ? Text : Attributes) : Text;
        style(1, scriptstyle::Normal);
        ++pos_;
        if (isLineBreak(c)) state_ = Text;
        return;
      }
      case Attributes:
        if (isIdentifierChar(c)) {
          ++pos_;
          return;
        }
        endToken();
        if (c == '"' || c == '\'') {
          quote_ = c;
          valueStyle_ = valueStyleAt(pos_ + 1, c);
          style(1, valueStyle_);
          ++pos_;
          state_ = Value;
          return;
        }
        if (c == '>' || isLineBreak(c)) state_ = Text;
        style(1, scriptstyle::Normal);
        ++pos_;
        return;
      case Value:
        style(1, valueStyle_);
        ++pos_;
        if (c == quote_) state_ = Attributes;
        else if (isLineBreak(c)) state_ = Text;
        return;
    }
  }

  // The style of a value from `from` to the next same quote; a value not
  // closed within the range is an ordinary value.
  int valueStyleAt(std::size_t from, char quote) const {
    const std::size_t close = in_.find(quote, from);
    if (close == std::string_view::npos) return scriptstyle::Value;
    const std::string value = xml::toLowerAscii(in_.substr(from, close - from));
    if (value == "you") return scriptstyle::Special;
    if (value == "-") return scriptstyle::Inactive;
    return scriptstyle::Value;
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  std::size_t styled_ = 0;  // bytes styled so far; a pending name runs from here to pos_
  std::vector<StyleRun> runs_;
  State state_ = Text;
  State beforeComment_ = Text;
  char quote_ = '"';
  int valueStyle_ = scriptstyle::Value;
  std::string attributes_ = " ";
};

}  // namespace

const std::string* scriptAttributesOf(std::string_view lowerElementName) {
  const auto& map = attributeMap();
  const auto it = map.find(lowerElementName);
  return it == map.end() ? nullptr : &it->second;
}

bool isIdentifierChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::vector<StyleRun> styleScriptText(std::string_view bytes) { return Lexer(bytes).run(); }

}  // namespace zor::editor
