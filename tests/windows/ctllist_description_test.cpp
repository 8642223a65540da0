// Lists built from the application's own compiled window descriptions: the
// format string stored in the list record comes back from the format
// property, and the rows that fit follow from the stored height.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "runtime/windows/ctllist.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_resource.h"
#include "tools/rescomp/compiler.h"

namespace vaultrix::windows {
namespace {

class ListDescriptionTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const auto& module : platform::LoadedResourceModules()) {
      platform::RemoveResourceModule(module.get());
    }
  }

  // Compiles resources/<file>.vwin as the program's resources and loads one
  // window of it.
  std::unique_ptr<WindowResource> Load(const std::string& file, const std::string& resource,
                                       const std::string& module, const std::string& structure) {
    std::ifstream in(std::string(VAULTRIX_SOURCE_DIR) + "/resources/" + file + ".vwin");
    std::stringstream source;
    source << in.rdbuf();
    rescomp::CompiledModule compiled;
    rescomp::SourceError error;
    EXPECT_TRUE(rescomp::CompileSource(source.str(), &compiled, &error)) << error.message;
    auto resources = std::make_shared<platform::ResourceModule>("vaultrix");
    resources->Add("DABDUMP", resource, compiled.bytes);
    platform::SetProgramResources(resources);
    std::unique_ptr<WindowResource> window;
    OpenWindowResource(&window, WindowKind::kMdiWindow, module, structure);
    EXPECT_EQ(window->Load(), ResourceStatus::kOk);
    return window;
  }

  static std::vector<const ControlView*> Lists(const WindowResource& window) {
    std::vector<const ControlView*> lists;
    for (const ControlView& control : window.view().controls) {
      if (control.type == rsc::kList) lists.push_back(&control);
    }
    return lists;
  }
};

TEST_F(ListDescriptionTest, PasswordBrowserList) {
  auto window =
      Load("vltrx003", "VLTRX003_RSC", "VAULTRIX$vltrx003", "BROWSEPASSWORDS$QUICKWINDOW");
  const auto lists = Lists(*window);
  ASSERT_EQ(lists.size(), 1u);
  ListControl list = ListControl::FromDescription(*lists[0]);
  EXPECT_EQ(list.format().columns.size(), 4u);
  EXPECT_EQ(list.GetProperty(kPropFormat, 0), std::string(lists[0]->format));
  EXPECT_EQ(list.VisibleRows(), 15);  // 128 dialog units less the header, 16-pixel rows
  TableListQueue queue(std::vector<std::vector<std::string>>{{"Bank", "bank.example", "joe", ""}});
  list.BindQueue(&queue);
  const ListPage page = list.ProducePage();
  ASSERT_EQ(page.header_lines.size(), 1u);
  EXPECT_EQ(page.header_lines[0].substr(0, 8), "Service ");
  ASSERT_EQ(page.rows.size(), 1u);
  EXPECT_EQ(page.rows[0].substr(0, 21), "Bank                \t");
}

TEST_F(ListDescriptionTest, ImportLists) {
  auto window = Load("vltrx013", "VLTRX013_RSC", "VAULTRIX$vltrx013", "IMPORT$WINDOW");
  const auto lists = Lists(*window);
  ASSERT_EQ(lists.size(), 2u);
  for (const ControlView* view : lists) {
    ListControl list = ListControl::FromDescription(*view);
    EXPECT_EQ(list.GetProperty(kPropFormat, 0), std::string(view->format));
    EXPECT_FALSE(list.Immediate());
  }
  ListControl targets = ListControl::FromDescription(*lists[1]);
  ASSERT_EQ(targets.format().columns.size(), 3u);
  EXPECT_EQ(targets.format().columns[1].header, "=");
  EXPECT_EQ(targets.format().columns[2].field, 2);
}

}  // namespace
}  // namespace vaultrix::windows
