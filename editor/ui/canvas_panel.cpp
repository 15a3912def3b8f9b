#include "editor/ui/canvas_panel.h"

#include <utility>

namespace zor::editor::ui {

namespace {

// Takes the dropped names at once; the caller opens them on a later turn of
// the event loop, never inside the desktop's drop callback.
class FileDrop : public wxFileDropTarget {
 public:
  explicit FileDrop(std::function<void(const std::string&)> onDrop) : onDrop_(std::move(onDrop)) {}
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
    std::string joined;
    for (const wxString& name : names) {
      if (!joined.empty()) joined += '\n';
      joined += name.utf8_string();
    }
    onDrop_(joined);
    return true;
  }

 private:
  std::function<void(const std::string&)> onDrop_;
};

}  // namespace

CanvasPanel::CanvasPanel(wxWindow* parent, std::function<void(const std::string&)> onDrop)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_NONE) {
  SetBackgroundColour(*wxWHITE);
  SetDropTarget(new FileDrop(std::move(onDrop)));
}

}  // namespace zor::editor::ui
