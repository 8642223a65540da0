// Import: the fields of a comma-separated file assigned to the password
// fields in the import window, then every line added as an entry of the
// user.
#include <algorithm>
#include <string>
#include <vector>

#include "app/dictionary/data_dictionary.h"
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/message.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "app/transfer/csv_line.h"
#include "app/transfer/importer.h"
#include "app/transfer/progress.h"
#include "app/transfer/text_files.h"
#include "app/transfer/transfer.h"
#include "app/users/users.h"
#include "runtime/windows/ctllist.h"
#include "runtime/windows/ctllist_window.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

constexpr int kImportFields = 1;
constexpr int kTargets = 2;
constexpr int kNextButton = 3;
constexpr int kRecordNumber = 5;
constexpr int kPictureButton = 6;
constexpr int kAssignButton = 7;
constexpr int kAutoButton = 8;
constexpr int kUnassignButton = 9;
constexpr int kStripCheck = 10;
constexpr int kOkButton = 11;
constexpr int kCancelButton = 12;

constexpr std::size_t kPreviewLength = 100;

struct ImportField {
  std::string name;
  std::string picture;
  std::string value;
};

class ImportWindow {
 public:
  ImportWindow(ImportFile file, std::string user)
      : file_(std::move(file)),
        reader_(file_.text),
        user_(std::move(user)),
        window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx013", "IMPORT$WINDOW", "Import",
                {&record_number_, &strip_}) {}

  void Run() {
    ReadColumns();
    window_.Open();
    (void)windows::BindListQueue(AppEngine(), window_.Object(), kImportFields, &fields_queue_);
    (void)windows::BindListQueue(AppEngine(), window_.Object(), kTargets, &targets_queue_);
    ShowFields();
    ShowTargets();
    window_.Display();
    window_.Accept([this](int event) { return OnEvent(event); });
    window_.Close();
  }

 private:
  // The columns from the first line; a column left unquoted in the second
  // line is numeric. The first line is then the previewed record.
  void ReadColumns() {
    (void)reader_.NextLine();
    for (FieldKind kind = reader_.NextField(); kind != FieldKind::kNone;
         kind = reader_.NextField()) {
      fields_.push_back({"Field_" + std::to_string(fields_.size() + 1), "@S1000", {}});
    }
    if (reader_.NextLine() > 0) {
      for (ImportField& field : fields_) {
        if (reader_.NextField() == FieldKind::kUnquoted) field.picture = "@N30.9";
      }
    }
    reader_.Rewind();
    Preview();
  }

  // The next line's fields as the import fields' values; false at the end.
  bool Preview() {
    if (reader_.NextLine() == 0) return false;
    ++record_number_;
    for (ImportField& field : fields_) {
      (void)reader_.NextField();
      field.value = std::string(CutAtCharacter(reader_.Field(), kPreviewLength));
    }
    return true;
  }

  int OnEvent(int event) {
    const int control = window_.EventControl();
    if (event == windows::kEventNewSelection && control == kImportFields) {
      HighlightTargetOf(Selected(kImportFields));
    } else if (event == windows::kEventNewSelection && control == kTargets) {
      const std::size_t target = Selected(kTargets);
      if (target < kImportTargets && plan_.targets[target] != kUnassigned) {
        Select(kImportFields, static_cast<std::size_t>(plan_.targets[target]));
      }
    } else if (event == windows::kEventAccepted) {
      OnAccepted(control);
    }
    return windows::kBodyDefault;
  }

  void OnAccepted(int control) {
    const std::size_t field = Selected(kImportFields);
    const std::size_t target = Selected(kTargets);
    switch (control) {
      case kNextButton:
        Hide(kAutoButton);
        if (!Preview()) Hide(kNextButton);
        ShowFields();
        ShowRecordNumber();
        return;
      case kPictureButton:
        if (field < fields_.size()) {
          const std::string picture = ImportExport_AskPicture(fields_[field].picture);
          if (!picture.empty()) fields_[field].picture = picture;
          ShowFields();
        }
        return;
      case kAssignButton:
        if (field < fields_.size() && target < kImportTargets) {
          plan_.targets[target] = static_cast<int>(field);
          ShowTargets();
        }
        return;
      case kAutoButton:
        Auto();
        return;
      case kUnassignButton:
        if (target < kImportTargets) plan_.targets[target] = kUnassigned;
        ShowTargets();
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

  // Every unassigned target named by a value of the previewed record takes
  // that column; the record is then a header to strip.
  void Auto() {
    for (std::size_t target = 0; target < kImportTargets; ++target) {
      if (plan_.targets[target] != kUnassigned) continue;
      for (std::size_t column = 0; column < fields_.size(); ++column) {
        if (fields_[column].value == kImportTargetNames[target]) {
          plan_.targets[target] = static_cast<int>(column);
          break;
        }
      }
    }
    if (windows::ControlObject* check = window_.Object().FindControl(kStripCheck)) {
      (void)AppEngine().System().SetCheck(check->handle, 1);
    }
    strip_ = 1;
    ShowTargets();
  }

  void OnOk() {
    const bool assigned = std::any_of(std::begin(plan_.targets), std::end(plan_.targets),
                                      [](int column) { return column != kUnassigned; });
    if (!assigned) {
      platform::MessageBoxRequest request;
      request.caption = "No Fields Selected for Import!";
      request.text = "You must select one or more fields to import.";
      request.icon = platform::MessageBoxIcon::kExclamation;
      (void)Message(request);
      return;
    }
    window_.PostClose();
    plan_.user = user_;
    plan_.strip_header = Checked(kStripCheck);
    for (const ImportField& field : fields_) plan_.pictures.push_back(field.picture);
    Importer importer(reader_, plan_);
    (void)RunProgress(
        {"VAULTRIX$vltrx013", "IMPORT$PROGRESSWINDOW", "Import", "Importing Records", ""},
        [&] { return importer.Start(); },
        [&](std::int32_t& percent) { return importer.Slice(percent); });
    importer.Finish();  // a Cancel keeps what was added
  }

  // The record number as the display's picture "@n6" shows it.
  void ShowRecordNumber() {
    std::string number = std::to_string(record_number_);
    if (number.size() < 6) number.insert(0, 6 - number.size(), ' ');
    window_.Set(kRecordNumber, windows::kPropText, number);
  }

  void HighlightTargetOf(std::size_t field) {
    for (std::size_t target = 0; target < kImportTargets; ++target) {
      if (plan_.targets[target] == static_cast<int>(field)) {
        Select(kTargets, target);
        return;
      }
    }
  }

  bool Checked(int control) {
    windows::ControlObject* c = window_.Object().FindControl(control);
    if (c == nullptr) return false;
    const auto info = AppEngine().System().GetWindowInfo(c->handle);
    return info && info->check != 0;
  }

  void Hide(int control) {
    if (windows::ControlObject* c = window_.Object().FindControl(control)) {
      (void)AppEngine().System().ShowWindow(c->handle, 0);
    }
  }

  std::size_t Selected(int list) {
    const std::string value = window_.Get(list, windows::kPropSelected);
    const long row = value.empty() ? 0 : std::strtol(value.c_str(), nullptr, 10);
    return row > 0 ? static_cast<std::size_t>(row - 1) : std::string::npos;
  }

  void Select(int list, std::size_t row) {
    window_.Set(list, windows::kPropSelected, std::to_string(row + 1));
  }

  void ShowFields() {
    const std::size_t selected = Selected(kImportFields);
    auto& rows = fields_queue_.rows();
    rows.clear();
    for (const ImportField& field : fields_) {
      rows.push_back({field.name, field.picture, field.value});
    }
    (void)windows::ListQueueChanged(AppEngine(), window_.Object(), kImportFields);
    if (selected == std::string::npos && !rows.empty()) Select(kImportFields, 0);
  }

  void ShowTargets() {
    const std::size_t selected = Selected(kTargets);
    auto& rows = targets_queue_.rows();
    rows.clear();
    for (std::size_t target = 0; target < kImportTargets; ++target) {
      const int column = plan_.targets[target];
      rows.push_back({kImportTargetNames[target], column == kUnassigned ? "" : "=",
                      column == kUnassigned ? "" : fields_[static_cast<std::size_t>(column)].name});
    }
    (void)windows::ListQueueChanged(AppEngine(), window_.Object(), kTargets);
    if (selected == std::string::npos) Select(kTargets, 0);
  }

  ImportFile file_;
  CsvReader reader_;
  std::string user_;
  std::vector<ImportField> fields_;
  ImportPlan plan_;
  windows::TableListQueue fields_queue_;
  windows::TableListQueue targets_queue_;
  std::int32_t record_number_ = 0;
  std::uint8_t strip_ = 0;
  ProcedureWindow window_;
};

}  // namespace

void Import() {
  (void)TakeRequest();
  // The users file stays open across the login, so that the chosen user is
  // still in U_ when the login's own use of the file ends (its record buffer
  // is wiped when the last use closes).
  FileUse users(Users());
  if (!ChooseUser()) return;
  const std::string user(U_.Name.Clipped());
  FileUse passwords(Passwords());
  ImportFile file;
  if (!ChooseImportFile(platform::kNoWindow, file)) return;
  ImportWindow window(std::move(file), user);
  window.Run();
}

}  // namespace vaultrix::app
