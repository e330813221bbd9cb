#include <gtest/gtest.h>

#include <cerrno>

#include "platform/system/Registry.h"
#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"

namespace {

using testing_support::ScopedEnv;
using testing_support::TempDir;

TEST(RegistryFile, LivesInTheConfigurationFolder) {
  TempDir dir;
  ScopedEnv config("XDG_CONFIG_HOME", dir.path().string());
  EXPECT_EQ(plat::RegistryFilePath(), dir.path().string() + "/velloran/registry.ini");
  ScopedEnv noConfig("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnv home("HOME", "/home/someone");
  EXPECT_EQ(plat::RegistryFilePath(), "/home/someone/.config/velloran/registry.ini");
}

TEST(RegistryFile, WritesAndReadsBackAwkwardBytes) {
  TempDir dir;
  ScopedEnv config("XDG_CONFIG_HOME", (dir / "deep/er").string());
  const std::string awkward = std::string("a=b [x]\\y\r\n\0z", 14) + "\xff";
  ASSERT_EQ(plat::RegistryWrite("HKEY_CURRENT_USER\\Soft=ware", "Na=me", 3, awkward), 0);
  ASSERT_EQ(plat::RegistryWrite("HKEY_CURRENT_USER\\Soft=ware", "", 1, "default"), 0);
  ASSERT_EQ(plat::RegistryWrite("hkey_current_user\\soft=ware", "na=me", 3, "replaced"), 0);
  int type = 0;
  std::string data;
  bool keyMissing = true;
  ASSERT_EQ(plat::RegistryRead("HKEY_CURRENT_USER\\Soft=ware", "Na=me", type, data, keyMissing), 0);
  EXPECT_EQ(data, "replaced");
  ASSERT_EQ(plat::RegistryWrite("HKEY_CURRENT_USER\\Soft=ware", "Na=me", 3, awkward), 0);
  ASSERT_EQ(plat::RegistryRead("HKEY_CURRENT_USER\\Soft=ware", "Na=me", type, data, keyMissing), 0);
  EXPECT_EQ(type, 3);
  EXPECT_EQ(data, awkward);
  ASSERT_EQ(plat::RegistryRead("HKEY_CURRENT_USER\\Soft=ware", "", type, data, keyMissing), 0);
  EXPECT_EQ(data, "default");
  EXPECT_EQ(plat::RegistryRead("HKEY_CURRENT_USER\\Soft=ware", "other", type, data, keyMissing),
            ENOENT);
  EXPECT_FALSE(keyMissing);
  EXPECT_EQ(plat::RegistryRead("HKEY_CURRENT_USER\\Other", "x", type, data, keyMissing), ENOENT);
  EXPECT_TRUE(keyMissing);
  // Only the registry file is left in the folder (no temporary files).
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "deep/er/velloran")) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1u);
}

TEST(RegistryFile, SkipsDamagedLines) {
  TempDir dir;
  ScopedEnv config("XDG_CONFIG_HOME", dir.path().string());
  std::filesystem::create_directories(dir / "velloran");
  testing_support::WriteFile(
      dir / "velloran/registry.ini",
      "orphan=1:x\r\n[HKEY_USERS\\K]\r\nnotype=abc\r\nbad=x1:y\r\ngood=4:\\x01\\x00\\x00\\x00\n");
  int type = 0;
  std::string data;
  bool keyMissing = true;
  EXPECT_EQ(plat::RegistryRead("HKEY_USERS\\K", "notype", type, data, keyMissing), ENOENT);
  EXPECT_EQ(plat::RegistryRead("HKEY_USERS\\K", "bad", type, data, keyMissing), ENOENT);
  ASSERT_EQ(plat::RegistryRead("HKEY_USERS\\K", "good", type, data, keyMissing), 0);
  EXPECT_EQ(type, 4);
  EXPECT_EQ(data, std::string("\x01\0\0\0", 4));
}

}  // namespace
