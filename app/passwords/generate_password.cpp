// The generator's window.
#include "app/passwords/generate_password.h"

#include <string.h>

#include <optional>
#include <string>

#include "app/dictionary/data_dictionary.h"
#include "app/passwords/generator.h"
#include "app/passwords/secure_random.h"
#include "app/passwords/words_file.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/message.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "runtime/support/random.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::app {
namespace {

void Warn(std::string_view text) {
  platform::MessageBoxRequest request;
  request.caption = "Warning";
  request.text = std::string(text);
  request.icon = platform::MessageBoxIcon::kExclamation;
  (void)Message(request);
}

// Whether the data directory holds the words file (the program copies the
// supplied one there at start). A missing file is not created as data files
// are: an empty one in its place would hide the supplied list for good.
bool WordsFileOpens() {
  if (Words().OpenCount() > 0) return true;
  files::Open(Words().Block(), kDataFileAccess);
  const std::int32_t error = support::ErrorCode();
  if (error == support::kFileNotFound) return false;
  if (error == support::kNoError) files::Close(Words().Block());
  return true;  // other failures are OpenDataFile's to report
}

void WipeText(std::string& text) {
  explicit_bzero(text.data(), text.size());
  text.clear();
}

class GeneratorWindow {
 public:
  GeneratorWindow()
      : passwords_(Passwords()),
        window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx009",
                "GENERATEPASSWORD$WINDOW", "GeneratePassword", {&size_, &type_}) {
    if (WordsFileOpens()) words_.emplace(Words());
  }

  void Run() {
    size_ = support::RANDOM(6, 8);
    type_ = kTypeAlphanumeric;
    window_.Open();
    window_.Accept([this](int event) { return OnEvent(event); });
    window_.Close();
  }

  [[nodiscard]] std::int32_t Response() const { return response_; }

 private:
  int OnEvent(int event) {
    windows::EventEngine& engine = AppEngine();
    if (event == windows::kEventOpenWindow) {
      for (const auto& control : window_.Object().controls) windows::DisplayControl(engine, *control);
    } else if (event == windows::kEventAccepted) {
      switch (window_.EventControl()) {
        case kGenerateOk: windows::StartAcceptAll(window_.Object()); break;
        case kGenerateFast:
          if (Generate(SecureRandom(6, 8), kTypeAlphanumeric)) Finish();
          break;
        case kGenerateCancel: window_.PostClose(); break;
        default: break;
      }
    } else if (event == windows::kEventCompleted) {
      if (size_ == 0) {
        windows::SelectControl(engine, kGenerateSize);
      } else if (type_.IsBlank()) {
        windows::SelectControl(engine, kGenerateType);
      } else if (Generate(size_, type_.View())) {
        Finish();
      }
    }
    return windows::kBodyDefault;
  }

  void Finish() {
    response_ = kRequestCompleted;
    window_.PostClose();
  }

  // Answers false when nothing was made (the "Word" type without its file).
  bool Generate(std::int32_t size, std::string_view type) {
    if (support::CLIP(type) == kTypeWord) {
      if (!words_) {
        Warn(kNoWordsFileText);
        windows::SelectControl(AppEngine(), kGenerateWordRadio);
        return false;
      }
      WordsFileSource source;
      WordDrawResult drawn = WordPassword(size, source, SecureRandom);
      P_.Password = drawn.word;
      WipeText(drawn.word);
      if (!drawn.fits) Warn(kNoWordThatSizeText);
    } else {
      std::string made = CharacterPassword(CharacterSet(type), size, SecureRandom);
      P_.Password = made;
      WipeText(made);
    }
    P_.ConfirmPassword = P_.Password.View();
    AppEngine().System().SetClipboardTextFromProgram(std::string(P_.Password.Clipped()));
    return true;
  }

  FileUse passwords_;
  std::optional<FileUse> words_;
  std::int32_t size_ = 0;
  support::FixedString<20> type_;
  std::int32_t response_ = kRequestCancelled;
  ProcedureWindow window_;
};

}  // namespace

void GeneratePassword() {
  std::int32_t response = kRequestCancelled;
  {
    GeneratorWindow window;
    window.Run();
    response = window.Response();
  }
  LeaveResponse(response);
}

}  // namespace vaultrix::app
