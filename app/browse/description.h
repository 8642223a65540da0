// What a list window tells the browse engine about itself: its file and
// orders, the fields its queue holds, its list and buttons, and its form.
// The engine does everything else (browse/engine.h).
//
// Orders are numbered from 1 in the order of `orders`. An order may limit
// the entries to those whose range field equals its range value (through
// its filter, which names the range value by a bound name):
// - a range value that follows another variable (the password browser's
//   current user) is that variable itself: `range` points at it;
// - a range value saved when the order is chosen also names the record
//   field it is copied from (`range_from_record`).
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/dictionary/data_file.h"

namespace vaultrix::app {

struct BrowseOrder {
  files::KeyBlock* key = nullptr;
  std::string filter;                 // empty: every entry
  std::span<char> range;              // empty: the order has no range value
  std::span<char> range_from_record;  // empty: the range value is not copied
  std::span<char> order_field;        // set by the locator and the thumb drag
  std::span<char> locator_clears;     // cleared by the first-letter locator
};

struct BrowseDescription {
  DataFile* file = nullptr;
  // The record field that takes the order's range value before the view
  // starts (the entries' owner); empty when no order has a range.
  std::span<char> range_field;
  std::vector<BrowseOrder> orders;
  // The order the window shows now (its sheet's tab); null: order 1.
  std::function<int()> choose_order;
  // The record fields each queue row holds, in queue field order.
  std::vector<std::span<char>> queue_fields;
  // Blanks the record buffer and its memos.
  std::function<void()> clear_record;
  // The form that inserts, changes and deletes, called with the global
  // request code; null: the window edits nothing.
  std::function<void()> form;
  int list = 1;
  int insert_button = 0;  // 0: the window has no such button
  int change_button = 0;
  int delete_button = 0;
  // The window's own request code (4: chosen to select a record).
  int request = 0;
  // The character-type flags of the key distribution's alphabet.
  unsigned alphabet_flags = 1;
};

}  // namespace vaultrix::app
