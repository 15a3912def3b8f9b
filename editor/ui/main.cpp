// ZorlED, the level editor.
#include "editor/ui/editor_app.h"

wxIMPLEMENT_APP(zor::editor::ui::EditorApp);
