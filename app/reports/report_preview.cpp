#include "app/reports/report_preview.h"

#include <algorithm>

#include "app/program/run.h"
#include "app/reports/preview_dialogs.h"
#include "app/reports/preview_state.h"
#include "app/services/global_codes.h"
#include "app/services/procedure_window.h"
#include "platform/metafile_page.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/page_image.h"
#include "runtime/windows/popup.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

// Menu items and toolbar controls of "REPORTPREVIEW$PREVIEW:WINDOW".
constexpr int kPrint = -1, kExit = -2, kNext = -3, kPrevious = -4, kJump = -5, kChangeDisplay = -6;
constexpr int kNoZoom = -7, k300 = -13;
constexpr int kPrintButton = -14, kExitButton = -15, kZoomButton = -16;
constexpr int kPagePrompt = -17, kPageSpin = -18, kAcrossSpin = -20, kDownSpin = -22;
constexpr int kStatusPage = 1, kStatusZoom = 2;  // zones 2 and 3, counted from 0
// Image controls made at run time: thumbnails from 100, the zoomed page 300.
constexpr int kFirstThumbnail = 100, kZoomedPage = 300;
constexpr int kPageUp = 0x21, kPageDown = 0x22;

class PreviewWindow {
 public:
  explicit PreviewWindow(const report::PreviewQueue& pages)
      : pages_(pages),
        state_(static_cast<int>(pages.pages.size()), PageSize().width, PageSize().height),
        window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx_sf", "REPORTPREVIEW$PREVIEW:WINDOW",
                "ReportPreview", {&page_, &across_, &down_}) {}

  bool Run() {
    window_.Open();
    window_.Accept([this](int event) { return OnEvent(event); });
    return print_;
  }

 private:
  platform::NaturalSize PageSize() const {
    platform::PageSummary page;
    if (pages_.pages.empty() || !platform::SummarizePageFile(pages_.pages.front(), &page)) {
      return {850, 1100};
    }
    return page.size;
  }

  int OnEvent(int event) {
    switch (event) {
      case windows::kEventOpenWindow: Opened(); break;
      case windows::kEventSized: Show(); break;
      case windows::kEventAlertKey: Key(); break;
      case windows::kEventAccepted: Command(window_.EventControl()); break;
      case windows::kEventNewSelection: Spun(window_.EventControl()); break;
      default: break;
    }
    return windows::kBodyDefault;
  }

  void Opened() {
    windows::EventEngine& engine = AppEngine();
    if (!state_.page_controls_shown()) {
      windows::HideControls(engine, kPagePrompt, kPageSpin);
      windows::HideControls(engine, kNext, kNext);
    } else {
      window_.Set(kPageSpin, windows::kPropRangeLow, "1");
      window_.Set(kPageSpin, windows::kPropRangeHigh, std::to_string(state_.total()));
      window_.Set(kPageSpin, windows::kPropTip, state_.PageTip());
    }
    window_.Set(0, windows::kPropAlertKey, std::to_string(kPageUp), 1);
    window_.Set(0, windows::kPropAlertKey, std::to_string(kPageDown), 2);
    Show();
  }

  void Key() {
    const std::int32_t key = windows::KeyCode(AppEngine());
    if (key == kPageUp) state_.Previous();
    if (key == kPageDown) state_.Next();
    Show();
  }

  void Command(int control) {
    if (control == kPrint || control == kPrintButton) {
      print_ = true;
      window_.PostClose();
      return;
    }
    if (control == kExit || control == kExitButton) {
      window_.PostClose();
      return;
    }
    if (control == kNext) state_.Next();
    if (control == kPrevious) state_.Previous();
    if (control <= kNoZoom && control >= k300) state_.SetZoom(static_cast<PreviewZoom>(kNoZoom - control));
    if (control == kZoomButton) ZoomPopup();
    if (control == kJump) {
      if (const int page = JumpToPage(state_.current(), state_.total()); page > 0) state_.Jump(page);
    }
    if (control == kChangeDisplay) {
      int across = state_.across(), down = state_.down();
      if (SelectDisplay(&across, &down)) state_.SetDisplay(across, down);
    }
    if (control == kPageSpin) state_.Jump(page_);
    if (control == kAcrossSpin || control == kDownSpin) state_.SetDisplay(across_, down_);
    if (control == kZoomedPage) state_.ClickZoomedPage();
    if (control >= kFirstThumbnail && control < kFirstThumbnail + 100) {
      state_.ClickThumbnail(control - kFirstThumbnail);
    }
    Show();
  }

  // A spin box's arrows: the page spin jumps, across and down redisplay.
  void Spun(int control) {
    if (control == kPageSpin) state_.Jump(page_);
    if (control == kAcrossSpin || control == kDownSpin) state_.SetDisplay(across_, down_);
    if (control == kPageSpin || control == kAcrossSpin || control == kDownSpin) Show();
  }

  void ZoomPopup() {
    // Items, separators not counted: 1 no zoom, 2 to 7 the zoom settings;
    // the current setting is checked.
    static constexpr std::string_view kItems[] = {"No Zoom", "Page Width", "50%", "75%",
                                                  "100%",    "200%",       "300%"};
    std::string menu;
    for (int i = 0; i < 7; ++i) {
      if (i == 1) menu += "|-";
      if (i > 0) menu += "|";
      if (static_cast<int>(state_.zoom()) == i) menu += "+";
      menu += kItems[i];
    }
    const int chosen = windows::Popup(AppEngine(), menu);
    if (chosen >= 1 && chosen <= 7) state_.SetZoom(static_cast<PreviewZoom>(chosen - 1));
  }

  // Makes image control `number` when needed, places it and shows `page` in it (0: hides it).
  void PlaceImage(int number, const ThumbnailBox& box) {
    windows::EventEngine& engine = AppEngine();
    windows::ControlObject* image = window_.Object().FindControl(number);
    const platform::Rect rect{box.x, box.y + 19, box.width, box.height};
    if (image == nullptr) {
      (void)windows::CreateControl(engine, windows::rsc::kImage, number, 0, "", rect);
      image = window_.Object().FindControl(number);
      if (image == nullptr) return;
    }
    window_.Set(number, windows::kPropX, std::to_string(rect.x));
    window_.Set(number, windows::kPropY, std::to_string(rect.y));
    window_.Set(number, windows::kPropWidth, std::to_string(rect.width));
    window_.Set(number, windows::kPropHeight, std::to_string(rect.height));
    const bool shown = box.page > 0 &&
                       windows::ShowPageFile(engine, *image, pages_.pages[static_cast<std::size_t>(box.page - 1)]);
    window_.Set(number, windows::kPropHide, shown ? "" : "1");
  }

  void HideImages(int from, int to) {
    for (int number = from; number < to; ++number) {
      if (window_.Object().FindControl(number) != nullptr) window_.Set(number, windows::kPropHide, "1");
    }
  }

  void Show() {
    const int width = std::atoi(window_.Get(0, windows::kPropWidth).c_str());
    const int height = std::atoi(window_.Get(0, windows::kPropHeight).c_str());
    if (state_.zoom() == PreviewZoom::kNone) {
      HideImages(kZoomedPage, kZoomedPage + 1);
      const auto boxes = state_.Thumbnails(width, height);
      for (std::size_t k = 0; k < boxes.size(); ++k) PlaceImage(kFirstThumbnail + static_cast<int>(k), boxes[k]);
      HideImages(kFirstThumbnail + static_cast<int>(boxes.size()), kFirstThumbnail + 100);
    } else {
      HideImages(kFirstThumbnail, kFirstThumbnail + 100);
      const platform::NaturalSize page = PageSize();
      const double factor = ZoomFactor(state_.zoom(), width, page.width);
      PlaceImage(kZoomedPage, {0, 0, static_cast<int>(page.width * factor),
                               static_cast<int>(page.height * factor), state_.current()});
    }
    page_ = state_.current();
    across_ = state_.across();
    down_ = state_.down();
    window_.Display();
    // The spins show their variables only when told: after the select-display
    // or jump window nothing else would show the new across, down or page.
    for (const int spin : {kPageSpin, kAcrossSpin, kDownSpin}) {
      if (windows::ControlObject* control = window_.Object().FindControl(spin)) {
        windows::DisplayControl(AppEngine(), *control);
      }
    }
    window_.Set(0, windows::kPropStatusText, state_.PageText(), kStatusPage);
    window_.Set(0, windows::kPropStatusText, ZoomText(state_.zoom()), kStatusZoom);
  }

  const report::PreviewQueue& pages_;
  PreviewState state_;
  std::int32_t page_ = 1, across_ = 1, down_ = 1;
  bool print_ = false;
  ProcedureWindow window_;
};

}  // namespace

void ReportPreview(const report::PreviewQueue& pages) {
  PreviewWindow window(pages);
  GlobalResponse = window.Run() ? kRequestCompleted : kRequestCancelled;
}

}  // namespace vaultrix::app
