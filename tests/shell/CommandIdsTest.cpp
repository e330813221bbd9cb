// The command identifiers the program's C++ code names must be the ones the
// resource command list gives under the same names, so that a renumbering in
// resources/data/commands.txt cannot leave a handler on a stale number.
#include <gtest/gtest.h>

#include <string_view>

#include "resources/ResourceFormat.h"
#include "shell/FileCommands.h"
#include "shell/TracePlotDialog.h"
#include "shell/Velloran.h"

namespace {

struct NamedId {
  int id;
  std::string_view name;  // the name in the command list
};

TEST(CommandIds, ConstantsMatchTheResourceCommandList) {
  const res::ResourceSet& set = res::ProgramResources();
  const NamedId cases[] = {
      {vel::kCommandOpen, "Open"},
      {vel::kCommandSaveAs, "SaveAs"},
      {vel::kCommandSave, "Save"},
      {vel::kCommandImport, "Import"},
      {vel::kCommandImportUserDefined, "ImportUserDefined"},
      {vel::kCommandImportNonCompliantSegy, "ImportNonCompliantSegy"},
      {vel::kCommandImportAscii, "ImportAscii"},
      {vel::kCommandProperties, "Properties"},
      {vel::kCommandExit, "Exit"},
      {vel::kExportButton, "ExportPopup"},
  };
  for (const NamedId& c : cases) {
    const res::CommandEntry* entry = set.FindCommand(c.id);
    ASSERT_NE(entry, nullptr) << c.name << " " << c.id;
    EXPECT_EQ(entry->name, c.name) << c.id;
  }
}

TEST(CommandIds, DispatchRangeHoldsEveryHandledCommand) {
  const res::ResourceSet& set = res::ProgramResources();
  int lowest = 0, highest = 0;
  for (const res::CommandEntry& c : set.commands) {
    if (c.use != res::CommandUse::Command && c.use != res::CommandUse::Button) continue;
    if (c.id < 40000) continue;  // toolbar-only buttons outside the menu numbering
    if (lowest == 0 || c.id < lowest) lowest = c.id;
    if (c.id > highest) highest = c.id;
  }
  EXPECT_EQ(vel::kFirstCommand, lowest);
  EXPECT_EQ(vel::kLastCommand, highest);
}

}  // namespace
