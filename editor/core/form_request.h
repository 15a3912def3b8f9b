// A modal form of labelled one-line fields (the zone and game dialogs): the
// core fills the texts and checks them; the desktop lays the form out at the
// given places, shows it and hands the texts back.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zor::editor {

namespace formfield {
inline constexpr int LowerCase = 1;  // typed letters become lower case
inline constexpr int Digits = 2;     // digits only
}  // namespace formfield

struct FormField {
  std::string label;
  std::string value;
  int y = 0;           // row top in the window
  int flags = 0;       // formfield bits
  bool browse = false; // a "..." button beside the field fills it
};

struct FormRequest {
  int window = 0;  // the fixed window that shows the form (4 zone, 5 game)
  std::string title;
  std::string heading;  // a line above the fields
  int width = 320;
  int height = 200;
  int labelX = 10;
  int labelWidth = 150;
  int fieldX = 160;
  int fieldWidth = 150;
  int buttonsY = 0;
  std::vector<FormField> fields;
  int focus = 0;
  // On OK: -1 when the texts pass (the form closes), else the field to focus;
  // the check shows its own warning.
  std::function<int(const std::vector<std::string>&)> check;
  // The "..." button of a field: true with a new text for it.
  std::function<bool(int, const std::string&, std::string*)> browse;
};

}  // namespace zor::editor
