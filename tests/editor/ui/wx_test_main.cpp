// The main of the test programs that build real windows in process: skipped (77)
// without an X display that takes clients, or when wxWidgets cannot start.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>

#include "tests/editor/ui/x_display_hold.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (std::getenv("DISPLAY") == nullptr) {
    std::fprintf(stderr, "no X display: skipped\n");
    return 77;
  }
  if (!zor::testing::holdXDisplay(60)) {
    std::fprintf(stderr, "the X display takes no clients: skipped\n");
    return 77;
  }
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "wxWidgets could not start: skipped\n");
    return 77;
  }
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
