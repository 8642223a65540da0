#include "app/reports/print_passwords.h"

#include "app/dictionary/data_dictionary.h"
#include "app/program/run.h"
#include "app/reports/preview_state.h"
#include "app/reports/report_preview.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "app/services/standard_actions.h"
#include "app/services/standard_warnings.h"
#include "app/users/users.h"
#include "platform/printer.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/eval/view.h"
#include "runtime/files/file_api.h"
#include "runtime/report/report.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

struct ReportLayout {
  const char* module;
  const char* report;
  const char* progress;
  std::size_t key;
};

constexpr ReportLayout kLayouts[] = {
    {"VAULTRIX$vltrx010", "PRINTP_:KEYSERVICE$REPORT", "PRINTP_:KEYSERVICE$PROGRESSWINDOW", kKeyService},
    {"VAULTRIX$vltrx011", "PRINTP_:KEYURL$REPORT", "PRINTP_:KEYURL$PROGRESSWINDOW", kKeyUrl},
    {"VAULTRIX$vltrx012", "PRINTP_:KEYNAME$REPORT", "PRINTP_:KEYNAME$PROGRESSWINDOW", kKeyName},
};

// Controls of the progress windows.
constexpr int kUpperText = 2, kLowerText = 3, kCancel = 4;
constexpr std::string_view kFilter = "UPPER(P_:User) = UPPER(U_:Name)";
constexpr std::int32_t kViewOpenWarning = 36, kRetrievalWarning = 35;

class ReportRun {
 public:
  explicit ReportRun(const ReportLayout& layout)
      : layout_(layout),
        progress_(windows::WindowKind::kPlainWindow, layout.module, layout.progress, "",
                  {&progress_value_}),
        view_({&Passwords().Block()}) {
    const std::span<char> notes = Passwords().MemoText(kMemoNotes);
    windows::OpenWindowResource(&report_, windows::WindowKind::kReport, layout.module, layout.report,
                                {P_.Service.data(), P_.URL.data(), P_.Name.data(), P_.Password.data(),
                                 notes.empty() ? nullptr : notes.data()});
  }

  ~ReportRun() {
    if (report::ReportIsOpen(*report_)) report::CloseReport(*report_);
    files::Close(view_.Block());
  }

  void Run() {
    progress_.Open();
    progress_.Accept([this](int event) { return OnEvent(event); });
    progress_.Close();
    (void)files::Send(Passwords().Block(), "QUICKSCAN=off");
    if (!completed_) return;
    report::EndPage(*report_);
    ReportPreview(preview_);
    if (GlobalResponse == kRequestCompleted) {
      const platform::PrintSetupResult chosen = ChosenPrinter();
      if (auto printer = platform::CurrentPrinter(); printer && chosen.accepted) {
        printer->Choose(chosen.printer, chosen.pdf_path);
      }
      (void)report::PrintPreviewPages(*report_);
    }
  }

 private:
  int OnEvent(int event) {
    if (event == windows::kEventOpenWindow) Start();
    if (event == windows::kEventTimer) Slice();
    if (event == windows::kEventAccepted && progress_.EventControl() == kCancel) progress_.PostClose();
    return windows::kBodyDefault;
  }

  void Start() {
    progress_.Set(0, windows::kPropText, "Generating Report");
    progress_.Set(kUpperText, windows::kPropText, "");
    progress_.Set(kLowerText, windows::kPropText, ProgressText(0));
    (void)files::Send(Passwords().Block(), "QUICKSCAN=on");
    files::Set(Passwords().Key(layout_.key));
    files::SetProperty(view_.Block(), eval::kPropFilter, kFilter);
    if (support::ErrorCode() != support::kNoError) (void)ShowWarning(kViewOpenWarning);
    files::Open(view_.Block());
    if (support::ErrorCode() != support::kNoError) (void)ShowWarning(kViewOpenWarning);
    if (!ReadNext()) return;
    report::OpenReport(*report_, &preview_);
  }

  // Prints up to 25 entries; the end of the view completes the report.
  void Slice() {
    if (!report::ReportIsOpen(*report_)) return;
    for (int i = 0; i < kReportRecordsPerTimer; ++i) {
      report::Print(*report_, report::BandIndex(*report_, windows::rsc::kDetailBand));
      if (!ReadNext()) {
        completed_ = !failed_;
        return;
      }
    }
  }

  // Reads the next entry and shows the progress; false at the end or on an
  // error (which is reported), with a close of the window requested.
  bool ReadNext() {
    files::Next(view_.Block());
    const std::int32_t error = support::ErrorCode();
    if (error != support::kNoError) {
      if (error != support::kRecordNotAvailable) {
        (void)ShowWarning(kRetrievalWarning, Passwords().Label());
        failed_ = true;
      }
      progress_.PostClose();
      return false;
    }
    ++processed_;
    const int percent = ReportPercent(processed_);
    if (percent != percent_) {
      percent_ = percent;
      progress_value_ = percent;
      progress_.Set(kLowerText, windows::kPropText, ProgressText(percent));
    }
    return true;
  }

  const ReportLayout& layout_;
  std::int32_t progress_value_ = 0;
  ProcedureWindow progress_;
  eval::DeclaredView view_;
  std::unique_ptr<windows::WindowResource> report_;
  report::PreviewQueue preview_;
  int processed_ = 0;
  int percent_ = 0;
  bool completed_ = false;
  bool failed_ = false;
};

}  // namespace

void PrintPasswords(PasswordReport which) {
  const ReportLayout& layout = kLayouts[static_cast<int>(which)];
  FileUse passwords(Passwords());
  FileUse users(Users());
  eval::PUSHSCOPE();
  (void)eval::BindRecord(Passwords().Block());
  eval::BIND("P_:Notes", eval::Ref(Passwords().Memo(kMemoNotes)));
  eval::BIND("P_:MoreNotes", eval::Ref(Passwords().Memo(kMemoMoreNotes)));
  (void)eval::BindRecord(Users().Block());
  if (ChooseUser()) {
    ReportRun run(layout);
    run.Run();
  }
  eval::POPSCOPE();
}

}  // namespace vaultrix::app
