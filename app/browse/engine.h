// The browse engine: the page-loading list behind every list window. It
// keeps in memory only the rows the list can show (the page queue) and reads
// further entries through a view of the window's file as the user scrolls,
// types a first letter, drags the thumb, changes the order or edits an entry.
//
// A window describes itself (browse/description.h), hands the engine its
// surface (browse/surface.h) and passes every event of its loop to
// TakeEvent first. The view reads the file in the order's key through the
// order's filter; the names the filters use must be bound by the window.
//
// Rows and the current choice count from 1; 0 means none.
//
// Locks: REQUIRES the runtime lock, like every procedure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/browse/description.h"
#include "app/browse/queue.h"
#include "app/browse/surface.h"
#include "runtime/eval/view.h"

namespace vaultrix::app {

enum class RefreshMode { kNone, kOnView, kOnQueue, kFromTop, kFromBottom, kOnFirstRow };
enum class LocateMode { kNone, kEdited, kOnKeyValue, kOnKeyPosition };

// One event of the window's loop as the engine needs it.
struct BrowseInput {
  int event = 0;
  int control = 0;
  std::int32_t key_code = 0;
  char key_character = '\0';
};

class BrowseEngine {
 public:
  BrowseEngine(BrowseDescription description, BrowseSurface& surface);
  ~BrowseEngine();
  BrowseEngine(const BrowseEngine&) = delete;
  BrowseEngine& operator=(const BrowseEngine&) = delete;

  // The engine's share of an event: true when it took it.
  bool TakeEvent(const BrowseInput& input);

  // Reset order, the thumb applied to the list, the window shown again.
  void RefreshWindow();
  // The next refresh window starts the order again on the highlighted entry
  // (after the window gained the focus or changed its size).
  void ForceRefresh() { force_refresh_ = true; }
  // Re-reads the highlighted entry whole into the record buffer, watching it.
  void GetRecord();

  // ---- The steps, for windows that drive them and for measurement ----
  void ResetView();
  void FillRecord();
  void RefreshPage();
  void LocateRecord();
  void ScrollOne(bool up);
  void ScrollPage(bool up);
  void ScrollToEnd(bool bottom);
  void ScrollDrag(int position);
  void LocateFirstLetter(char character);
  void BuildKeyDistribution();
  void ResetOrder();
  void PostNewSelection();
  void NewSelection(std::int32_t key_code);
  void FillBuffer(int row);
  // Insert (request 1), change (2) or delete (3) through the form.
  void Edit(int request);

  void SetRefreshMode(RefreshMode mode) { refresh_mode_ = mode; }
  void SetLocateMode(LocateMode mode) { locate_mode_ = mode; }

  // ---- What the engine holds ----
  [[nodiscard]] const BrowseDescription& Description() const { return description_; }
  [[nodiscard]] BrowseQueue& Queue() { return queue_; }
  [[nodiscard]] int RecordsInQueue() const { return queue_.Records(); }
  [[nodiscard]] int CurrentChoice() const { return current_choice_; }
  [[nodiscard]] int Order() const { return order_; }
  [[nodiscard]] const std::vector<std::string>& Distribution() const;
  [[nodiscard]] int Thumb() const { return thumb_; }
  // The window's response after its last edit (2: cancelled).
  [[nodiscard]] int Response() const { return response_; }
  // Entries read from the view so far (NEXT, PREVIOUS and REGET).
  [[nodiscard]] std::int64_t Reads() const { return reads_; }
  // True once a read error closed the window.
  [[nodiscard]] bool Failed() const { return failed_; }

 private:
  struct OrderState {
    std::string last_reset;
    std::vector<std::string> distribution;
  };

  BrowseOrder& CurrentOrder();
  OrderState& CurrentState();
  void StartView();
  std::int32_t ReadOne(bool backward);
  BrowseRow MakeRow(std::string position) const;
  void RestoreRange();
  void ReportRetrievalError();
  void EmptyQueue();
  void ShowChoice();
  void PlaceThumb();
  bool OrderGoesOn();
  void AlertKey(std::int32_t key_code);
  bool ListEvent(const BrowseInput& input);
  void Press(int button);
  bool RangeChanged();
  void CopyRange();

  BrowseDescription description_;
  BrowseSurface& surface_;
  eval::DeclaredView view_;
  BrowseQueue queue_;
  std::vector<OrderState> states_;

  int current_choice_ = 0;
  int items_to_fill_ = 0;
  bool fill_forward_ = true;
  bool add_to_queue_ = true;
  RefreshMode refresh_mode_ = RefreshMode::kNone;
  LocateMode locate_mode_ = LocateMode::kNone;
  std::string held_position_;
  int order_ = 0;
  int previous_order_ = 0;
  int thumb_ = 0;
  bool force_refresh_ = false;
  bool new_selection_posted_ = false;
  bool first_reset_ = true;
  bool failed_ = false;
  int response_ = 0;
  std::int64_t reads_ = 0;
};

}  // namespace vaultrix::app
