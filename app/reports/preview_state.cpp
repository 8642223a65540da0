#include "app/reports/preview_state.h"

#include <algorithm>
#include <cstdio>

namespace vaultrix::app {

std::string ZoomText(PreviewZoom zoom) {
  switch (zoom) {
    case PreviewZoom::kNone: return "No Zoom";
    case PreviewZoom::kPageWidth: return "Zoom (Page Width)";
    case PreviewZoom::k50: return "Zoom (50%)";
    case PreviewZoom::k75: return "Zoom (75%)";
    case PreviewZoom::k100: return "Zoom (100%)";
    case PreviewZoom::k200: return "Zoom (200%)";
    case PreviewZoom::k300: return "Zoom (300%)";
  }
  return {};
}

double ZoomFactor(PreviewZoom zoom, int window_width, int page_width) {
  switch (zoom) {
    case PreviewZoom::kNone: return 1.0;
    case PreviewZoom::kPageWidth:
      return page_width > 0 ? static_cast<double>(window_width) / page_width : 1.0;
    case PreviewZoom::k50: return 0.5;
    case PreviewZoom::k75: return 0.75;
    case PreviewZoom::k100: return 1.0;
    case PreviewZoom::k200: return 2.0;
    case PreviewZoom::k300: return 3.0;
  }
  return 1.0;
}

PreviewState::PreviewState(int total_pages, int page_width, int page_height)
    : total_(std::max(0, total_pages)),
      ratio_(page_width > 0 ? static_cast<double>(page_height) / page_width : 1.0) {}

std::string PreviewState::PageText() const {
  return "Page " + std::to_string(current_) + " of " + std::to_string(total_);
}

std::string PreviewState::PageTip() const {
  return "Enter a page number from 1 to " + std::to_string(total_);
}

void PreviewState::Next() {
  if (zoom_ == PreviewZoom::kNone) {
    if (current_ + shown() <= total_) current_ += shown();
  } else if (current_ < total_) {
    ++current_;
  }
}

void PreviewState::Previous() {
  current_ = std::max(1, current_ - (zoom_ == PreviewZoom::kNone ? shown() : 1));
}

void PreviewState::Jump(int page) { current_ = std::clamp(page, 1, std::max(1, total_)); }

void PreviewState::SetDisplay(int across, int down) {
  across_ = std::clamp(across, 1, 10);
  down_ = std::clamp(down, 1, 10);
  zoom_ = PreviewZoom::kNone;
}

void PreviewState::ClickThumbnail(int k) {
  if (current_ + k > total_) return;
  current_ += k;
  zoom_ = PreviewZoom::kPageWidth;
}

std::vector<ThumbnailBox> PreviewState::Thumbnails(int width, int height) const {
  const int gaps_x = (across_ - 1) * 3 + 2;
  const int gaps_y = (down_ - 1) * 3 + 2;
  const int cell_w = std::max(1, (width - gaps_x) / across_);
  const int cell_h = std::max(1, (height - 18 - gaps_y) / down_);
  int thumb_w = cell_w, thumb_h = cell_h;
  if (ratio_ <= static_cast<double>(cell_h) / cell_w) {
    thumb_h = static_cast<int>(cell_w * ratio_);
  } else {
    thumb_w = static_cast<int>(cell_h / ratio_);
  }
  std::vector<ThumbnailBox> boxes;
  for (int row = 0; row < down_; ++row) {
    for (int column = 0; column < across_; ++column) {
      const int k = row * across_ + column;
      const int page = current_ + k <= total_ ? current_ + k : 0;
      boxes.push_back({1 + column * (thumb_w + 3), 1 + row * (thumb_h + 3), thumb_w, thumb_h, page});
    }
  }
  return boxes;
}

int ReportPercent(int processed) {
  return std::min(100, std::max(0, processed) * 100 / kReportProgressScale);
}

std::string ProgressText(int percent) {
  char text[8];
  std::snprintf(text, sizeof text, "%3d", percent);
  return std::string(text) + "% Completed";
}

}  // namespace vaultrix::app
