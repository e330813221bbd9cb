// Loading and saving editor documents, the bookmark and the flags.
#include <sys/stat.h>

#include <filesystem>

#include "tests/TestSupport.h"
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/editor/EditorFiles.h"

namespace tk::testing {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;

class EditorFilesTest : public EditorFixture {
 protected:
  std::string Path(const std::string& name) { return (dir / name).string(); }
  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (const plat::MessageBoxRecord& r : plat::MessageBoxLog()) out.push_back(r.caption);
    return out;
  }
  testing_support::TempDir dir;
};

TEST_F(EditorFilesTest, PlainFilesLoadWithBlanksForNulsAndWithoutAFinalCtrlZ) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {std::string("a\0b\r\nc\x1A", 7), "a b\rc"},
      {"x\x1Ay\x1A\x1A", "x\x1Ay\x1A"},
      {"{\\rtf1 not rich}", "{\\rtf1 not rich}"},
      {"{\\r", "{\\r"},
      {"", ""},
  };
  for (const Case& c : cases) {
    WriteFile(dir / "doc.txt", c.bytes);
    rec.documentName = Path("doc.txt");
    ASSERT_EQ(EditorLoadFile(rec, false), 1);
    EXPECT_EQ(Text(), c.text);
    EXPECT_FALSE(plat::RichEditGetModify(rec.textControl));
    EXPECT_FALSE(plat::RichEditCanUndo(rec.textControl));
  }
  EXPECT_TRUE(Captions().empty());
}

TEST_F(EditorFilesTest, RtfNamesLoadAsRichTextOnlyInAFormattingEditor) {
  WriteFile(dir / "DOC.RTF", "{\\rtf1 plain {\\b bold}}");
  rec.documentName = Path("DOC.RTF");
  rec.formatting = true;
  ASSERT_EQ(EditorLoadFile(rec, false), 1);
  EXPECT_EQ(Text(), "plain bold");
  EXPECT_TRUE(plat::RichEditText(rec.textControl)->FormatAt(7).bold);
  rec.formatting = false;
  ASSERT_EQ(EditorLoadFile(rec, false), 1);
  EXPECT_EQ(Text(), "{\\rtf1 plain {\\b bold}}");
  EXPECT_TRUE(EditorIsRtfName("a.Rtf"));
  EXPECT_FALSE(EditorIsRtfName("rtf"));
  EXPECT_FALSE(EditorIsRtfName("a.rtfx"));
}

TEST_F(EditorFilesTest, MissingAndOversizedFilesAreRefusedWithTheirBoxes) {
  rec.documentName = Path("missing.txt");
  EXPECT_EQ(EditorLoadFile(rec, false), 0);
  rec.quietMissingFile = true;
  EXPECT_EQ(EditorLoadFile(rec, true), 0);
  // Longer than the text limit: refused, nothing loaded in part.
  Put("kept");
  rec.textLimit = 6;
  WriteFile(dir / "big.txt", "1234567");
  rec.documentName = Path("big.txt");
  EXPECT_EQ(EditorLoadFile(rec, false), 0);
  EXPECT_EQ(Text(), "kept");
  // Line ends count one character: seven bytes of six characters fit.
  WriteFile(dir / "fits.txt", "12345\r\n");
  rec.documentName = Path("fits.txt");
  EXPECT_EQ(EditorLoadFile(rec, false), 1);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Open Error", "Read Error"}));
  EXPECT_NE(plat::MessageBoxLog().back().text.find("not loaded"), std::string::npos);
}

TEST_F(EditorFilesTest, SavingWritesTheTextAndKeepsABackup) {
  WriteFile(dir / "notes.txt", "old");
  rec.documentName = Path("notes.txt");
  ASSERT_EQ(EditorLoadFile(rec, false), 1);
  Put("new\r\ntext");
  rec.keepBackup = true;
  ASSERT_EQ(EditorSaveFile(rec, false), 1);
  EXPECT_EQ(ReadFile(dir / "notes.txt"), "new\r\ntext");
  EXPECT_EQ(ReadFile(dir / "notes.txt.bak"), "old");
  EXPECT_FALSE(plat::RichEditGetModify(rec.textControl));
  // A rich document is written as RTF and reads back with its formats.
  rec.formatting = true;
  plat::RichEditStreamIn(rec.textControl, plat::RichStream::Rtf, "{\\rtf1 a{\\i b}}", false);
  rec.documentName = Path("r.rtf");
  ASSERT_EQ(EditorSaveFile(rec, false), 1);
  Put("");
  ASSERT_EQ(EditorLoadFile(rec, false), 1);
  EXPECT_EQ(Text(), "ab");
  EXPECT_TRUE(plat::RichEditText(rec.textControl)->FormatAt(1).italic);
  EditorReleaseFile(rec, 1);
  // Only the files themselves remain: no temporary file is left behind.
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 3);
}

TEST_F(EditorFilesTest, ReadOnlyTargetsAndFoldersAreRefusedAndLeftAlone) {
  WriteFile(dir / "locked.txt", "precious");
  fs::permissions(dir / "locked.txt", fs::perms::owner_read);
  rec.documentName = Path("locked.txt");
  Put("overwrite");
  plat::RichEditSetModify(rec.textControl, true);
  EXPECT_EQ(EditorSaveFile(rec, false), 0);
  EXPECT_EQ(ReadFile(dir / "locked.txt"), "precious");
  EXPECT_TRUE(plat::RichEditGetModify(rec.textControl));
  // A new name in a read-only folder.
  fs::create_directory(dir / "ro");
  WriteFile(dir / "ro/writable.txt", "before");
  fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  rec.documentName = Path("ro/new.txt");
  EXPECT_EQ(EditorSaveFile(rec, false), 0);
  EXPECT_FALSE(fs::exists(dir / "ro/new.txt"));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Open Error", "Open Error"}));
  // A writable file in that folder is written in place.
  rec.documentName = Path("ro/writable.txt");
  EXPECT_EQ(EditorSaveFile(rec, false), 1);
  EditorReleaseFile(rec, 1);
  EXPECT_EQ(ReadFile(dir / "ro/writable.txt"), "overwrite");
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "ro")) ++files;
  EXPECT_EQ(files, 1);
  fs::permissions(dir / "ro", fs::perms::owner_all);
}

TEST_F(EditorFilesTest, AReplacedFileKeepsItsPermissions) {
  WriteFile(dir / "p.txt", "x");
  fs::permissions(dir / "p.txt",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  std::string error;
  ASSERT_EQ(EditorWriteFile(Path("p.txt"), "y", false, error), EditorWriteResult::Written);
  EXPECT_EQ(fs::status(dir / "p.txt").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(ReadFile(dir / "p.txt"), "y");
}

TEST_F(EditorFilesTest, TextTypedBeforeTheBookmarkMovesIt) {
  Put("hello world");
  plat::RichEditSetSel(rec.textControl, 6, 6);
  EditorSetBookmark(rec);
  EXPECT_EQ(rec.bookmark[1], 6);
  // Three characters typed at the start.
  plat::RichEditSetSel(rec.textControl, 0, 0);
  plat::RichEditReplaceSel(rec.textControl, "abc", true);
  EditorBookmarkAfterChange(rec);
  EXPECT_EQ(rec.bookmark[1], 9);
  // Typed after it: it stays.
  plat::RichEditSetSel(rec.textControl, 12, 12);
  plat::RichEditReplaceSel(rec.textControl, "zz", true);
  EditorBookmarkAfterChange(rec);
  EXPECT_EQ(rec.bookmark[1], 9);
  EXPECT_EQ(rec.bookmarkLength[1], 16);
  // Loading removes it.
  WriteFile(dir / "f.txt", "x");
  rec.documentName = Path("f.txt");
  EditorLoadFile(rec, false);
  EXPECT_EQ(rec.bookmark[1], -1);
}

TEST_F(EditorFilesTest, FlagsDecodeIntoTheCommandsAllowed) {
  struct Case {
    std::uint32_t flags;
    bool newOk, open, save, saveAs, print;
  };
  const Case cases[] = {
      {0, true, true, true, true, true},
      {kEditorViewer, false, true, false, false, true},
      {kEditorNoNewOpen, false, false, true, true, true},
      {kEditorNoSave, true, true, false, false, true},
      {kEditorNoSaveAs | kEditorNoPrint, true, true, true, false, false},
  };
  for (const Case& c : cases) {
    EditorRecord r;
    EditorDecodeFlags(r, c.flags);
    EXPECT_EQ(r.allowNew, c.newOk) << c.flags;
    EXPECT_EQ(r.allowOpen, c.open) << c.flags;
    EXPECT_EQ(r.allowSave, c.save) << c.flags;
    EXPECT_EQ(r.allowSaveAs, c.saveAs) << c.flags;
    EXPECT_EQ(r.allowPrint, c.print) << c.flags;
  }
}

}  // namespace
}  // namespace tk::testing
