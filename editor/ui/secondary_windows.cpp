#include "editor/ui/secondary_windows.h"

#include <iterator>

#include "editor/ui/fixed_dialogs.h"
#include "editor/ui/main_frame.h"
#include "editor/ui/script_editor_window.h"
#include "editor/ui/wx_port.h"

namespace zor::editor::ui {

std::string createSecondaryWindows(WxPort& port, MainFrame* frame, const UiFonts& fonts,
                                   const EditorPreferences& prefs) {
  auto* chooser = new ChooserDialog;
  if (!chooser->create(frame)) return "Chooser window could not be created!";
  port.windows.chooser = chooser;
  auto* input = new InputDialog;
  if (!input->create(frame)) return "Input window could not be created!";
  port.windows.input = input;
  auto* script = new ScriptEditorWindow;
  if (!script->create(frame, fonts.smallBold, prefs)) return "Script window could not be created!";
  port.windows.script = script;

  struct Fixed {
    const char* title;
    int w;
    int h;
    const char* failure;
  };
  FixedWindows& w = port.windows;
  wxDialog** slots[] = {&w.zoneProperties, &w.gameProperties, &w.soundEditor,
                        &w.gflagEditor,    &w.zflagEditor,    &w.cleanup};
  const Fixed fixed[] = {
      {"", 320, 315, "Zone properties window could not be created!"},
      {"", 320, 185, "Game properties window could not be created!"},
      {"Sound Editor", 490, 425, "Sound editor window could not be created!"},
      {"GFlag Editor", 360, 515, "GFlag editor window could not be created!"},
      {"ZFlag Editor", 360, 380, "ZFlag editor window could not be created!"},
      {"Game File Cleanup", 310, 420, "Cleanup window could not be created!"},
  };
  for (std::size_t i = 0; i < std::size(fixed); ++i) {
    auto* dialog = new wxDialog;
    if (!createFixedDialog(dialog, frame, fixed[i].title, fixed[i].w, fixed[i].h)) return fixed[i].failure;
    *slots[i] = dialog;
  }
  return "";
}

}  // namespace zor::editor::ui
