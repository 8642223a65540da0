// Window placements in the INI file: saved, restored, ignored when the
// section has no position, kept when the window closes iconized.
#include "app/services/window_placement.h"

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "runtime/support/profile.h"
#include "tests/app/test_support.h"

namespace vaultrix::app {
namespace {

class FakeWindow : public PlacementTarget {
 public:
  bool IsMaximized() const override { return maximized; }
  bool IsIconized() const override { return iconized; }
  bool IsResizable() const override { return resizable; }
  WindowRect Placement() const override { return placement; }
  void SetPlacement(const WindowRect& p) override {
    placement = p;
    ++placements_set;
  }
  void SetMaximized(bool m) override {
    // A maximized window restored shows its normal placement again.
    maximized = m;
    maximize_calls.push_back(m);
  }

  bool maximized = false;
  bool iconized = false;
  bool resizable = true;
  WindowRect placement{10, 20, 300, 200};
  int placements_set = 0;
  std::vector<bool> maximize_calls;
};

class WindowPlacementTest : public testing::AppServicesTest {
 protected:
  std::string Get(const char* key) {
    return support::GetIni("BrowseUsers", key, "-", "VAULTRIX.INI");
  }
};

TEST_F(WindowPlacementTest, SavedPlacementIsRestored) {
  FakeWindow closing;
  closing.placement = {40, 50, 640, 480};
  SaveWindowPlacement(closing, "BrowseUsers");
  EXPECT_EQ(Get("Maximize"), "No");
  EXPECT_EQ(Get("XPosit"), "40");
  EXPECT_EQ(Get("YPosit"), "50");
  EXPECT_EQ(Get("Width"), "640");
  EXPECT_EQ(Get("Height"), "480");
  // Keys are found without regard to case; the file holds them as the system spells them.
  std::ifstream stream(support::ProfilePath("VAULTRIX.INI"));
  const std::string text((std::istreambuf_iterator<char>(stream)),
                         std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[BrowseUsers]\nMaximize=No\nXPosit=40\nYPosit=50\nWidth=640\nHeight=480\n"),
            std::string::npos)
      << text;

  FakeWindow opening;
  RestoreWindowPlacement(opening, "BrowseUsers");
  EXPECT_EQ(opening.placement, (WindowRect{40, 50, 640, 480}));
  EXPECT_FALSE(opening.maximized);
}

TEST_F(WindowPlacementTest, AMaximizedWindowSavesItsNormalPlacementAndReopensMaximized) {
  FakeWindow closing;
  closing.maximized = true;
  closing.placement = {5, 6, 700, 500};
  SaveWindowPlacement(closing, "BrowseUsers");
  EXPECT_EQ(closing.maximize_calls, std::vector<bool>{false}) << "restored before measuring";
  EXPECT_EQ(Get("Maximize"), "Yes");
  EXPECT_EQ(Get("Width"), "700");

  FakeWindow opening;
  RestoreWindowPlacement(opening, "BrowseUsers");
  EXPECT_EQ(opening.placement, (WindowRect{5, 6, 700, 500}));
  EXPECT_TRUE(opening.maximized);

  FakeWindow already_maximized;  // keeps its position, is maximized again
  already_maximized.maximized = true;
  RestoreWindowPlacement(already_maximized, "BrowseUsers");
  EXPECT_EQ(already_maximized.placements_set, 0);
  EXPECT_TRUE(already_maximized.maximized);
}

TEST_F(WindowPlacementTest, AWindowClosedIconizedKeepsItsPreviousPlacement) {
  FakeWindow before;
  before.placement = {40, 50, 640, 480};
  SaveWindowPlacement(before, "BrowseUsers");
  FakeWindow iconized;
  iconized.iconized = true;
  iconized.maximized = true;
  iconized.placement = {1, 1, 1, 1};
  SaveWindowPlacement(iconized, "BrowseUsers");
  EXPECT_EQ(Get("XPosit"), "40");
  EXPECT_EQ(Get("Maximize"), "No");
}

TEST_F(WindowPlacementTest, NoPositionLeavesTheWindowAloneAndIgnoresMaximize) {
  ASSERT_EQ(support::PutIni("BrowseUsers", "Maximize", "Yes", "VAULTRIX.INI"), 0);
  ASSERT_EQ(support::PutIni("BrowseUsers", "Width", "900", "VAULTRIX.INI"), 0);
  FakeWindow window;
  RestoreWindowPlacement(window, "BrowseUsers");
  EXPECT_EQ(window.placement, (WindowRect{10, 20, 300, 200}));
  EXPECT_TRUE(window.maximize_calls.empty());
}

TEST_F(WindowPlacementTest, IncompleteOrFixedSizesAreHandled) {
  // No YPosit: position untouched, Maximize still read.
  ASSERT_EQ(support::PutIni("BrowseUsers", "XPosit", "70", "VAULTRIX.INI"), 0);
  ASSERT_EQ(support::PutIni("BrowseUsers", "Maximize", "Yes", "VAULTRIX.INI"), 0);
  FakeWindow window;
  RestoreWindowPlacement(window, "BrowseUsers");
  EXPECT_EQ(window.placements_set, 0);
  EXPECT_TRUE(window.maximized);

  // A window of fixed size takes the position and keeps its own size.
  ASSERT_EQ(support::PutIni("BrowseUsers", "YPosit", "80", "VAULTRIX.INI"), 0);
  ASSERT_EQ(support::PutIni("BrowseUsers", "Maximize", "No", "VAULTRIX.INI"), 0);
  FakeWindow fixed;
  fixed.resizable = false;
  RestoreWindowPlacement(fixed, "BrowseUsers");
  EXPECT_EQ(fixed.placement, (WindowRect{70, 80, 300, 200}));

  // A resizable one with no size stays where it is.
  FakeWindow resizable;
  RestoreWindowPlacement(resizable, "BrowseUsers");
  EXPECT_EQ(resizable.placements_set, 0);
  EXPECT_FALSE(resizable.maximized);
}

}  // namespace
}  // namespace vaultrix::app
