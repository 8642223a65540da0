// The resources table: lookup without regard to case, module order with the
// program's module first, and modules kept alive by a lookup in progress.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/resources.h"

namespace vaultrix::platform {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint8_t> bytes) {
  return bytes;
}

class ResourcesTableTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const auto& module : LoadedResourceModules()) RemoveResourceModule(module.get());
  }
};

TEST_F(ResourcesTableTest, FindIgnoresCaseOfTypeAndName) {
  ResourceModule module("m");
  module.Add("DABDUMP", "VLTRX001_RSC", Bytes({1, 2, 3}));
  module.Add("IMAGE", "KEY3_GIF", Bytes({4}));
  const std::vector<std::uint8_t>* found = module.Find("dabdump", "vltrx001_rsc");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(*found, Bytes({1, 2, 3}));
  EXPECT_EQ(module.Find("IMAGE", "VLTRX001_RSC"), nullptr) << "the type must match too";
  EXPECT_EQ(module.Find("DABDUMP", "VLTRX001_RS"), nullptr);
  module.Add("image", "key3_gif", Bytes({5}));
  EXPECT_EQ(*module.Find("IMAGE", "KEY3_GIF"), Bytes({5})) << "adding again replaces";
}

TEST_F(ResourcesTableTest, ProgramModuleComesFirstWhenEverItWasSet) {
  auto extra = std::make_shared<ResourceModule>("extra");
  auto more = std::make_shared<ResourceModule>("more");
  AddResourceModule(extra);
  AddResourceModule(more);
  const EmbeddedResource embedded[] = {
      {"ICON", "ADS_ICO", reinterpret_cast<const unsigned char*>("ab"), 2}};
  InstallProgramResources(embedded);
  std::vector<ResourceModulePtr> modules = LoadedResourceModules();
  ASSERT_EQ(modules.size(), 3u);
  EXPECT_EQ(modules[0]->name(), "vaultrix");
  EXPECT_EQ(*modules[0]->Find("icon", "ads_ico"), Bytes({'a', 'b'}));
  EXPECT_EQ(modules[1], extra);
  EXPECT_EQ(modules[2], more);

  RemoveResourceModule(extra.get());
  modules = LoadedResourceModules();
  ASSERT_EQ(modules.size(), 2u);
  EXPECT_EQ(modules[1], more);
  RemoveResourceModule(modules[0].get());
  EXPECT_EQ(LoadedResourceModules().size(), 1u);
}

TEST_F(ResourcesTableTest, SnapshotKeepsRemovedModulesAlive) {
  auto module = std::make_shared<ResourceModule>("gone");
  module->Add("DABDUMP", "X_RSC", Bytes({9}));
  AddResourceModule(module);
  std::weak_ptr<ResourceModule> watch = module;
  module.reset();
  std::vector<ResourceModulePtr> snapshot = LoadedResourceModules();
  RemoveResourceModule(snapshot[0].get());
  EXPECT_TRUE(LoadedResourceModules().empty());
  ASSERT_FALSE(watch.expired());
  EXPECT_EQ(*snapshot[0]->Find("DABDUMP", "X_RSC"), Bytes({9}));
  snapshot.clear();
  EXPECT_TRUE(watch.expired());
}

TEST(ResourceNames, CompareAsciiWithoutCase) {
  EXPECT_TRUE(SameResourceName("Vaultrix$VLTRX001", "VAULTRIX$vltrx001"));
  EXPECT_FALSE(SameResourceName("ABC", "ABCD"));
  EXPECT_FALSE(SameResourceName("A_B", "A.B"));
}

}  // namespace
}  // namespace vaultrix::platform
