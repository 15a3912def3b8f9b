// The side panels' model: which panel the selection shows, the texts filled
// from the selected elements (or the current level), and the write-back of
// one field into every selected element. Filling never writes the document.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace zor::editor {

struct Editor;
struct EditorObject;

enum class PanelKind { None, Level, Block, Area, Entrance, Mixed };

namespace blockfield {
enum { Oname, X, Y, W, H, Z, Level, Color1, Color2, Trans, Pri, Persist, Class, XLim, YLim, Rate, Duty, Count, Phase, Grav,
       Wave, RateChoice, FieldCount };
}
namespace areafield {
enum { XLim, YLim, Oname, Z, Level, Color, Zoom, FieldCount };
}
namespace entrancefield {
enum { Name, X, Y, Z, Level, FieldCount };
}
namespace levelfield {
enum { Z, Color, FieldCount };
}

inline constexpr int kBlockFlagCount = 20;
extern const std::array<const char*, kBlockFlagCount> kFlagNames;
extern const std::array<const char*, kBlockFlagCount> kFlagKeywords;
inline constexpr int kWaveCount = 7;
extern const std::array<const char*, kWaveCount> kWaveKeywords;
extern const std::array<const char*, kWaveCount> kWaveNames;
extern const std::array<const char*, 3> kRateAttributes;
extern const std::array<const char*, 3> kRateCaptions;

struct PanelState {
  PanelKind kind = PanelKind::None;
  std::string title;
  std::string subtitle;
  std::vector<std::string> fields;  // by the kind's field numbers; Wave and RateChoice hold indexes as text
  std::array<bool, kBlockFlagCount> flags{};
  bool deadly = false;    // area
  bool unlocked = false;  // level
  int waveIndex = 0;
  int rateIndex = 0;
  // Bold script buttons: block StandOn, Die; area Enter, Exit, Action.
  std::array<bool, 3> scriptPresent{};
};

std::vector<EditorObject*> selectedRecords(const Editor& editor);
// The panel for the selection, filled from the single selected element (or
// empty for several), or from the current level when nothing is selected.
PanelState fillPanel(const Editor& editor);
// Focus Panel: the first field of the shown panel (block name, area X limits,
// entrance name, level z) selected and given the focus. False when no panel
// with fields is shown.
bool focusPanel(Editor& editor);

// The flag-list rule: k removed from the comma list f, and appended once when adding.
std::string flagListWith(const std::string& f, const std::string& k, bool add);

// Writes one field of the shown panel into every selected element (or the
// current level), re-reads what changed and marks the game modified.
void applyPanelField(Editor& editor, PanelState& panel, int field);
// The block flag box i set or cleared (several blocks: asked first). False when declined.
bool applyBlockFlag(Editor& editor, PanelState& panel, int index, bool checked);
void applyAreaDeadly(Editor& editor, PanelState& panel, bool checked);
void applyLevelUnlocked(Editor& editor, PanelState& panel, bool checked);
// Right click on a block colour swatch: the two colours exchange.
void swapBlockColours(Editor& editor, PanelState& panel);
// Left click on a colour swatch (level, area or block field): the colour
// requester on the field's colour; a chosen colour goes into the field and the
// selected elements (or the current level). False when nothing changed.
bool pickSwatchColour(Editor& editor, PanelState& panel, int field);
// The block panel's Persist "Z": the zone's persist tag into every selected block.
void takeZonePersist(Editor& editor, PanelState& panel);
// The block panel's Class "...": a class chosen for every selected block.
void chooseBlockClass(Editor& editor, PanelState& panel);
// 1 with the chosen oname in the dialog results, 0 when cancelled, -1 without named blocks.
int chooseNamedBlock(Editor& editor, const std::string& title, const std::string& prompt, bool preselect);
// The area panel's Oname "...": the areas take a named block's box.
void attachAreasToBlock(Editor& editor, PanelState& panel);
// The level panel's Delete; true when the level was deleted.
bool deleteCurrentLevel(Editor& editor);
// Enter with several objects selected: warns for names, else applies the field. True when applied.
bool applyFieldToSelection(Editor& editor, PanelState& panel, int field);
// Apply (Enter in the main window): with several objects selected the focused
// field of the shown panel (editor.panel) goes to all of them, with an undo
// step; otherwise, or with no panel field focused, the canvas takes the focus
// and is redrawn. True when a field was applied.
bool applyFocusedField(Editor& editor);

}  // namespace zor::editor
