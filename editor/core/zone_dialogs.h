// The zone and game dialogs: the zone chooser, Change Zone, New Zone and Zone
// Properties, the zone statistics, New Game and Game Properties. The forms are
// filled, checked and applied here; the desktop only shows them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/core/commands.h"
#include "editor/core/form_request.h"

namespace zor::editor {

struct Editor;

namespace zonefield {
enum { Id, Name, Persist, Notes, XLim, YLim, Track, Volume, Zoom, Gravity, Count };
}
namespace gamefield {
enum { Title, Author, Url, Version, Description, Count };
}

// A zone id the game's files can carry: "zone_" + id must be an element name
// that reads back as written, and the game's command line splits zone and
// entrance at the first ":". Plain letters, digits, "_", "-" and ".".
bool isValidZoneId(std::string_view id);

// The zone form filled from the open zone (or empty for a new zone). Filling
// never writes the document.
FormRequest zoneForm(const Editor& editor, bool isNew);
// The first failing check of the zone form's texts; empty message when they pass.
struct FormCheck {
  std::string message;
  int focus = -1;
};
FormCheck checkZoneFields(const Editor& editor, const std::vector<std::string>& values, bool isNew);
// Writes checked texts: a new zone is created and opened, an edited zone is changed.
void applyZoneFields(Editor& editor, const std::vector<std::string>& values, bool isNew);
// Returns 1 when the user confirmed and a zone was created or changed.
int editZoneProperties(Editor& editor, bool isNew);

FormRequest gameForm(const Editor& editor, bool isNew);
// Returns 1 when applied (0: the save question of a new game was cancelled).
int applyGameFields(Editor& editor, const std::vector<std::string>& values, bool isNew);
int editGameProperties(Editor& editor, bool isNew);

// 1 with the chosen zone in the dialog results, 0 without a game or on
// cancel, -1 when the game has no zone.
int chooseZone(Editor& editor, const std::string& title, const std::string& prompt, bool preselectOpen);
void openZoneCommand(Editor& editor);
// Opens a game the way Open, a recent file and a dropped file do (an empty
// path asks with the open requester); when it opened and has zones, the zone
// chooser follows after a short pause. True when the game was opened.
bool openGameThenChooseZone(Editor& editor, const std::string& path);
inline constexpr int kZoneChooserPauseMs = 100;
// The open zone's statistics text; shown in a box when `show` is set.
std::string showZoneInfo(Editor& editor, bool show);

// The zone and game commands of the menus; true when the command was one of them.
bool dispatchZoneDialogCommand(Editor& editor, Command command);

}  // namespace zor::editor
