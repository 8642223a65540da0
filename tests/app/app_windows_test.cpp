// The application's own window descriptions, as the build embeds them in the
// program: each loads, and carries the captions, menus, toolbar, controls and
// numbers that its procedure relies on.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/resources.h"
#include "runtime/windows/ctllist.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_resource.h"
#include "tools/rescomp/compiler.h"

namespace vaultrix::windows {
namespace {

std::unique_ptr<WindowResource> Load(WindowKind kind, const char* module, const char* structure,
                                     std::initializer_list<void*> uses = {}) {
  std::unique_ptr<WindowResource> window;
  OpenWindowResource(&window, kind, module, structure, uses);
  EXPECT_EQ(window->Load(), ResourceStatus::kOk) << structure;
  return window;
}

// Numbered records by number.
std::map<std::int32_t, const ControlView*> ByNumber(const std::vector<ControlView>& records) {
  std::map<std::int32_t, const ControlView*> numbered;
  for (const ControlView& c : records) {
    if (c.numbered()) {
      EXPECT_TRUE(numbered.emplace(c.number, &c).second) << c.number;
    }
  }
  return numbered;
}

TEST(ApplicationWindows, ProgramModuleHoldsTheDescriptions) {
  std::vector<platform::ResourceModulePtr> modules = platform::LoadedResourceModules();
  ASSERT_FALSE(modules.empty());
  EXPECT_NE(modules[0]->Find("DABDUMP", "VLTRX001_RSC"), nullptr);
  EXPECT_NE(modules[0]->Find("DABDUMP", "VLTRX003_RSC"), nullptr);
}

TEST(ApplicationWindows, FrameMenusToolbarAndStatusBar) {
  auto frame = Load(WindowKind::kApplication, "VAULTRIX$vltrx001", "MAIN$APPFRAME");
  const WindowView& v = frame->view();
  EXPECT_EQ(v.title, "Vaultrix");
  EXPECT_EQ(v.icon, "ADS.ICO");
  EXPECT_EQ(v.font.face, "MS Sans Serif");
  EXPECT_EQ(v.font.points, 8u);
  EXPECT_EQ(v.attributes, 0x1820u);
  EXPECT_GE(v.timer, 1u);
  EXPECT_LE(v.timer, 100u);
  EXPECT_TRUE(v.controls.empty());
  ASSERT_GE(v.status_widths.size(), 4u) << "the frame writes zones 2, 3 and 4";
  EXPECT_EQ(v.status_widths[0], -1);

  std::vector<std::string> menus;
  for (const ControlView& m : v.menu) {
    if (m.parent == -1) menus.emplace_back(m.text);
  }
  EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&Edit", "&Window", "&Help"}));

  auto items = ByNumber(v.menu);
  ASSERT_EQ(items.size(), 20u);
  EXPECT_EQ(items.begin()->first, -20);
  EXPECT_EQ(items.rbegin()->first, -1);
  struct Expected {
    std::int32_t number;
    const char* text;
    const char* status;
  };
  const Expected expected[] = {
      {-1, "&Passwords", "Browse Passwords"},
      {-2, "&User Setup", "Browse Users"},
      {-3, "&Print", ""},
      {-4, "by Service", "Print ordered by Service"},
      {-5, "by URL", "Print ordered by URL"},
      {-6, "by Name", "Print ordered by Name"},
      {-7, "Print &Setup ...", "Setup printer"},
      {-8, "&Import", nullptr},
      {-9, "&Export", nullptr},
      {-10, "E&xit", "Exit this application"},
      {-11, "Cu&t", "Remove item to Windows Clipboard"},
      {-12, "&Copy", "Copy item to Windows Clipboard"},
      {-13, "&Paste", "Paste contents of Windows Clipboard"},
      {-14, "Filter Clipboard Contents", "Remove excess spaces and non-alphanumeric characters"},
      {-15, "O&ptions", nullptr},
      {-16, "T&ile", "Make all open windows visible"},
      {-17, "&Cascade", "Stack all open windows"},
      {-18, "&Arrange Icons", "Align all window icons"},
      {-19, "&Contents", "View the contents of the help file"},
      {-20, "&Tips", "Tips and Information About this Program"},
  };
  for (const Expected& e : expected) {
    const ControlView* item = items[e.number];
    ASSERT_NE(item, nullptr) << e.number;
    EXPECT_EQ(item->text, e.text) << e.number;
    if (e.status) {
      EXPECT_EQ(item->status, e.status) << e.number;
    }
  }
  EXPECT_EQ(items[-3]->type, rsc::kMenu) << "Print is a submenu";
  for (int n : {-4, -5, -6}) EXPECT_EQ(v.menu[items[n]->parent].number, -3);
  EXPECT_EQ(items[-7]->action, rsc::kActionPrintSetup);
  EXPECT_EQ(items[-10]->action, rsc::kActionCloseFrame);
  for (const ControlView& m : v.menu) {
    if (m.text == "&Window") {
      EXPECT_EQ(m.action, rsc::kActionWindowList);
    }
  }

  // Separators after User Setup, the Print submenu, Export, Paste, Filter
  // Clipboard Contents and Contents.
  std::vector<std::int32_t> before_separator;
  for (std::size_t i = 1; i < v.menu.size(); ++i) {
    if (!v.menu[i].separator) continue;
    std::size_t j = i - 1;
    while (v.menu[j].parent != v.menu[i].parent) j = static_cast<std::size_t>(v.menu[j].parent);
    before_separator.push_back(v.menu[j].number);
  }
  EXPECT_EQ(before_separator, (std::vector<std::int32_t>{-2, -3, -9, -13, -14, -19}));

  ASSERT_TRUE(v.has_toolbar);
  auto tools = ByNumber(v.toolbar);
  ASSERT_EQ(tools.size(), 8u);
  EXPECT_EQ(tools[-21]->text, "Passwords");
  EXPECT_EQ(tools[-22]->text, "Users");
  EXPECT_EQ(tools[-23]->text, "User #1");
  EXPECT_EQ(tools[-24]->text, "User #2");
  EXPECT_EQ(tools[-25]->text, "User #3");
  for (int n : {-26, -27, -28}) EXPECT_EQ(tools[n]->type, rsc::kImage) << n;
  EXPECT_EQ(tools[-28]->image, "~key3.gif");
}

TEST(ApplicationWindows, PasswordBrowserControlsOneToSeventeen) {
  char clipboard[90];
  auto browser =
      Load(WindowKind::kMdiWindow, "VAULTRIX$vltrx003", "BROWSEPASSWORDS$QUICKWINDOW", {clipboard});
  const WindowView& v = browser->view();
  EXPECT_EQ(v.title, "Passwords");
  EXPECT_EQ(v.attributes, 0x3004u);
  auto c = ByNumber(v.controls);
  ASSERT_EQ(c.size(), 17u);
  EXPECT_EQ(c.begin()->first, 1);
  EXPECT_EQ(c.rbegin()->first, 17);

  EXPECT_EQ(c[1]->type, rsc::kList);
  EXPECT_EQ(c[1]->format,
            "80L(2)|M~Service~@s30@80L(2)|M~URL~@s90@80L(2)|M~Name~@s30@80L(2)|M~Notes~@s255@");
  EXPECT_EQ(c[2]->type, rsc::kSheet);
  std::vector<std::string> tabs;
  for (const ControlView& control : v.controls) {
    if (control.type == rsc::kTab && v.controls[control.parent].number == 2) {
      tabs.emplace_back(control.text);
    }
  }
  EXPECT_EQ(tabs, (std::vector<std::string>{"Ser&vice", "U&RL", "N&ame"}));
  const std::map<int, std::string> buttons = {{3, "Password &List for Different User"},
                                              {4, "&Insert"},
                                              {5, "&Change"},
                                              {6, "&Delete"},
                                              {7, "Cl&ose"},
                                              {9, "&Name"},
                                              {10, "&Password"},
                                              {11, "&URL"},
                                              {12, "No&tes"},
                                              {13, "&More Notes"},
                                              {14, "&Service"}};
  for (const auto& [number, text] : buttons) {
    EXPECT_EQ(c[number]->type, rsc::kButton) << number;
    EXPECT_EQ(c[number]->text, text) << number;
  }
  EXPECT_EQ(c[8]->type, rsc::kGroup);
  EXPECT_EQ(c[8]->text, "Copy Into Clipboard");
  for (int n = 9; n <= 14; ++n) EXPECT_EQ(v.controls[c[n]->parent].number, 8) << n;
  EXPECT_EQ(c[9]->tip, "Copy Name onto Clipboard");
  EXPECT_EQ(c[15]->type, rsc::kString);
  EXPECT_TRUE(c[15]->text.ends_with("For more information, select HELP then TIPS"));
  EXPECT_EQ(c[16]->type, rsc::kEntry);
  EXPECT_EQ(c[16]->picture, "@s90");
  EXPECT_EQ(c[16]->use.type, rsc::kUseString);
  EXPECT_EQ(c[16]->use.size, 90u);
  EXPECT_EQ(c[16]->use_address, clipboard);
  EXPECT_EQ(c[17]->type, rsc::kPrompt);
  EXPECT_EQ(c[17]->text, "Clipboard Contents:");
  EXPECT_EQ(v.bound_count, 1u);
}

// The texts of a window's numbered controls, by number.
std::map<std::int32_t, std::string> Texts(const WindowView& view) {
  std::map<std::int32_t, std::string> texts;
  for (const ControlView& c : view.controls) {
    if (c.numbered()) texts[c.number] = std::string(c.text);
  }
  return texts;
}

TEST(ApplicationWindows, UserWindows) {
  auto browse = Load(WindowKind::kMdiWindow, "VAULTRIX$vltrx002", "BROWSEUSERS$QUICKWINDOW");
  EXPECT_EQ(browse->view().title, "Users");
  EXPECT_EQ(browse->view().icon, "WINPYR.ICO");
  EXPECT_EQ(browse->view().attributes, 0x3004u);
  EXPECT_EQ(browse->view().controls[0].format, "80L(2)|M~Name~@s30@");
  auto texts = Texts(browse->view());
  EXPECT_EQ(texts[2], "&Insert");
  EXPECT_EQ(texts[3], "&Change");
  EXPECT_EQ(texts[4], "&Delete");
  EXPECT_EQ(texts[5], "Cl&ose");

  char name[30], password[25], confirm[25];
  auto form = Load(WindowKind::kMdiWindow, "VAULTRIX$vltrx004", "UPDATEUSERS$QUICKWINDOW",
                   {name, password, confirm});
  const WindowView& f = form->view();
  EXPECT_EQ(f.title, "Update User Information");
  EXPECT_EQ(f.attributes, 0x3006u);
  texts = Texts(f);
  EXPECT_EQ(texts[2], "General");
  EXPECT_EQ(texts[3], "&Name:");
  EXPECT_EQ(texts[5], "&Password:");
  EXPECT_EQ(texts[7], "Confirm Password:");
  EXPECT_EQ(texts[9] + " " + texts[10] + " " + texts[11],
            "Tip:  If you enter a password of 'Not Required', you will not "
            "have to enter the password each time you access this user's password list.");
  EXPECT_EQ(texts[12], "&OK");
  EXPECT_EQ(texts[13], "Cancel");
  auto c = ByNumber(f.controls);
  EXPECT_EQ(c[4]->use_address, name);
  EXPECT_EQ(c[4]->picture, "@s30");
  EXPECT_EQ(c[4]->tip, "Login Name");
  EXPECT_EQ(c[6]->use_address, password);
  EXPECT_EQ(c[6]->use.size, 25u) << "the field holds 25";
  EXPECT_EQ(c[6]->picture, "@s20") << "the entry takes 20";
  EXPECT_EQ(c[6]->tip, "Login Password");
  EXPECT_EQ(c[8]->use_address, confirm);

  auto select = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx005", "SELECTUSERS$QUICKWINDOW");
  EXPECT_EQ(select->view().title, "Select User");
  texts = Texts(select->view());
  EXPECT_EQ(texts[2], "&Select");
  EXPECT_EQ(texts[3], "Cancel");

  char typed[25];
  auto check =
      Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx006", "CONFIRMPASSWORD$WINDOW", {typed});
  EXPECT_EQ(check->view().title, "Security Check");
  EXPECT_EQ(check->view().attributes, 0x2000u);
  texts = Texts(check->view());
  EXPECT_EQ(texts[1], "Confirm Password:");
  EXPECT_EQ(texts[3], "OK");
  EXPECT_EQ(texts[4], "Cancel");
  EXPECT_EQ(ByNumber(check->view().controls)[2]->use_address, typed);
  EXPECT_EQ(ByNumber(check->view().controls)[2]->picture, "@s20");
}

TEST(ApplicationWindows, OptionsTakeTwoByteFlagsThenTwoLongs) {
  std::uint8_t skip = 0, hide = 0;
  std::int32_t seconds = 0, minutes = 0;
  auto setup = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx019", "SETUP$WINDOW",
                    {&skip, &hide, &seconds, &minutes});
  const WindowView& v = setup->view();
  EXPECT_EQ(v.title, "Vaultrix Options");
  EXPECT_EQ(v.icon, "ADS.ICO");
  auto c = ByNumber(v.controls);
  EXPECT_EQ(c[1]->type, rsc::kCheck);
  EXPECT_EQ(c[1]->text, "Skip Copy/Paste Buttons when tabbing through password form");
  EXPECT_EQ(c[1]->tip, "Copy/paste buttons in tab sequence?");
  EXPECT_EQ(c[1]->use_address, &skip);
  EXPECT_EQ(c[2]->text, "Hide Clipboard Contents");
  EXPECT_EQ(c[2]->tip, "Hide clipboard display on passwords windows");
  EXPECT_EQ(c[2]->use_address, &hide);
  EXPECT_EQ(c[3]->text, "Clear clipboard contents after how many seconds:");
  EXPECT_EQ(c[4]->type, rsc::kEntry);
  EXPECT_EQ(c[4]->use.type, rsc::kUseLong);
  EXPECT_EQ(c[4]->picture, "@n4");
  EXPECT_EQ(c[4]->tip, "Enter # of seconds or 0 to disable");
  EXPECT_EQ(c[4]->use_address, &seconds);
  EXPECT_EQ(c[5]->text, "Close after how many minutes of inactivity:");
  EXPECT_EQ(c[6]->type, rsc::kEntry) << "an entry, so that a typed value is accepted through its picture";
  EXPECT_EQ(c[6]->picture, "@n-13");
  EXPECT_EQ(c[6]->tip, "Enter # of minutes or 0 to disable");
  EXPECT_EQ(c[6]->use_address, &minutes);
  EXPECT_EQ(c[7]->text, "&Ok");
  EXPECT_EQ(c[8]->text, "Cancel");

  auto countdown = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx020", "COUNTDOWN$WINDOW");
  EXPECT_EQ(countdown->view().title, "Automatic Close Down");
  EXPECT_EQ(countdown->view().icon, "ADS.ICO");
  EXPECT_NE(countdown->view().timer, 0u);
  auto texts = Texts(countdown->view());
  EXPECT_EQ(texts[1], "Due to inactivity, Vaultrix will shut down in");
  EXPECT_EQ(texts[2], "10 Seconds.");
  EXPECT_EQ(texts[3], "Cancel");
}

TEST(ApplicationWindows, PasswordFormGroupsEntryPasteAndCopy) {
  char service[30], url[90], name[30], password[30], confirm[30], notes[10000], more_notes[5000],
      clipboard[90];
  auto form = Load(WindowKind::kMdiWindow, "VAULTRIX$vltrx007", "UPDATEPASSWORDS$QUICKWINDOW",
                   {service, url, name, password, confirm, notes, more_notes, clipboard});
  const WindowView& v = form->view();
  EXPECT_EQ(v.title, "Update the Passwords File");
  EXPECT_EQ(v.drop_targets, std::vector<std::string_view>{"Generic"});
  std::vector<std::string> tabs;
  for (const ControlView& c : v.controls) {
    if (c.type == rsc::kTab) tabs.emplace_back(c.text);
  }
  EXPECT_EQ(tabs, (std::vector<std::string>{"&General", "&Notes", "&More Notes"}));

  auto c = ByNumber(v.controls);
  struct Field {
    const char* prompt;
    const char* picture;  // nullptr for a text box
    const char* what;     // in the paste and copy buttons' texts
    void* address;
  };
  const Field fields[] = {{"&Service:", "@s30", "Service", service},
                          {"&URL:", "@s90", "URL", url},
                          {"&Name:", "@s30", "Name", name},
                          {"&Password:", "@s30", "Password", password},
                          {"&Notes:", nullptr, "Notes", notes},
                          {"&More Notes:", nullptr, "More Notes", more_notes}};
  for (const Field& f : fields) {
    const ControlView* entry = nullptr;
    for (const auto& [number, control] : c) {
      if (control->use_address == f.address) entry = control;
    }
    ASSERT_NE(entry, nullptr) << f.what;
    std::int32_t n = entry->number;
    EXPECT_EQ(c[n - 1]->type, rsc::kPrompt);
    EXPECT_EQ(c[n - 1]->text, f.prompt);
    EXPECT_EQ(entry->type, f.picture ? rsc::kEntry : rsc::kTextBox) << f.what;
    if (f.picture) {
      EXPECT_EQ(entry->picture, f.picture);
    }
    EXPECT_EQ(c[n + 1]->text, std::string("Paste ") + f.what);
    EXPECT_EQ(c[n + 1]->tip, std::string("Paste ") + f.what);
    EXPECT_EQ(c[n + 2]->text, std::string("Copy ") + f.what);
    EXPECT_EQ(c[n + 2]->tip, std::string("Copy ") + f.what);
    EXPECT_EQ(c[n + 3]->type, f.address == password ? rsc::kButton : rsc::kPrompt)
        << "Tab past the buttons lands on the next prompt";
  }
  for (const auto& [number, control] : c) {
    if (control->use_address == password) {
      EXPECT_EQ(c[number + 3]->text, "Gener&ate New Password");
      EXPECT_EQ(c[number + 4]->text, "&Confirm Password:");
      EXPECT_EQ(c[number + 5]->use_address, confirm);
    }
    if (control->use_address == clipboard) {
      EXPECT_EQ(control->picture, "@s90");
      EXPECT_EQ(c[number - 1]->text, "Clipboard Contents:");
    }
  }
  EXPECT_EQ(v.bound_count, 8u);
  std::vector<std::string> buttons;
  for (const ControlView& control : v.controls) {
    if (control.parent == -1 && control.type == rsc::kButton) buttons.emplace_back(control.text);
  }
  EXPECT_EQ(buttons, (std::vector<std::string>{"&OK", "Cancel"}));
}

TEST(ApplicationWindows, FullDisplayAndGenerator) {
  auto display = Load(WindowKind::kMdiWindow, "VAULTRIX$vltrx008", "DISPLAYALL$WINDOW");
  const WindowView& v = display->view();
  EXPECT_EQ(v.title, "Display All Information");
  EXPECT_EQ(v.attributes, 0x3822u);
  ASSERT_TRUE(v.has_colours);
  EXPECT_EQ(v.colours, (std::array<std::int32_t, 3>{0x00FFFF80, -1, -1}));
  std::vector<std::string> prompts, buttons;
  std::vector<std::uint32_t> memo_sizes;
  for (const ControlView& c : v.controls) {
    if (c.type == rsc::kPrompt) prompts.emplace_back(c.text);
    if (c.type == rsc::kButton) buttons.emplace_back(c.text);
    if (c.type == rsc::kTextBox) {
      EXPECT_EQ(c.use.type, rsc::kUseMemo);
      memo_sizes.push_back(c.use.size);
    }
  }
  EXPECT_EQ(prompts, (std::vector<std::string>{"User:", "&Service:", "&URL:", "&Name:",
                                               "&Password:", "&Notes:", "&More Notes:"}));
  EXPECT_EQ(buttons, std::vector<std::string>{"&Ok"});
  EXPECT_EQ(memo_sizes, (std::vector<std::uint32_t>{10000, 5000}))
      << "the more-notes box never writes past its 5,000-character field";

  std::int32_t size = 0;
  char type[20];
  auto generator =
      Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx009", "GENERATEPASSWORD$WINDOW", {&size, type});
  const WindowView& g = generator->view();
  EXPECT_EQ(g.title, "Generate Password");
  EXPECT_EQ(g.attributes, 0x3000u);
  EXPECT_EQ(g.controls[0].type, rsc::kPanel) << "a panel under the whole window";
  std::vector<std::string> radios, values;
  const ControlView* spin = nullptr;
  const ControlView* group = nullptr;
  buttons.clear();
  for (const ControlView& c : g.controls) {
    if (c.type == rsc::kRadio) {
      radios.emplace_back(c.text);
      values.emplace_back(c.value);
    }
    if (c.type == rsc::kButton) buttons.emplace_back(c.text);
    if (c.type == rsc::kSpin) spin = &c;
    if (c.type == rsc::kOptionGroup) group = &c;
  }
  EXPECT_EQ(radios, (std::vector<std::string>{"&Word", "Alphabet &Only", "Alpha&numeric",
                                              "All &Characters"}));
  EXPECT_EQ(values[0], "Word");
  EXPECT_EQ(values[1], "Alphabet Only");
  EXPECT_EQ(values[2], "Alphanumeric");
  EXPECT_EQ(buttons, (std::vector<std::string>{"&Ok", "Fast &Generate", "Cancel"}));
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->low, 3.0);
  EXPECT_EQ(spin->high, 30.0) << "the password field holds 30 characters";
  EXPECT_EQ(spin->use_address, &size);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->text, "Password Type");
  EXPECT_EQ(group->use.size, 20u);
  EXPECT_EQ(group->use_address, type);
  EXPECT_EQ(Texts(g)[2], "Password &Size:");
  EXPECT_EQ(Texts(g)[4], "characters");
}

struct Structure {
  const char* module;
  const char* name;
  const char* title;
  std::uint32_t attributes;
};

const Structure kAllStructures[] = {
    {"VAULTRIX$vltrx001", "MAIN$APPFRAME", "Vaultrix", 0x1820},
    {"VAULTRIX$vltrx002", "BROWSEUSERS$QUICKWINDOW", "Users", 0x3004},
    {"VAULTRIX$vltrx003", "BROWSEPASSWORDS$QUICKWINDOW", "Passwords", 0x3004},
    {"VAULTRIX$vltrx004", "UPDATEUSERS$QUICKWINDOW", "Update User Information", 0x3006},
    {"VAULTRIX$vltrx005", "SELECTUSERS$QUICKWINDOW", "Select User", 0x3004},
    {"VAULTRIX$vltrx006", "CONFIRMPASSWORD$WINDOW", "Security Check", 0x2000},
    {"VAULTRIX$vltrx007", "UPDATEPASSWORDS$QUICKWINDOW", "Update the Passwords File", 0x3006},
    {"VAULTRIX$vltrx008", "DISPLAYALL$WINDOW", "Display All Information", 0x3822},
    {"VAULTRIX$vltrx009", "GENERATEPASSWORD$WINDOW", "Generate Password", 0x3000},
    {"VAULTRIX$vltrx010", "PRINTP_:KEYSERVICE$REPORT", "Passwords by Service", 0},
    {"VAULTRIX$vltrx010", "PRINTP_:KEYSERVICE$PROGRESSWINDOW", "Progress...", 0x2040},
    {"VAULTRIX$vltrx011", "PRINTP_:KEYURL$REPORT", "Passwords by URL", 0},
    {"VAULTRIX$vltrx011", "PRINTP_:KEYURL$PROGRESSWINDOW", "Progress...", 0x2040},
    {"VAULTRIX$vltrx012", "PRINTP_:KEYNAME$REPORT", "Passwords by Name", 0},
    {"VAULTRIX$vltrx012", "PRINTP_:KEYNAME$PROGRESSWINDOW", "Progress...", 0x2040},
    {"VAULTRIX$vltrx013", "IMPORT$WINDOW", "Assign fields for Import...", 0x3044},
    {"VAULTRIX$vltrx013", "IMPORT$PROGRESSWINDOW", "Progress...", 0x2040},
    {"VAULTRIX$vltrx014", "EXPORT$WINDOW", "Choose Fields for Export...", 0x3044},
    {"VAULTRIX$vltrx014", "EXPORT$PROGRESSWINDOW", "Progress...", 0x2040},
    {"VAULTRIX$vltrx015", "ABOUT$WINDOW", "About", 0x3826},
    {"VAULTRIX$vltrx016", "SPLASH$WINDOW", "", 0x2064},
    {"VAULTRIX$vltrx017", "BROWSETIPS$QUICKWINDOW", "Browse Tips", 0x3004},
    {"VAULTRIX$vltrx018", "UPDATETIPS$QUICKWINDOW", "Update Tip", 0x3006},
    {"VAULTRIX$vltrx019", "SETUP$WINDOW", "Vaultrix Options", 0x3006},
    {"VAULTRIX$vltrx020", "COUNTDOWN$WINDOW", "Automatic Close Down", 0x3806},
    {"VAULTRIX$vltrx021", "UPGRADEFILES$PROGRESSWINDOW", "Progress...", 0x2040},
    {"VAULTRIX$vltrx_sf", "REPORTPREVIEW$PREVIEW:WINDOW", "Report Preview", 0x6820},
    {"VAULTRIX$vltrx_sf", "PREVIEW:JUMPTOPAGE$JUMPWINDOW", "Jump to a Report Page", 0x2000},
    {"VAULTRIX$vltrx_sf", "PREVIEW:SELECTDISPLAY$SELECTWINDOW", "Change the Report Display",
     0x2000},
    {"VAULTRIX$s_impexp", "IMPORTEXPORT_ASKPICTURE$WINDOW", "Enter Picture...", 0x3040},
};

TEST(ApplicationWindows, EveryStructureLoadsWithItsCaptionAndAttributes) {
  for (const Structure& s : kAllStructures) {
    bool report = std::string_view(s.name).ends_with("$REPORT");
    auto window = Load(report ? WindowKind::kReport : WindowKind::kPlainWindow, s.module, s.name);
    if (!window->loaded()) continue;
    const WindowView& v = window->view();
    EXPECT_EQ(v.type, report ? rsc::kReport : rsc::kWindow) << s.name;
    EXPECT_EQ(v.title, s.title) << s.name;
    EXPECT_EQ(v.attributes, s.attributes) << s.name;
    ByNumber(v.controls);  // numbers unique within the window
  }
}

// The browse engine reads one page at a time and handles every scroll
// request itself, so its lists are immediate-mode lists, stored with the
// attributes 0x803; every other list (import, export) scrolls over a queue
// that holds all its rows.
TEST(ApplicationWindows, OnlyTheBrowseListsAreImmediate) {
  const std::set<std::string_view> browsers = {"BROWSEUSERS$QUICKWINDOW",
                                               "BROWSEPASSWORDS$QUICKWINDOW",
                                               "SELECTUSERS$QUICKWINDOW", "BROWSETIPS$QUICKWINDOW"};
  std::set<std::string_view> immediate, scrolling;
  for (const Structure& s : kAllStructures) {
    bool report = std::string_view(s.name).ends_with("$REPORT");
    auto window = Load(report ? WindowKind::kReport : WindowKind::kPlainWindow, s.module, s.name);
    for (const ControlView& c : window->view().controls) {
      if (c.type != rsc::kList) continue;
      bool is_browser = browsers.contains(s.name);
      if (is_browser) {
        EXPECT_EQ(c.flags, 0x803u) << s.name;
      }
      EXPECT_EQ(ListControl::FromDescription(c).Immediate(), is_browser) << s.name;
      (is_browser ? immediate : scrolling).insert(s.name);
    }
  }
  EXPECT_EQ(immediate, browsers);
  EXPECT_EQ(scrolling, (std::set<std::string_view>{"IMPORT$WINDOW", "EXPORT$WINDOW"}));
}

TEST(ApplicationWindows, TipsSplashAndAbout) {
  auto about = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx015", "ABOUT$WINDOW");
  EXPECT_EQ(about->view().icon, "WINPYR.ICO");
  std::vector<std::string> texts;
  for (const ControlView& c : about->view().controls) {
    if (c.type == rsc::kString || c.type == rsc::kButton) texts.emplace_back(c.text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Vaultrix v1.8", "&OK", "&Next", "&Previous",
                                             "&Add Your Own Tips"}));

  auto splash = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx016", "SPLASH$WINDOW");
  EXPECT_EQ(splash->view().attributes & rsc::kFrameMask, rsc::kFrameNone);
  EXPECT_EQ(splash->view().palette, 0xFFFFu);
  EXPECT_EQ(splash->view().controls[0].type, rsc::kPanel);

  auto tips = Load(WindowKind::kMdiWindow, "VAULTRIX$vltrx017", "BROWSETIPS$QUICKWINDOW");
  EXPECT_EQ(tips->view().controls[0].format, "1020L~Tip~@s255@");
  auto t = Texts(tips->view());
  EXPECT_EQ(t[2], "&Insert");
  EXPECT_EQ(t[5], "Cl&ose");

  char tip[1000];
  auto form = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx018", "UPDATETIPS$QUICKWINDOW", {tip});
  t = Texts(form->view());
  EXPECT_EQ(t[1], "Tip:");
  EXPECT_EQ(ByNumber(form->view().controls)[2]->use_address, tip);
  EXPECT_EQ(ByNumber(form->view().controls)[2]->use.size, 1000u);
  EXPECT_EQ(t[3], "&OK");
  EXPECT_EQ(t[4], "Cancel");
}

TEST(ApplicationWindows, ReportLayoutInThousandthsOfAnInch) {
  char service[30], url[90], name[30], password[30], notes[10000];
  auto report = Load(WindowKind::kReport, "VAULTRIX$vltrx011", "PRINTP_:KEYURL$REPORT",
                     {service, url, name, password, notes});
  const WindowView& v = report->view();
  EXPECT_EQ(v.font.face, "Arial");
  EXPECT_EQ(v.at.x, 1000);
  EXPECT_EQ(v.at.y, 1720);
  EXPECT_EQ(v.at.width, 6000);
  EXPECT_EQ(v.at.height, 7281);
  ASSERT_EQ(v.bands.size(), 3u);
  const BandView& header = v.bands[0];
  EXPECT_EQ(header.type, rsc::kHeaderBand);
  EXPECT_EQ(header.at.y, 1000);
  EXPECT_EQ(header.at.height, 719);
  std::vector<std::string> headings;
  for (const ControlView& c : header.controls) headings.emplace_back(c.text);
  EXPECT_EQ(headings, (std::vector<std::string>{"Passwords by URL", "Service", "URL", "Name",
                                                "Password", "Notes"}));
  EXPECT_EQ(header.controls[5].at.x, 4552);
  EXPECT_EQ(header.controls[5].at.y, 500);
  const BandView& detail = v.bands[1];
  ASSERT_EQ(detail.controls.size(), 5u);
  const char* pictures[] = {"s30", "s90", "s30", "s20"};
  void* addresses[] = {service, url, name, password, notes};
  for (int i = 0; i < 5; ++i) {
    if (i < 4) {
      EXPECT_EQ(detail.controls[i].picture, pictures[i]) << i;
    }
    EXPECT_EQ(detail.controls[i].use_address, addresses[i]) << i;
  }
  EXPECT_EQ(detail.controls[4].type, rsc::kTextBox);
  EXPECT_EQ(detail.controls[4].at.x, 4552);
  EXPECT_EQ(detail.controls[4].at.y, 250);
  const BandView& footer = v.bands[2];
  EXPECT_EQ(footer.type, rsc::kFooterBand);
  EXPECT_EQ(footer.at.y, 9000);
  EXPECT_EQ(footer.at.height, 219);
  EXPECT_EQ(footer.controls[0].picture, "pPage <<<#p");

  std::int32_t percent = 0;
  auto progress = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx011",
                       "PRINTP_:KEYURL$PROGRESSWINDOW", {&percent});
  const ControlView& bar = progress->view().controls[0];
  EXPECT_EQ(bar.type, rsc::kProgress);
  EXPECT_EQ(bar.high, 100.0);
  EXPECT_EQ(bar.use_address, &percent);
  EXPECT_EQ(Texts(progress->view())[4], "Cancel");
  EXPECT_NE(progress->view().timer, 0u) << "the work runs on timer events";
}

TEST(ApplicationWindows, PreviewMenusToolbarAndDialogs) {
  std::int32_t page = 0, across = 0, down = 0;
  auto preview = Load(WindowKind::kMdiWindow, "VAULTRIX$vltrx_sf", "REPORTPREVIEW$PREVIEW:WINDOW",
                      {&page, &across, &down});
  const WindowView& v = preview->view();
  EXPECT_EQ(v.colours, (std::array<std::int32_t, 3>{0x00808080, -1, -1}));
  std::map<std::string, std::string> items;
  std::vector<std::string> menus;
  for (const ControlView& m : v.menu) {
    if (m.parent == -1) menus.emplace_back(m.text);
    if (m.type == rsc::kItem) items[std::string(m.text)] = std::string(m.status);
  }
  EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&View", "&Zoom"}));
  EXPECT_EQ(items["&Print"], "Print the report");
  EXPECT_EQ(items["E&xit"], "Exit without printing the report");
  EXPECT_EQ(items["&Next Page(s)"], "View the next page or pages of the report");
  EXPECT_EQ(items["&Previous Page(s)"], "View the next page or pages of the report");
  EXPECT_EQ(items["&Jump to a page"], "Jump to a specific page of the report");
  EXPECT_EQ(items["&Change Display"], "Change the number of pages displayed");
  for (const char* zoom : {"No &Zoom", "Page &Width", "&50 Percent", "&75 Percent", "&100 Percent",
                           "&200 Percent", "&300 Percent"}) {
    EXPECT_EQ(items.count(zoom), 1u) << zoom;
  }
  std::map<std::string, const ControlView*> tools;
  for (const ControlView& c : v.toolbar) {
    EXPECT_LT(c.number, 0) << "toolbar controls have negative numbers";
    tools[std::string(c.text.empty() ? c.tip : c.text)] = &c;
  }
  EXPECT_EQ(tools["Print"]->tip, "Print this report");
  EXPECT_EQ(tools["Exit"]->tip, "Exit without printing the report");
  EXPECT_EQ(tools["Zoom"]->tip, "Zoom in on a page of the report");
  EXPECT_EQ(tools.count("&Page:"), 1u);
  EXPECT_EQ(tools["Select the number of thumbnails in a row"]->use_address, &across);
  EXPECT_EQ(tools["Select the number of thumbnails in a column"]->use_address, &down);
  EXPECT_EQ(v.bound_count, 3u);

  auto jump = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx_sf", "PREVIEW:JUMPTOPAGE$JUMPWINDOW");
  auto t = Texts(jump->view());
  EXPECT_EQ(t[1], "&Page:");
  EXPECT_EQ(ByNumber(jump->view().controls)[2]->tip, "Select a page of the report");
  EXPECT_EQ(t[3], "Jump to the selected page");
  EXPECT_EQ(ByNumber(jump->view().controls)[4]->tip, "Cancel this selection");

  auto select =
      Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx_sf", "PREVIEW:SELECTDISPLAY$SELECTWINDOW");
  t = Texts(select->view());
  EXPECT_EQ(t[1], "Pages Displayed");
  EXPECT_EQ(t[2], "Across");
  EXPECT_EQ(t[4], "Down");
  for (int n : {3, 5}) {
    EXPECT_EQ(ByNumber(select->view().controls)[n]->low, 1.0);
    EXPECT_EQ(ByNumber(select->view().controls)[n]->high, 10.0);
  }
}

TEST(ApplicationWindows, ImportExportAndThePictureQuestion) {
  auto exporter = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx014", "EXPORT$WINDOW");
  auto t = Texts(exporter->view());
  auto c = ByNumber(exporter->view().controls);
  EXPECT_EQ(c[1]->format, "200L(1)~All Fields~@s50@");
  EXPECT_EQ(c[7]->format, "200L(1)~Export Fields~@s50@");
  for (const char* text : {"&Add ->", "&Remove", "Shift &Up", "Shift &Down", "&Picture",
                           "Include &header record with field names", "&OK", "&Cancel"}) {
    bool found = false;
    for (const auto& [number, control_text] : t) found = found || control_text == text;
    EXPECT_TRUE(found) << text;
  }
  EXPECT_EQ(c[8]->text, "Picture");

  auto importer = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx013", "IMPORT$WINDOW");
  t = Texts(importer->view());
  c = ByNumber(importer->view().controls);
  EXPECT_EQ(
      c[1]->format,
      "42L(1)|M~Import Field~S(75)@s50@40L(1)|M~Picture~S(45)@s30@150L(1)~Value~S(300)@s255@");
  EXPECT_EQ(c[2]->format, "65L(1)M~Target Field~S(75)@s50@8C~=~@s1@65L(1)~Import Field~S(75)@s50@");
  for (const char* text : {"&Next", "Rec#", "&Picture", "&Assign", "A&uto", "&Unassign",
                           "Strip &header record (field names)", "&OK", "&Cancel", "Help"}) {
    bool found = false;
    for (const auto& [number, control_text] : t) found = found || control_text == text;
    EXPECT_TRUE(found) << text;
  }

  char picture[30];
  auto ask = Load(WindowKind::kPlainWindow, "VAULTRIX$s_impexp", "IMPORTEXPORT_ASKPICTURE$WINDOW",
                  {picture});
  t = Texts(ask->view());
  EXPECT_EQ(t[1], "Picture:");
  EXPECT_EQ(ByNumber(ask->view().controls)[2]->use.size, 30u);
  EXPECT_EQ(ByNumber(ask->view().controls)[2]->use_address, picture);
  EXPECT_EQ(t[3], "&OK");
  EXPECT_EQ(t[4], "&Cancel");

  std::int32_t percent = 0;
  auto upgrade = Load(WindowKind::kPlainWindow, "VAULTRIX$vltrx021", "UPGRADEFILES$PROGRESSWINDOW",
                      {&percent});
  EXPECT_EQ(upgrade->view().controls[0].use_address, &percent);
  EXPECT_EQ(Texts(upgrade->view())[4], "Cancel");
}

TEST(ApplicationWindows, EmbeddedBytesAreTheCompiledSources) {
  platform::ResourceModulePtr program = platform::LoadedResourceModules().at(0);
  int sources = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(VAULTRIX_SOURCE_DIR) + "/resources")) {
    if (entry.path().extension() != ".vwin") continue;
    ++sources;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    rescomp::CompiledModule module;
    rescomp::SourceError error;
    ASSERT_TRUE(rescomp::CompileSource(text, &module, &error))
        << entry.path() << ":" << error.line << ": " << error.message;
    const std::vector<std::uint8_t>* embedded = program->Find("DABDUMP", module.resource_name);
    ASSERT_NE(embedded, nullptr) << module.resource_name;
    EXPECT_EQ(*embedded, module.bytes) << module.resource_name;
  }
  EXPECT_EQ(sources, 23);
}

}  // namespace
}  // namespace vaultrix::windows
