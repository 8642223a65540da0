// The password browser's orders.
#include "app/browse/password_orders.h"

#include "runtime/eval/symbol_table.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {

void BindPasswordOrders(PasswordRanges& ranges) {
  (void)eval::BindRecord(Passwords().Block());
  eval::BIND("P_:Notes", eval::Ref(Passwords().Memo(kMemoNotes)));
  eval::BIND("P_:MoreNotes", eval::Ref(Passwords().Memo(kMemoMoreNotes)));
  eval::BIND("BRW1::Sort1:Save:P_:User", eval::Ref(ranges.sort1));
  eval::BIND("BRW1::Sort2:Save:P_:User", eval::Ref(ranges.sort2));
  eval::BIND("BRW1::Sort3:Reset:U_:Name", eval::Ref(U_.Name));
}

BrowseDescription PasswordBrowseDescription(PasswordRanges& ranges) {
  DataFile& file = Passwords();
  BrowseDescription description;
  description.file = &file;
  description.range_field = P_.User.Bytes();
  description.orders = {
      {&file.Key(kKeyUrl), "UPPER(P_:User) = UPPER(BRW1::Sort1:Save:P_:User)",
       ranges.sort1.Bytes(), P_.User.Bytes(), P_.URL.Bytes(), P_.Name.Bytes()},
      {&file.Key(kKeyName), "UPPER(P_:User) = UPPER(BRW1::Sort2:Save:P_:User)",
       ranges.sort2.Bytes(), P_.User.Bytes(), P_.Name.Bytes(), P_.Service.Bytes()},
      {&file.Key(kKeyService), "UPPER(P_:User) = UPPER(BRW1::Sort3:Reset:U_:Name)",
       U_.Name.Bytes(), {}, P_.Service.Bytes(), P_.Name.Bytes()},
  };
  description.queue_fields = {P_.Service.Bytes(), P_.URL.Bytes(), P_.Name.Bytes(),
                              file.MemoText(kMemoNotes), P_.User.Bytes()};
  description.clear_record = [] {
    P_ = PasswordRecord{};
    support::BlankFixed(Passwords().MemoText(kMemoNotes));
    support::BlankFixed(Passwords().MemoText(kMemoMoreNotes));
  };
  return description;
}

}  // namespace vaultrix::app
