// The editor's side of a game file: load with its checks, read every zone into
// records, move every object, renumber level references and write the game
// back. Whatever the bytes, nothing may crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

#include "editor/core/editor.h"
#include "editor/core/silent_port.h"
#include "editor/core/zone_records.h"
#include "platform/files.h"

namespace {

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
  zor::editor::SilentPort port;
  zor::editor::Editor editor(port);
  // The fuzzer may end the process at any input: the scratch file never outlives one.
  struct Remove {
    ~Remove() { zor::files::deleteFile(scratchPath()); }
  } remove;
  if (!zor::editor::loadGameFileForEditing(editor, path)) return 0;
  for (std::size_t i = 0; i < editor.game.zones.size(); ++i) {
    if (!zor::editor::openZone(editor, editor.game.zones[i].node)) continue;
    // What the editor's own commands move: blocks, areas and entrances. Their
    // records stay while they move; a moving block's path previews are made
    // anew by each move, so none of those is held across one.
    std::vector<zor::editor::EditorObject*> records;
    for (const auto& o : editor.zone.objects) {
      if (o->kind >= zor::editor::kind::Block && o->kind <= zor::editor::kind::Entrance) records.push_back(o.get());
    }
    for (zor::editor::EditorObject* r : records) zor::editor::moveObject(editor, r, 2.5f, -1.0f);
    zor::editor::sortObjects(editor.zone);
    zor::editor::renumberLevelRefs(editor.zone.openZoneNode, static_cast<int>(i % 3), 1, 0);
  }
  zor::editor::writeGameFile(editor, path, false);
  return 0;
}
