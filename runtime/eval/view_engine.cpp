// The view's dispatch: the first-use request for a driver's own engine, and
// the generic engine with its per-view state.
#include <array>
#include <cstring>
#include <optional>

#include "runtime/eval/view.h"
#include "runtime/eval/view_reader.h"
#include "runtime/files/dispatch.h"
#include "runtime/files/driver.h"
#include "runtime/files/file_state.h"
#include "runtime/files/record_layout.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::eval {
namespace {

using files::Operation;
using support::kNoError;

// What a view holds from OPEN to CLOSE.
struct ViewState final : files::DriverState {
  std::unique_ptr<Expression> filter;
  std::optional<std::vector<OrderItem>> order;
  bool backward = false;
  bool start_pending = false;
  std::int64_t start_values = 0;
  // Last, so it goes first: its readers refer to the filter and the order.
  std::unique_ptr<ViewReader> cursor;
};

ViewBlock& ViewOf(files::FileBlock& block) { return reinterpret_cast<ViewBlock&>(block); }

files::FileBlock* PrimaryOf(const ViewBlock& view) {
  return view.files == nullptr ? nullptr : view.files[0];
}

ViewState& StateOf(files::FileBlock& block) {
  ViewState* state = files::DriverStateOf<ViewState>(block);
  if (state == nullptr) state = &files::EmplaceDriverState<ViewState>(block);
  return *state;
}

// Builds the reader chain when there is none. The chain starts at its start
// position, reading forward.
std::int32_t EnsureCursor(ViewState& state, files::FileBlock& primary) {
  if (state.cursor != nullptr) return kNoError;
  if (primary.state == nullptr) return support::kFileNotOpen;
  std::unique_ptr<ViewReader> reader = MakeBaseReader(primary);
  if (state.filter != nullptr) {
    reader = MakeFilterReader(std::move(reader), primary, *state.filter, true);
  }
  if (state.order.has_value() && !state.order->empty()) {
    reader = MakeOrderingReader(std::move(reader), *state.order);
  }
  const std::int32_t code = reader->Start();
  if (code != kNoError) return code;
  state.cursor = std::move(reader);
  state.backward = false;
  return kNoError;
}

std::int32_t ReadOne(ViewState& state, files::FileBlock& primary, bool backward) {
  if (const std::int32_t code = EnsureCursor(state, primary); code != kNoError) return code;
  state.backward = backward;
  if (state.start_pending) {
    state.start_pending = false;
    const std::int32_t code = state.start_values == 0
                                  ? state.cursor->Start()
                                  : state.cursor->StartAtOrderValues(state.start_values);
    if (code != kNoError) return code;
  }
  const std::int32_t code = state.cursor->Read(backward);
  if (code == support::kRecordNotAvailable) {
    // The end of the passing records: back to the start position.
    support::PushErrorState();
    (void)state.cursor->Start();
    support::PopErrorState();
  }
  return code;
}

std::int32_t SetFilter(ViewState& state, std::string_view text) {
  state.cursor.reset();
  state.filter.reset();
  if (support::IsBlank(text)) return kNoError;
  state.filter = Compile(text);
  return state.filter == nullptr ? files::kNothingToPost : kNoError;
}

std::int32_t SetOrder(ViewState& state, std::string_view text) {
  state.cursor.reset();
  state.order.reset();
  if (support::IsBlank(text)) return kNoError;
  state.order = CompileList(text);
  return state.order.has_value() ? kNoError : files::kNothingToPost;
}

// DELETE, PUT, HOLD, RELEASE and WATCH act on the primary file itself.
std::int32_t PassToPrimary(ViewState& state, files::FileBlock& primary, Operation op,
                           const files::OperationCall& call) {
  if (state.order.has_value() && !state.order->empty()) {
    return support::kUnsupportedFileDriverFunction;
  }
  files::OperationCall forwarded;
  forwarded.file = &primary;
  forwarded.number = call.number;
  files::Dispatch(op, forwarded);
  return files::kNothingToPost;  // the primary's outcome stands as posted
}

std::int32_t GenericEngine(ViewBlock& view, Operation op, files::OperationCall& call) {
  files::FileBlock* primary = PrimaryOf(view);
  if (primary == nullptr) return support::kUnsupportedFileDriverFunction;
  ViewState& state = StateOf(view.block);
  switch (op) {
    case Operation::kOpen:
      state.cursor.reset();
      state.start_pending = false;
      return kNoError;
    case Operation::kClose:
      view.engine = nullptr;
      return kNoError;  // the frame frees the state
    case Operation::kNext:
    case Operation::kPrevious:
      return ReadOne(state, *primary, op == Operation::kPrevious);
    case Operation::kSkip: {
      const bool backward = call.number < 0;
      for (std::int64_t n = backward ? -call.number : call.number; n > 0; --n) {
        if (const std::int32_t code = ReadOne(state, *primary, backward); code != kNoError) {
          return code;
        }
      }
      return kNoError;
    }
    case Operation::kPositionFile: {
      if (const std::int32_t code = EnsureCursor(state, *primary); code != kNoError) return code;
      return state.cursor->Position(&call.text_result);
    }
    case Operation::kResetFile: {
      if (const std::int32_t code = EnsureCursor(state, *primary); code != kNoError) return code;
      state.start_pending = false;
      return state.cursor->Reset(call.text);
    }
    case Operation::kRegetFile: {
      if (const std::int32_t code = EnsureCursor(state, *primary); code != kNoError) return code;
      return state.cursor->Reget(call.text);
    }
    case Operation::kGetByPointer: {
      if (const std::int32_t code = EnsureCursor(state, *primary); code != kNoError) return code;
      return state.cursor->GetByPointer(call.number);
    }
    case Operation::kRecordsFile: {
      if (const std::int32_t code = EnsureCursor(state, *primary); code != kNoError) return code;
      return state.cursor->Records(&call.result);
    }
    case Operation::kViewSkip:
      state.start_pending = true;
      state.start_values = call.number;
      return kNoError;
    case Operation::kPropertyWrite:
      if (call.number == kPropFilter) return SetFilter(state, call.text);
      if (call.number == kPropOrder) return SetOrder(state, call.text);
      return support::kUnsupportedFileDriverFunction;
    case Operation::kDelete:
    case Operation::kPut:
    case Operation::kHold:
    case Operation::kHoldTimed:
    case Operation::kRelease:
    case Operation::kWatch:
      return PassToPrimary(state, *primary, op, call);
    default:
      return support::kUnsupportedFileDriverFunction;
  }
}

// Asks the primary file's driver for an engine of its own.
files::DriverDispatch DriverEngine(files::FileBlock& primary) {
  if (primary.driver == nullptr || primary.state == nullptr ||
      !files::ServesOperation(*primary.driver, Operation::kViewRequest)) {
    return nullptr;
  }
  files::OperationCall request;
  request.file = &primary;
  if (primary.driver->dispatch(Operation::kViewRequest, request) != kNoError) return nullptr;
  return reinterpret_cast<files::DriverDispatch>(static_cast<std::intptr_t>(request.result));
}

std::int32_t ViewDispatch(Operation op, files::OperationCall& call) {
  ViewBlock& view = ViewOf(*call.file);
  if (view.engine == nullptr) {
    files::FileBlock* primary = PrimaryOf(view);
    if (primary != nullptr) view.engine = DriverEngine(*primary);
  }
  if (view.engine != nullptr) {
    const files::DriverDispatch engine = view.engine;
    if (op == Operation::kClose) view.engine = nullptr;
    return engine(op, call);
  }
  return GenericEngine(view, op, call);
}

// Every operation reaches the engine, which answers 80 for those it does
// not serve (a driver's own engine may serve more).
const std::uint8_t* AllOperations() {
  static const auto list = [] {
    std::array<std::uint8_t, 82> codes{};
    codes[0] = 81;
    for (std::uint8_t i = 1; i <= 81; ++i) codes[i] = i;
    return codes;
  }();
  return list.data();
}

const std::uint8_t kNoFieldTypes[] = {0};

}  // namespace

const files::DriverRegistration& ViewEngineRegistration() {
  static const files::DriverRegistration registration = [] {
    files::DriverRegistration r;
    std::memcpy(r.name, "VIEW", 4);
    r.description = "generic view engine";
    r.dispatch = &ViewDispatch;
    r.operations = AllOperations();
    r.field_types = kNoFieldTypes;
    return r;
  }();
  return registration;
}

DeclaredView::DeclaredView(std::vector<files::FileBlock*> files) : files_(std::move(files)) {
  files_.push_back(nullptr);
  layout_ = files::WriteRecordLayout({});
  view_.block.driver = &ViewEngineRegistration();
  // Errors of the view name its primary file.
  if (files_.front() != nullptr) view_.block.name = files_.front()->name;
  view_.block.layout = layout_.data();
  view_.block.layout_size = static_cast<std::uint32_t>(layout_.size());
  view_.files = files_.data();
}

DeclaredView::~DeclaredView() {
  if (view_.block.state != nullptr) {
    support::PushErrorState();
    files::OperationCall call;
    call.file = &view_.block;
    files::Dispatch(Operation::kClose, call);
    support::PopErrorState();
  }
}

}  // namespace vaultrix::eval
