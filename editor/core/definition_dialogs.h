// New Class and New Speedrun: a definition written as XML in the script
// window from a template, checked, and copied into the game.
#pragma once

#include <string>

#include "editor/core/commands.h"
#include "platform/xml.h"

namespace zor::editor {

struct Editor;

// Why a new definition may not join the game; empty when it may.
std::string checkNewClass(const Editor& editor, const xml::Node* element);
std::string checkNewSpeedrun(const Editor& editor, const xml::Node* element);

// Each returns 1 when a definition was added, 0 when cancelled.
int createClass(Editor& editor);
int createSpeedrun(Editor& editor);

// New Class and New Speedrun from the menus; true when the command was one of them.
bool dispatchDefinitionCommand(Editor& editor, Command command);

}  // namespace zor::editor
