// Lays out a core form (labels, fields, "..." buttons, OK and Cancel) in one
// of the fixed dialogs and runs it modally.
#pragma once

#include <functional>

#include "editor/core/form_request.h"

class wxDialog;

namespace zor::editor::ui {

// True on OK after the form's check passed, with the values written back.
// F1 runs `help`.
bool runFormDialog(wxDialog* dialog, FormRequest& request, const std::function<void()>& help);

}  // namespace zor::editor::ui
