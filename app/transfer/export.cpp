// Export: the user's entries written to a comma-separated file, with the
// fields, order and pictures chosen in the export window.
#include <string>

#include "app/dictionary/data_dictionary.h"
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/message.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "app/services/standard_warnings.h"
#include "app/transfer/csv_line.h"
#include "app/transfer/export_fields.h"
#include "app/transfer/export_writer.h"
#include "app/transfer/progress.h"
#include "app/transfer/text_files.h"
#include "app/transfer/transfer.h"
#include "app/users/users.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"
#include "runtime/windows/ctllist.h"
#include "runtime/windows/ctllist_window.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

constexpr int kAllFields = 1;
constexpr int kAddButton = 2;
constexpr int kRemoveButton = 3;
constexpr int kShiftUpButton = 4;
constexpr int kShiftDownButton = 5;
constexpr int kPictureButton = 6;
constexpr int kExportFields = 7;
constexpr int kTypeDisplay = 9;
constexpr int kHeaderCheck = 10;
constexpr int kOkButton = 11;
constexpr int kCancelButton = 12;

constexpr std::string_view kHeaderPicture = "@s50";
// How a marked entry of "All Fields" is shown.
constexpr std::string_view kMarkPrefix = "> ";
constexpr std::int32_t kSpaceKey = 0x20;

class ExportWindow {
 public:
  explicit ExportWindow(std::string user)
      : user_(std::move(user)),
        window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx014", "EXPORT$WINDOW", "Export",
                {type_.data(), &header_}) {}

  void Run() {
    window_.Open();
    (void)windows::BindListQueue(AppEngine(), window_.Object(), kAllFields, &all_queue_);
    (void)windows::BindListQueue(AppEngine(), window_.Object(), kExportFields, &chosen_queue_);
    ShowAll();
    window_.Set(kAllFields, windows::kPropAlertKeys, std::to_string(kSpaceKey), 1);
    windows::SelectControl(AppEngine(), kAllFields);
    window_.Accept([this](int event) { return OnEvent(event); });
    window_.Close();
  }

 private:
  int OnEvent(int event) {
    const int control = window_.EventControl();
    if (event == windows::kEventNewSelection && control == kAllFields) {
      OnMarkingInput(windows::KeyCode(AppEngine()));
    } else if (event == windows::kEventAlertKey && control == kAllFields) {
      fields_.Toggle(Selected(kAllFields));
      ShowAll();
    } else if (event == windows::kEventNewSelection && control == kExportFields) {
      ShowType();
    } else if (event == windows::kEventAccepted) {
      OnAccepted(control);
    }
    return windows::kBodyDefault;
  }

  void OnMarkingInput(std::int32_t key) {
    namespace keys = windows::list_keys;
    const std::size_t row = Selected(kAllFields);
    const std::int32_t base = key & 0xFF;
    const bool shift = (key & keys::kShift) != 0;
    const bool ctrl = (key & keys::kCtrl) != 0;
    const bool navigation = base == keys::kUp || base == keys::kDown || base == keys::kPageUp ||
                            base == keys::kPageDown || base == keys::kHome || base == keys::kEnd;
    if (base == keys::kLeftClick && !shift) {
      if (ctrl) {
        fields_.Toggle(row);
      } else {
        fields_.MarkOnly(row);
      }
    } else if (shift && (base == keys::kLeftClick || navigation)) {
      fields_.MarkRange(row);
    } else {
      return;
    }
    ShowAll();
  }

  void OnAccepted(int control) {
    const std::size_t chosen = Selected(kExportFields);
    switch (control) {
      case kAddButton: {
        const std::size_t first = fields_.Add();
        ShowChosen(first == std::string::npos ? chosen : first);
        return;
      }
      case kRemoveButton:
        fields_.Remove(chosen);
        ShowChosen(chosen);
        return;
      case kShiftUpButton:
      case kShiftDownButton:
        ShowChosen(fields_.Shift(chosen, control == kShiftUpButton));
        return;
      case kPictureButton:
        if (chosen < fields_.Chosen().size()) {
          fields_.SetPicture(chosen, ImportExport_AskPicture(fields_.Chosen()[chosen].picture));
          ShowChosen(chosen);
        }
        return;
      case kOkButton:
        OnOk();
        return;
      case kCancelButton:
        window_.PostClose();
        return;
      default:
        return;
    }
  }

  void OnOk() {
    if (fields_.Chosen().empty()) {
      platform::MessageBoxRequest request;
      request.caption = "No Fields Selected for Export!";
      request.text = "You must select one or more fields to export.";
      request.icon = platform::MessageBoxIcon::kExclamation;
      (void)Message(request);
      windows::SelectControl(AppEngine(), kAllFields);
      return;
    }
    window_.PostClose();
    ExportFile file;
    if (!file.Choose(window_.Object().handle)) return;
    if (Checked(kHeaderCheck)) {
      LineBuilder header;
      for (const TransferField& field : fields_.Chosen())
        header.Add(field.name, kHeaderPicture, true);
      if (!file.WriteLine(header.Text())) return;
    }
    ExportWriter writer(file, fields_.Chosen(), user_);
    (void)RunProgress(
        {"VAULTRIX$vltrx014", "EXPORT$PROGRESSWINDOW", "Export", "Exporting Records",
         "Exporting Passwords"},
        [&] { return writer.Start(); },
        [&](std::int32_t& percent) { return writer.Slice(percent); });
    (void)file.Close();
  }

  bool Checked(int control) {
    windows::ControlObject* c = window_.Object().FindControl(control);
    if (c == nullptr) return false;
    const auto info = AppEngine().System().GetWindowInfo(c->handle);
    return info && info->check != 0;
  }

  // The selected row of a list, from 0; npos when none.
  std::size_t Selected(int list) {
    const std::string value = window_.Get(list, windows::kPropSelected);
    const long row = value.empty() ? 0 : std::strtol(value.c_str(), nullptr, 10);
    return row > 0 ? static_cast<std::size_t>(row - 1) : std::string::npos;
  }

  void ShowAll() {
    auto& rows = all_queue_.rows();
    rows.clear();
    for (std::size_t i = 0; i < fields_.All().size(); ++i) {
      rows.push_back(
          {(fields_.Marked(i) ? std::string(kMarkPrefix) : std::string()) + fields_.All()[i].name});
    }
    (void)windows::ListQueueChanged(AppEngine(), window_.Object(), kAllFields);
  }

  void ShowChosen(std::size_t select) {
    auto& rows = chosen_queue_.rows();
    rows.clear();
    for (const TransferField& field : fields_.Chosen()) rows.push_back({field.name});
    (void)windows::ListQueueChanged(AppEngine(), window_.Object(), kExportFields);
    if (!rows.empty()) {
      const std::size_t row = std::min(select == std::string::npos ? 0 : select, rows.size() - 1);
      window_.Set(kExportFields, windows::kPropSelected, std::to_string(row + 1));
    }
    ShowType();
  }

  void ShowType() {
    const std::size_t chosen = Selected(kExportFields);
    type_ = chosen < fields_.Chosen().size() ? ExportTypeOf(fields_.Chosen()[chosen].picture)
                                             : std::string();
    window_.Set(kTypeDisplay, windows::kPropText, type_.Clipped());
  }

  std::string user_;
  ExportFields fields_;
  windows::TableListQueue all_queue_;
  windows::TableListQueue chosen_queue_;
  support::FixedString<30> type_;
  std::uint8_t header_ = 0;
  ProcedureWindow window_;
};

}  // namespace

void Export() {
  (void)TakeRequest();
  // Open across the login, as in Import: the chosen user stays in U_.
  FileUse users(Users());
  if (!ChooseUser()) return;
  const std::string user(U_.Name.Clipped());
  FileUse passwords(Passwords());
  ExportWindow window(user);
  window.Run();
}

}  // namespace vaultrix::app
