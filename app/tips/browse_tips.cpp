// BrowseTips: the tips in TIP:KEYTIPID order, one column "Tip" showing the
// first 255 bytes of each, never ending in half a character. Insert, Change
// and Delete go to the tip form (UpdateTips) with the request code; the
// browse engine re-reads the list afterwards and highlights the tip
// concerned.
//
// The tips' only order is a number, so the list has no text for the
// first-letter locator or the thumb's key distribution to work on: both
// find the highlighted tip again.
#include <algorithm>

#include "app/browse/list_window.h"
#include "app/dictionary/data_dictionary.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/tips/windows.h"
#include "app/tips/tips.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/eval/variable.h"
#include "runtime/support/fixed_string.h"
#include "runtime/windows/event_codes.h"

namespace vaultrix::app {
namespace {

constexpr std::size_t kTipColumnWidth = 255;

BrowseDescription TipListDescription() {
  DataFile& file = TipOfTheDay();
  const std::span<char> text = file.MemoText(kMemoTipDesc);
  BrowseDescription description;
  description.file = &file;
  description.orders = {{&file.Key(kFirstKey), "", {}, {}, {}, {}}};
  description.queue_fields = {text.first(std::min(text.size(), kTipColumnWidth))};
  description.clear_record = [] {
    TIP = TipRecord{};
    support::BlankFixed(TipOfTheDay().MemoText(kMemoTipDesc));
  };
  description.list = kBrowseTipsList;
  description.insert_button = kBrowseTipsInsert;
  description.change_button = kBrowseTipsChange;
  description.delete_button = kBrowseTipsDelete;
  description.form = UpdateTips;
  return description;
}

}  // namespace

void BrowseTips() {
  (void)TakeRequest();
  {
    FileUse tips(TipOfTheDay());
    eval::PUSHSCOPE();
    (void)eval::BindRecord(TipOfTheDay().Block());
    eval::BIND("TIP:TipDesc", eval::Ref(TipOfTheDay().Memo(kMemoTipDesc)));
    ListWindow window("VAULTRIX$vltrx017", "BROWSETIPS$QUICKWINDOW", "BrowseTips");
    window.Open(TipListDescription());
    window.Accept([&](int event, int control) {
      if (event == windows::kEventAccepted && control == kBrowseTipsClose) {
        window.Window().PostClose();
      }
    });
    window.Close();
    eval::POPSCOPE();
  }
  LeaveResponse(kRequestCancelled);
}

}  // namespace vaultrix::app
