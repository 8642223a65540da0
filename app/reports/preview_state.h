// What the report preview (ReportPreview) shows, apart from its window:
// the current page, the thumbnails across and down, the zoom and the layout
// of the thumbnails in the window, with the rules by which next, previous,
// jump, a click on a thumbnail and the zoom settings move between them.
// Sizes are in the window system's units.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vaultrix::app {

enum class PreviewZoom { kNone, kPageWidth, k50, k75, k100, k200, k300 };

// The status-bar text of a zoom setting ("No Zoom", "Zoom (Page Width)", ...).
[[nodiscard]] std::string ZoomText(PreviewZoom zoom);
// The factor by which a zoomed page is drawn; page width fits the window.
[[nodiscard]] double ZoomFactor(PreviewZoom zoom, int window_width, int page_width);

struct ThumbnailBox {
  int x = 0, y = 0, width = 0, height = 0;
  int page = 0;  // the page it shows, 0 when past the last
};

class PreviewState {
 public:
  PreviewState(int total_pages, int page_width, int page_height);

  int total() const { return total_; }
  int current() const { return current_; }
  int across() const { return across_; }
  int down() const { return down_; }
  int shown() const { return across_ * down_; }
  PreviewZoom zoom() const { return zoom_; }
  double ratio() const { return ratio_; }

  // A single page hides the page spin box, its prompt and the next control.
  bool page_controls_shown() const { return total_ > 1; }
  // Status zone 2: "Page N of T".
  std::string PageText() const;
  // "Enter a page number from 1 to T".
  std::string PageTip() const;

  void Next();
  void Previous();
  void Jump(int page);  // clamped to 1..total
  // Across and down from the select-display window or the spin boxes
  // (clamped to 1..10); the zoom returns to none.
  void SetDisplay(int across, int down);
  void SetZoom(PreviewZoom zoom) { zoom_ = zoom; }
  // A click on thumbnail `k` (from 0, row by row) zooms to page width on its
  // page; a click on the zoomed page returns to the thumbnails.
  void ClickThumbnail(int k);
  void ClickZoomedPage() { zoom_ = PreviewZoom::kNone; }

  // The thumbnails for a window of `width` by `height` (without zoom).
  [[nodiscard]] std::vector<ThumbnailBox> Thumbnails(int width, int height) const;

 private:
  int total_;
  int current_ = 1;
  int across_ = 1, down_ = 1;
  PreviewZoom zoom_ = PreviewZoom::kNone;
  double ratio_;
};

// The progress of a report over its fixed scale of 500 records: the whole
// percent of `processed`, never past 100.
inline constexpr int kReportProgressScale = 500;
inline constexpr int kReportRecordsPerTimer = 25;
[[nodiscard]] int ReportPercent(int processed);
// The progress window's lower text: the percent in "@N3" and "% Completed".
[[nodiscard]] std::string ProgressText(int percent);

}  // namespace vaultrix::app
