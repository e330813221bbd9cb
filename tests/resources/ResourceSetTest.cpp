// Loads every embedded resource file and checks the set as a whole.
#include <gtest/gtest.h>

#include <set>

#include "resources/ResourceFormat.h"
#include "resources/Resources.h"

namespace {

const res::ResourceSet& Loaded() {
  static res::ResourceSet set;
  static bool ok = [] {
    res::ResourceError error;
    bool loaded = res::LoadEmbeddedResources(set, error);
    EXPECT_TRUE(loaded) << error.Text();
    return loaded;
  }();
  (void)ok;
  return set;
}

TEST(ResourceSet, EveryFileReadsAndEveryReferenceResolves) {
  const res::ResourceSet& set = Loaded();
  for (const std::string& p : res::ValidateResourceSet(set)) ADD_FAILURE() << p;
}

}  // namespace
