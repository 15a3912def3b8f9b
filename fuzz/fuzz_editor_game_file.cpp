// The editor's side of a game file: load with its checks, read every zone into
// records, move every object, renumber level references and write the game
// back. Whatever the bytes, nothing may crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

#include "editor/core/editor.h"
#include "editor/core/zone_records.h"
#include "platform/files.h"

namespace {

class NullPort : public zor::editor::EditorPort {
 public:
  void setStatus(int, const std::string&) override {}
  void setTitle(const std::string&) override {}
  void messageBox(const std::string&, const std::string&, zor::editor::MessageIcon) override {}
  zor::editor::Answer ask(const std::string&, const std::string&, zor::editor::QuestionButtons) override {
    return zor::editor::Answer::No;
  }
  int runChooser(const zor::editor::ChooserRequest&) override { return -1; }
  bool promptForText(const std::string&, const std::string&, const std::string&, int, std::string*) override {
    return false;
  }
  zor::editor::FileChoice openFileRequester(const zor::editor::FileRequest&) override { return {}; }
  zor::editor::FileChoice saveFileRequester(const zor::editor::FileRequest&) override { return {}; }
  void setClipboardText(const std::string&) override {}
  std::string clipboardText() override { return ""; }
  void startTimer(int, int) override {}
  void stopTimer(int) override {}
  int startProcess(const std::vector<std::string>&, const std::string&, bool) override { return -1; }
  int64_t now() override { return 0; }
  void showMainWindow(bool) override {}
  void redrawCanvas() override {}
  void focusCanvas() override {}
  void refreshPanel() override {}
  void setRecentFiles(const std::vector<std::string>&) override {}
  void endProgram(int) override {}
};

const std::string& scratchPath() {
  // In memory where the system offers it: every input is written and flushed.
  static const std::string folder = zor::files::isFolder("/dev/shm") ? "/dev/shm/" : "/tmp/";
  static const std::string path = folder + "zor-fuzz-editor-" + std::to_string(::getpid()) + ".zorlan";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = scratchPath();
  if (!zor::files::writeFileAtomic(path, std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  NullPort port;
  zor::editor::Editor editor(port);
  // The fuzzer may end the process at any input: the scratch file never outlives one.
  struct Remove {
    ~Remove() { zor::files::deleteFile(scratchPath()); }
  } remove;
  if (!zor::editor::loadGameFileForEditing(editor, path)) return 0;
  for (std::size_t i = 0; i < editor.game.zones.size(); ++i) {
    if (!zor::editor::openZone(editor, editor.game.zones[i].node)) continue;
    std::vector<zor::editor::EditorObject*> records;
    for (const auto& o : editor.zone.objects) records.push_back(o.get());
    for (zor::editor::EditorObject* r : records) {
      if (r->kind <= zor::editor::kind::Entrance) zor::editor::moveObject(editor, r, 2.5f, -1.0f);
    }
    zor::editor::sortObjects(editor.zone);
    zor::editor::renumberLevelRefs(editor.zone.openZoneNode, static_cast<int>(i % 3), 1, 0);
  }
  zor::editor::writeGameFile(editor, path, false);
  return 0;
}
