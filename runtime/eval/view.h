// Views: file-like objects that read a primary file in a chosen order and
// pass on only the records that satisfy a filter expression. A view is
// called through the file operations like any file (file_api.h takes
// view.Block()); its driver is the view engine:
//
//   on every call while in its first-use form, the view asks the primary
//   file's driver for an engine of its own (operation 74); a non-zero answer
//   (the address of that engine's dispatch routine, in call.result) serves
//   the view from then on until CLOSE. Otherwise the generic engine below
//   serves it.
//
// The generic engine lives with the evaluator rather than with the file
// layer because filtering and ordering are evaluations of compiled
// expressions; it reaches the files only through the operation frame.
//
// Operations served: OPEN 25, CLOSE 7, NEXT 24, PREVIOUS 31, SKIP 49,
// POSITION 61, RESET 63, REGET 66, GET by pointer 16, RECORDS 32, start by
// order values 81, property write 71 (PROP:Filter, PROP:Order); DELETE 11,
// PUT 30, HOLD 18/19, RELEASE 36 and WATCH 58 pass to the primary file
// unless an order list is set (then 80). Anything else answers 80.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "runtime/files/file_descriptor.h"
#include "runtime/files/operation.h"

namespace vaultrix::eval {

inline constexpr std::int32_t kPropFilter = 0x7CB8;
inline constexpr std::int32_t kPropOrder = 0x7CE6;

// The static view descriptor. The file block comes first, so that the
// engine finds the view from the block that the operations carry.
struct ViewBlock {
  files::FileBlock block;                    // driver: the view engine
  std::uint32_t reserved = 0;
  files::FileBlock* const* files = nullptr;  // the primary file first, then nullptr
  files::DriverDispatch engine = nullptr;    // a driver's own engine, once one answered 74
};
static_assert(std::is_standard_layout_v<ViewBlock>);

// The registration of the view engine (every view's block names it).
[[nodiscard]] const files::DriverRegistration& ViewEngineRegistration();

// A declared view and what its block points at.
class DeclaredView {
 public:
  explicit DeclaredView(std::vector<files::FileBlock*> files);
  DeclaredView(const DeclaredView&) = delete;
  DeclaredView& operator=(const DeclaredView&) = delete;
  ~DeclaredView();  // closes the view if it is open

  [[nodiscard]] files::FileBlock& Block() { return view_.block; }
  [[nodiscard]] ViewBlock& View() { return view_; }

 private:
  ViewBlock view_;
  std::vector<files::FileBlock*> files_;
  std::vector<std::uint8_t> layout_;
};

}  // namespace vaultrix::eval
