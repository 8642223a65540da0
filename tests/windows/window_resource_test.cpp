// Loading window descriptions back from the resources table: the lookup by
// module and structure name across modules, the typed view of the records,
// the binding of use variables in control order, and damaged resources.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "runtime/windows/description_finder.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_resource.h"
#include "tools/rescomp/compiler.h"

namespace vaultrix::windows {
namespace {

using platform::ResourceModule;

std::vector<std::uint8_t> Compile(const std::string& source) {
  rescomp::CompiledModule module;
  rescomp::SourceError error;
  EXPECT_TRUE(rescomp::CompileSource(source, &module, &error))
      << "line " << error.line << ": " << error.message;
  return module.bytes;
}

std::shared_ptr<ResourceModule> ModuleWith(const std::string& name,
                                           const std::vector<std::uint8_t>& bytes,
                                           const std::string& resource_name) {
  auto module = std::make_shared<ResourceModule>(name);
  module->Add("DABDUMP", resource_name, bytes);
  return module;
}

constexpr const char* kOptions = R"(
module "VAULTRIX$vltrx020"

window "SETUP$WINDOW"
  title "Options"
  at default default 180 120
  attributes 0x3006
  font "MS Sans Serif" 8
  status-bar -1
  check 1 "&Skip copy buttons"
    use byte
    at 8 8 120 10
  group 2 "Clipboard"
    check 3 "&Hide clipboard"
      use byte
    spin 4
      use long
      range 0 999
  spin 5
    use long
    at 8 80 40 10
  button 6 "OK"
)";

constexpr const char* kFrame = R"(
module "VAULTRIX$vltrx001"

window "MAIN$APPFRAME"
  title "Vaultrix"
  attributes 0x1820
  icon "ADS.ICO"
  status-bar -1 89
  menubar
    menu "&File"
      item -1 "&Passwords"
        status "Browse Passwords"
      separator
      menu -3 "&Print"
        item -4 "by Service"
      item -10 "E&xit"
        action 0x0F
    menu "&Window"
      action 1
  toolbar
    at 0 0 400 19
    button -21 "Passwords"
    image -26
      file "~key3.gif"
window "ABOUT$WINDOW"
  title "About"
)";

class WindowResourceTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const auto& module : platform::LoadedResourceModules()) {
      platform::RemoveResourceModule(module.get());
    }
  }
  void UseAsProgram(const char* source, const char* resource_name) {
    platform::SetProgramResources(ModuleWith("vaultrix", Compile(source), resource_name));
  }
};

TEST_F(WindowResourceTest, OpeningKeepsNamesAndAddressesAndReadsNothing) {
  std::uint8_t a = 0;
  std::int32_t b = 0;
  std::unique_ptr<WindowResource> window;
  OpenWindowResource(&window, WindowKind::kPlainWindow, "VAULTRIX$vltrx020", "SETUP$WINDOW",
                     {&a, &b, nullptr, &a});
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->kind(), WindowKind::kPlainWindow);
  EXPECT_EQ(window->module_name(), "VAULTRIX$vltrx020");
  EXPECT_EQ(window->structure_name(), "SETUP$WINDOW");
  EXPECT_EQ(window->use_addresses(), (std::vector<void*>{&a, &b})) << "the list ends at null";
  EXPECT_FALSE(window->loaded());
  EXPECT_EQ(window->Load(), ResourceStatus::kNotFound) << "no resources yet";

  UseAsProgram(kOptions, "VLTRX020_RSC");
  EXPECT_EQ(window->Load(), ResourceStatus::kOk);
  EXPECT_TRUE(window->loaded());
}

TEST_F(WindowResourceTest, UseVariablesBindInControlOrderDepthFirst) {
  UseAsProgram(kOptions, "VLTRX020_RSC");
  std::uint8_t skip = 0, hide = 0;
  std::int32_t seconds = 0, minutes = 0;
  std::unique_ptr<WindowResource> window;
  OpenWindowResource(&window, WindowKind::kMdiWindow, "VAULTRIX$vltrx020", "SETUP$WINDOW",
                     {&skip, &hide, &seconds, &minutes, nullptr});
  ASSERT_EQ(window->Load(), ResourceStatus::kOk);
  const WindowView& view = window->view();
  ASSERT_EQ(view.controls.size(), 6u);
  const std::vector<ControlView>& c = view.controls;
  EXPECT_EQ(c[0].number, 1);
  EXPECT_EQ(c[0].use_address, &skip);
  EXPECT_EQ(c[0].use.type, rsc::kUseByte);
  EXPECT_EQ(c[0].use.size, 1u);
  EXPECT_EQ(c[1].number, 2);
  EXPECT_FALSE(c[1].has_use);
  EXPECT_EQ(c[2].number, 3);
  EXPECT_EQ(c[2].parent, 1);
  EXPECT_EQ(c[2].use_address, &hide);
  EXPECT_EQ(c[3].number, 4);
  EXPECT_EQ(c[3].use_address, &seconds);
  EXPECT_EQ(c[3].use.type, rsc::kUseLong);
  EXPECT_EQ(c[3].high, 999.0);
  EXPECT_EQ(c[4].number, 5);
  EXPECT_EQ(c[4].parent, -1);
  EXPECT_EQ(c[4].use_address, &minutes);
  EXPECT_EQ(c[5].text, "OK");
  EXPECT_EQ(c[5].use_address, nullptr);
  EXPECT_EQ(view.bound_count, 4u);
}

TEST_F(WindowResourceTest, FewerAddressesLeaveTheRestUnbound) {
  UseAsProgram(kOptions, "VLTRX020_RSC");
  std::uint8_t skip = 0, hide = 0;
  std::unique_ptr<WindowResource> window;
  OpenWindowResource(&window, WindowKind::kPlainWindow, "VAULTRIX$vltrx020", "SETUP$WINDOW",
                     {&skip, &hide});
  ASSERT_EQ(window->Load(), ResourceStatus::kOk);
  const std::vector<ControlView>& c = window->view().controls;
  EXPECT_EQ(c[0].use_address, &skip);
  EXPECT_EQ(c[2].use_address, &hide);
  EXPECT_TRUE(c[3].has_use);
  EXPECT_EQ(c[3].use_address, nullptr);
  EXPECT_EQ(c[4].use_address, nullptr);
  EXPECT_EQ(window->view().bound_count, 2u);
}

TEST_F(WindowResourceTest, WindowAttributesComeBack) {
  UseAsProgram(kOptions, "VLTRX020_RSC");
  std::unique_ptr<WindowResource> window;
  OpenWindowResource(&window, WindowKind::kPlainWindow, "VAULTRIX$vltrx020", "setup$window");
  ASSERT_EQ(window->Load(), ResourceStatus::kOk) << "structure names compare without case";
  const WindowView& view = window->view();
  EXPECT_EQ(view.type, rsc::kWindow);
  EXPECT_EQ(view.name, "SETUP$WINDOW");
  EXPECT_EQ(view.title, "Options");
  EXPECT_TRUE(IsDefault(view.at.x));
  EXPECT_TRUE(IsDefault(view.at.y));
  EXPECT_EQ(view.at.width, 180);
  EXPECT_EQ(view.at.height, 120);
  EXPECT_EQ(view.attributes, 0x3006u);
  ASSERT_TRUE(view.has_font);
  EXPECT_EQ(view.font.face, "MS Sans Serif");
  EXPECT_EQ(view.font.points, 8u);
  EXPECT_TRUE(view.has_status_bar);
  EXPECT_EQ(view.status_widths, std::vector<std::int32_t>{-1}) << "(-1, 0): one zone";
  EXPECT_FALSE(view.has_menu_bar);
  EXPECT_FALSE(view.has_toolbar);
  EXPECT_FALSE(view.has_colours);
  EXPECT_EQ(window->description().buffer[0], 0);
}

TEST_F(WindowResourceTest, FrameWithoutControlsHasMenusToolbarAndStatusBar) {
  UseAsProgram(kFrame, "VLTRX001_RSC");
  std::unique_ptr<WindowResource> window;
  OpenWindowResource(&window, WindowKind::kApplication, "VAULTRIX$vltrx001", "MAIN$APPFRAME");
  ASSERT_EQ(window->Load(), ResourceStatus::kOk);
  const WindowView& view = window->view();
  EXPECT_TRUE(view.controls.empty());
  EXPECT_EQ(view.icon, "ADS.ICO");
  EXPECT_EQ(view.status_widths, (std::vector<std::int32_t>{-1, 89}));
  ASSERT_EQ(view.menu.size(), 7u);
  const std::vector<ControlView>& m = view.menu;
  EXPECT_EQ(m[0].type, rsc::kMenu);
  EXPECT_EQ(m[0].text, "&File");
  EXPECT_EQ(m[1].number, -1);
  EXPECT_EQ(m[1].status, "Browse Passwords");
  EXPECT_EQ(m[1].parent, 0);
  EXPECT_TRUE(m[2].separator);
  EXPECT_EQ(m[3].text, "&Print");
  EXPECT_EQ(m[4].text, "by Service");
  EXPECT_EQ(m[4].parent, 3);
  EXPECT_EQ(m[5].number, -10);
  EXPECT_EQ(m[5].action, rsc::kActionCloseFrame);
  EXPECT_EQ(m[5].parent, 0);
  EXPECT_EQ(m[6].text, "&Window");
  EXPECT_EQ(m[6].action, rsc::kActionWindowList);
  ASSERT_TRUE(view.has_toolbar);
  EXPECT_EQ(view.toolbar_at.width, 400);
  ASSERT_EQ(view.toolbar.size(), 2u);
  EXPECT_EQ(view.toolbar[0].number, -21);
  EXPECT_EQ(view.toolbar[1].image, "~key3.gif");
  EXPECT_TRUE(IsDefault(view.toolbar[0].at.x)) << "no position given";
}

TEST_F(WindowResourceTest, SecondStructureOfTheChainIsFound) {
  UseAsProgram(kFrame, "VLTRX001_RSC");
  LoadedDescription found;
  ASSERT_EQ(FindWindowDescription("VAULTRIX$vltrx001", "ABOUT$WINDOW", &found),
            ResourceStatus::kOk);
  EXPECT_EQ(found.module->name(), "vaultrix");
  EXPECT_EQ(FindWindowDescription("VAULTRIX$vltrx001", "NOSUCH$WINDOW", &found),
            ResourceStatus::kNotFound);
}

TEST_F(WindowResourceTest, ResourceOfAnotherModuleNameIsSkipped) {
  // The program holds a "VLTRX001_RSC" that belongs to another module name;
  // the second module holds the real one.
  std::string other = kFrame;
  other.replace(other.find("VAULTRIX$vltrx001"), 17, "OTHERAPP$vltrx001");
  other.replace(other.find("\"Vaultrix\""), 10, "\"Imposter\"");
  platform::SetProgramResources(ModuleWith("vaultrix", Compile(other), "VLTRX001_RSC"));
  platform::AddResourceModule(ModuleWith("extra", Compile(kFrame), "vltrx001_rsc"));
  std::unique_ptr<WindowResource> window;
  OpenWindowResource(&window, WindowKind::kApplication, "VAULTRIX$vltrx001", "MAIN$APPFRAME");
  ASSERT_EQ(window->Load(), ResourceStatus::kOk);
  EXPECT_EQ(window->view().title, "Vaultrix");
  EXPECT_EQ(window->description().module->name(), "extra");
}

TEST_F(WindowResourceTest, MissingStructureFallsThroughToTheNextModule) {
  UseAsProgram(kOptions, "VLTRX001_RSC");  // right name, wrong contents
  platform::AddResourceModule(ModuleWith("extra", Compile(kFrame), "VLTRX001_RSC"));
  std::unique_ptr<WindowResource> window;
  OpenWindowResource(&window, WindowKind::kPlainWindow, "VAULTRIX$vltrx001", "ABOUT$WINDOW");
  ASSERT_EQ(window->Load(), ResourceStatus::kOk);
  EXPECT_EQ(window->view().title, "About");
}

TEST_F(WindowResourceTest, ProgramModuleComesFirst) {
  std::string changed = kFrame;
  changed.replace(changed.find("\"About\""), 7, "\"First\"");
  platform::AddResourceModule(ModuleWith("extra", Compile(kFrame), "VLTRX001_RSC"));
  UseAsProgram(changed.c_str(), "VLTRX001_RSC");
  std::unique_ptr<WindowResource> window;
  OpenWindowResource(&window, WindowKind::kPlainWindow, "VAULTRIX$vltrx001", "ABOUT$WINDOW");
  ASSERT_EQ(window->Load(), ResourceStatus::kOk);
  EXPECT_EQ(window->view().title, "First");
}

TEST_F(WindowResourceTest, ModuleNameWithoutDollarIsTheStem) {
  EXPECT_EQ(DescriptionResourceName("VAULTRIX$vltrx001"), "vltrx001_RSC");
  EXPECT_EQ(DescriptionResourceName("s_impexp"), "s_impexp_RSC");
  platform::SetProgramResources(ModuleWith(
      "vaultrix", Compile("module \"s_impexp\"\nwindow \"PICTURE$WINDOW\"\n"), "S_IMPEXP_RSC"));
  LoadedDescription found;
  EXPECT_EQ(FindWindowDescription("s_impexp", "PICTURE$WINDOW", &found), ResourceStatus::kOk);
  EXPECT_EQ(FindWindowDescription("VAULTRIX$s_impexp", "PICTURE$WINDOW", &found),
            ResourceStatus::kNotFound)
      << "same resource, but the leading module name differs";
}

TEST_F(WindowResourceTest, ReportsComeBackWithTheirBands) {
  platform::SetProgramResources(ModuleWith("vaultrix", Compile(R"(
module "VAULTRIX$vltrx010"
report "PRINTP_:KEYSERVICE$REPORT"
  at 1000 1720 6000 7281
  band header
    font "Arial" 10 -1 700
    string "Passwords"
  band detail
    display
      use string 30
      picture "@s30"
window "PRINTP_:KEYSERVICE$PROGRESSWINDOW"
  attributes 0x2040
  progress 1
    use long
  button 2 "Cancel"
)"),
                                           "VLTRX010_RSC"));
  char service[30];
  std::int32_t percent = 0;
  std::unique_ptr<WindowResource> report;
  OpenWindowResource(&report, WindowKind::kReport, "VAULTRIX$vltrx010", "PRINTP_:KEYSERVICE$REPORT",
                     {service});
  ASSERT_EQ(report->Load(), ResourceStatus::kOk);
  const WindowView& view = report->view();
  EXPECT_EQ(view.type, rsc::kReport);
  EXPECT_EQ(view.at.height, 7281);
  ASSERT_EQ(view.bands.size(), 2u);
  EXPECT_EQ(view.bands[0].type, rsc::kHeaderBand);
  EXPECT_EQ(view.bands[0].font.weight, 700);
  EXPECT_EQ(view.bands[0].controls[0].text, "Passwords");
  EXPECT_EQ(view.bands[1].controls[0].use_address, service);

  std::unique_ptr<WindowResource> progress;
  OpenWindowResource(&progress, WindowKind::kPlainWindow, "VAULTRIX$vltrx010",
                     "PRINTP_:KEYSERVICE$PROGRESSWINDOW", {&percent});
  ASSERT_EQ(progress->Load(), ResourceStatus::kOk);
  EXPECT_EQ(progress->view().controls[0].high, 100.0);
  EXPECT_EQ(progress->view().controls[0].use_address, &percent);
}

// --- damaged descriptions -----------------------------------------------------

class DamagedDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = Compile(kOptions);
    body_ = std::strlen(reinterpret_cast<const char*>(bytes_.data())) + 1;
  }
  // The resource position of buffer offset `offset`.
  std::size_t At(std::uint32_t offset) const { return body_ + offset - rsc::kBodyOrigin; }
  std::uint32_t U32(std::uint32_t offset) const {
    std::uint32_t v;
    std::memcpy(&v, &bytes_[At(offset)], 4);
    return v;
  }
  void Put(std::uint32_t offset, std::uint32_t v) { std::memcpy(&bytes_[At(offset)], &v, 4); }
  std::uint32_t Window() const { return U32(rsc::kBodyOrigin); }
  std::uint32_t FirstControl() const { return U32(Window() + rsc::kWindowFirstControlAt); }

  ResourceStatus Load() {
    LoadedDescription found;
    ResourceStatus status = FindInResource(bytes_, "VAULTRIX$vltrx020", "SETUP$WINDOW", &found);
    if (status != ResourceStatus::kOk) return status;
    WindowView view;
    void* addresses[1] = {nullptr};
    return ReadWindowDescription(found.buffer, found.record, addresses, &view);
  }

  std::vector<std::uint8_t> bytes_;
  std::size_t body_ = 0;
};

TEST_F(DamagedDescriptionTest, UnknownKindIsTheInternalError) {
  bytes_[At(FirstControl())] = 0x7E;
  EXPECT_EQ(Load(), ResourceStatus::kUnknownKind);
  EXPECT_EQ(kUnknownKindError, "Internal error 01");
  EXPECT_EQ(kUnknownKindDetail, "CTLUSE");
}

TEST_F(DamagedDescriptionTest, LoopOfNextLinksIsDamage) {
  Put(FirstControl() + rsc::kNextAt, FirstControl());
  EXPECT_EQ(Load(), ResourceStatus::kDamaged);
}

TEST_F(DamagedDescriptionTest, StructureChainLoopIsDamage) {
  Put(Window() + rsc::kNextAt, Window());
  LoadedDescription found;
  EXPECT_EQ(FindInResource(bytes_, "VAULTRIX$vltrx020", "OTHER$WINDOW", &found),
            ResourceStatus::kDamaged);
}

TEST_F(DamagedDescriptionTest, OffsetsOutsideTheBufferAreDamage) {
  std::uint32_t end = static_cast<std::uint32_t>(bytes_.size() - body_ + rsc::kBodyOrigin);
  for (std::uint32_t field : {rsc::kWindowTitleAt, rsc::kWindowFontAt, rsc::kWindowStatusBarAt,
                              rsc::kWindowFirstControlAt, rsc::kDropAt}) {
    SetUp();
    Put(Window() + field, end);
    EXPECT_EQ(Load(), ResourceStatus::kDamaged) << "field " << field;
    SetUp();
    Put(Window() + field, 1);
    EXPECT_EQ(Load(), ResourceStatus::kDamaged) << "field " << field << " at offset 1";
  }
}

TEST_F(DamagedDescriptionTest, TextWithoutItsNulIsDamage) {
  // Point the title at the last byte of the resource and make it not NUL.
  std::uint32_t last = static_cast<std::uint32_t>(bytes_.size() - body_ + rsc::kBodyOrigin - 1);
  bytes_.back() = 'x';
  Put(Window() + rsc::kWindowTitleAt, last);
  EXPECT_EQ(Load(), ResourceStatus::kDamaged);
}

TEST_F(DamagedDescriptionTest, TruncatedResourcesNeverReadPastTheEnd) {
  std::vector<std::uint8_t> whole = bytes_;
  for (std::size_t size = 0; size < whole.size(); ++size) {
    bytes_.assign(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_NE(Load(), ResourceStatus::kOk) << "size " << size;
  }
}

TEST_F(DamagedDescriptionTest, ControlInTheWrongContainerIsDamage) {
  // Make the group's first child a tab, which only a sheet can hold.
  std::uint32_t group = U32(FirstControl() + rsc::kNextAt);
  std::uint32_t check = U32(group + 73);
  bytes_[At(check)] = rsc::kTab;
  EXPECT_EQ(Load(), ResourceStatus::kDamaged);
}

}  // namespace
}  // namespace vaultrix::windows
