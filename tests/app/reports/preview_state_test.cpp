// The report preview's rules: paging through thumbnails and zoomed pages,
// clicks, the thumbnail layout, and the progress of a report.
#include <gtest/gtest.h>

#include <vector>

#include "app/reports/preview_state.h"

namespace vaultrix::app {
namespace {

TEST(PreviewStateTest, NextAndPreviousStepByTheThumbnailsShown) {
  struct Case {
    int total, across, down;
    std::vector<int> after_each_next;
  };
  const Case cases[] = {
      {10, 2, 1, {3, 5, 7, 9, 9}},  // then stays: 9 + 2 passes 10
      {7, 3, 1, {4, 7, 7}},         // the last screen shows page 7 alone
      {1, 1, 1, {1, 1}},            // one page: nothing moves
      {4, 2, 2, {1}},               // every page on the first screen
  };
  for (const Case& c : cases) {
    PreviewState state(c.total, 850, 1100);
    state.SetDisplay(c.across, c.down);
    std::vector<int> seen;
    for (std::size_t i = 0; i < c.after_each_next.size(); ++i) {
      state.Next();
      seen.push_back(state.current());
    }
    EXPECT_EQ(seen, c.after_each_next) << c.total << " pages, " << c.across << " across";
    for (int i = 0; i < 10; ++i) state.Previous();
    EXPECT_EQ(state.current(), 1);
  }
  EXPECT_FALSE(PreviewState(1, 850, 1100).page_controls_shown());
  EXPECT_TRUE(PreviewState(2, 850, 1100).page_controls_shown());
}

TEST(PreviewStateTest, ClicksZoomAndJumpsMoveOneAtATime) {
  PreviewState state(10, 850, 1100);
  state.SetDisplay(3, 2);
  state.Next();  // pages 7 to 10 shown
  state.ClickThumbnail(2);
  EXPECT_EQ(state.current(), 9);
  EXPECT_EQ(state.zoom(), PreviewZoom::kPageWidth);
  EXPECT_EQ(state.PageText(), "Page 9 of 10");
  state.Next();
  state.Next();
  EXPECT_EQ(state.current(), 10);
  state.Previous();
  EXPECT_EQ(state.current(), 9);
  state.ClickZoomedPage();
  EXPECT_EQ(ZoomText(state.zoom()), "No Zoom");
  state.Jump(99);
  EXPECT_EQ(state.current(), 10);
  state.SetZoom(PreviewZoom::k200);
  state.SetDisplay(0, 11);  // the select-display window's spins stay within 1 to 10
  EXPECT_EQ(state.across(), 1);
  EXPECT_EQ(state.down(), 10);
  EXPECT_EQ(state.zoom(), PreviewZoom::kNone);
  EXPECT_EQ(state.PageTip(), "Enter a page number from 1 to 10");
  EXPECT_DOUBLE_EQ(ZoomFactor(PreviewZoom::kPageWidth, 425, 850), 0.5);
}

TEST(PreviewStateTest, ThumbnailsKeepThePageShapeInTheirCells) {
  PreviewState state(3, 800, 1000);  // ratio 1.25
  state.SetDisplay(2, 1);
  // Cells (400 - 5) / 2 = 197 wide and 300 - 18 - 2 = 280 high: the width limits.
  const auto boxes = state.Thumbnails(400, 300);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].x, 1);
  EXPECT_EQ(boxes[0].width, 197);
  EXPECT_EQ(boxes[0].height, 246);
  EXPECT_EQ(boxes[1].x, 1 + 197 + 3);
  EXPECT_EQ(boxes[1].page, 2);
  state.Next();
  EXPECT_EQ(state.Thumbnails(400, 300)[1].page, 0);  // past the last page
  // A wide window: the height limits.
  EXPECT_EQ(state.Thumbnails(2000, 300)[0].width, static_cast<int>(280 / 1.25));
}

TEST(PreviewStateTest, ReportProgressIsCappedAtAHundredPercent) {
  const std::vector<std::pair<int, int>> cases = {{0, 0}, {1, 0}, {5, 1}, {250, 50},
                                                  {499, 99}, {500, 100}, {600, 100}};
  for (const auto& [processed, percent] : cases) EXPECT_EQ(ReportPercent(processed), percent);
  EXPECT_EQ(ProgressText(7), "  7% Completed");
  EXPECT_EQ(ProgressText(100), "100% Completed");
}

}  // namespace
}  // namespace vaultrix::app
