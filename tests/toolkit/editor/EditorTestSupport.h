#pragma once
// An editor record over a real rich-text control in a headless top-level
// window, for the editor's tests.
#include <gtest/gtest.h>

#include "platform/controls/RichEdit.h"
#include "platform/dialog/MessageBox.h"
#include "platform/testing/Harness.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorRecord.h"

namespace tk::testing {

class EditorFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::RegisterControls());
    plat::RegisterWindowClass({"EditorHost",
                               [](plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
                                 return plat::DefWindowProc(h, m, w, l);
                               },
                               0, plat::kColourFace});
    host = plat::CreateWindow({.className = "EditorHost",
                               .title = "Editor",
                               .style = plat::kStyleVisible,
                               .rect = {0, 0, 500, 400}});
    rec.window = host;
    rec.textControl = plat::CreateWindow({.className = plat::kRichEditClass,
                                          .style = plat::kStyleChild | plat::kStyleVisible |
                                                   plat::kEsMultiline | plat::kEsAutoHScroll,
                                          .rect = {0, 0, 500, 400},
                                          .parent = host,
                                          .id = 1002});
    plat::RichEditSetLimit(rec.textControl, rec.textLimit);
    plat::ClearMessageBoxLog();
  }

  void Put(std::string_view text) {
    plat::RichEditStreamIn(rec.textControl, plat::RichStream::Plain, text, false);
    rec.positionCache.Clear();
  }
  std::string Text() const { return plat::RichEditGetTextRange(rec.textControl, 0, -1); }

  plat::testing::Harness harness{{800, 600}};
  plat::Hwnd host = plat::kNoWindow;
  EditorRecord rec;
};

/// The toolkit's windows with the controls and the buffer table, for tests
/// that make real editor windows.
class EditorWindowFixture : public ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    ASSERT_TRUE(plat::RegisterControls());
    EditorBuffersAllocate();
    plat::ClearMessageBoxLog();
  }
  void TearDown() override {
    ToolkitWindowTest::TearDown();
    EditorBuffersRelease();
  }
};

}  // namespace tk::testing
