// The standard warnings: their captions, messages, buttons and icons, and
// the saved file error they describe.
#include "app/services/standard_warnings.h"

#include <string>

#include "app/program/halt.h"
#include "app/services/message.h"
#include "app/services/transaction.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {
namespace {

using platform::MessageBoxAnswer;
using platform::MessageBoxButtons;
using platform::MessageBoxIcon;

SavedFileError saved_error;

// Where a message is put together from pieces that would otherwise run two
// words into one ("Do you" and "want ..."), a blank joins them.
constexpr const char* kJoin = " ";

struct Warning {
  std::string caption;
  std::string message;
  MessageBoxButtons buttons = MessageBoxButtons::kOk;
  int default_button = 1;
  MessageBoxIcon icon = MessageBoxIcon::kInformation;
  std::string halt;  // the halt's text after the message; empty: no halt
};

// The saved error's code and text, else the current one's; the file error's
// for code 90.
void DescribedError(std::int32_t* code, std::string* text) {
  if (saved_error.code != 0) {
    *code = saved_error.code;
    *text = saved_error.text;
  } else {
    *code = support::ErrorCode();
    *text = support::Error();
  }
  if (*code == kFileSystemError) {
    *code = saved_error.code != 0 ? saved_error.file_error_code : support::SystemErrorNumber();
    *text = saved_error.code != 0 ? saved_error.file_error_text : support::Error();
  }
}

std::string Description() {
  std::int32_t code = 0;
  std::string text;
  DescribedError(&code, &text);
  return std::string(support::CLIP(text)) + " (" + std::to_string(code) + ")";
}

const std::string kEndApplication = ".  Press OK to end this application.";

// The warning of `code` with its texts inserted.
Warning Compose(std::int32_t code, const std::string& text1, const std::string& text2) {
  const std::string d = Description();
  switch (code) {
    case 1:
      return {"Invalid File",
              "Error: (" + d + ") accessing " + text1 + kEndApplication,
              MessageBoxButtons::kOk,
              1,
              MessageBoxIcon::kInformation,
              "Invalid File!"};
    case 2:
      return {"Invalid Key",
              text1 + " key file is invalid.  Do you" + kJoin + "want to rebuild the key?",
              MessageBoxButtons::kYesNo,
              1,
              MessageBoxIcon::kExclamation,
              "Invalid Key!"};
    case 3:
      return {"Key Rebuild Error",
              "Error: (" + d + ") repairing key for " + text1 + kEndApplication,
              MessageBoxButtons::kOk,
              1,
              MessageBoxIcon::kInformation,
              "Error Rebuilding Key!"};
    case 4:
      return {
          "File Creation Error",        "Error: (" + d + ") creating " + text1 + kEndApplication,
          MessageBoxButtons::kOk,       1,
          MessageBoxIcon::kInformation, "File Creation Error!"};
    case 5:
      return {"File Creation Error",
              "Error: (" + d + ") opening created " + "file:" + kJoin + text1 + kEndApplication,
              MessageBoxButtons::kOk,
              1,
              MessageBoxIcon::kInformation,
              "File Creation Error!"};
    case 13:
      return {"Referential Integrity Delete Error",
              "This record is referenced from the file " + text1 +
                  ".  This record cannot be deleted while" + " these references exist."};
    case 14:
      return {"Record Insert Error",
              "An error was experienced during the update of record.  Error: " + d + "."};
    case 15: {
      std::int32_t error = 0;
      std::string ignored;
      DescribedError(&error, &ignored);
      if (error == 0 || error == 89) {
        return {"Update Operation Error", "This record was changed by another station."};
      }
      return {"Update Operation Error",
              "An error (" + d + ") was experienced" +
                  " when attempting to update a record from the file.  Probable Cause: " + text1 +
                  "."};
    }
    case 16:
      return {"Record Update Error",
              "An error was experienced changing this record.  Do you want to try to save again?",
              MessageBoxButtons::kYesNoCancel, 3};
    case 17:
      return {"Delete Operation Error", "An error (" + d + ") was experienced" +
                                            " when attempting to delete a record from the file" + kJoin +
                                            text1 + "."};
    case 18:
      return {"Record Update Error",
              "An error was experienced deleting this record.  Do you want to try to save again?",
              MessageBoxButtons::kYesNoCancel, 3};
    case 24:
      return {"Duplicate Key Error",
              "Adding this record creates a duplicate entry for the key:" + text1};
    case 25:
      return {"Auto Increment Error",
              "Attempts to automatically number this record have failed.  Error:" + d,
              MessageBoxButtons::kRetryCancel, 2};
    case 30:
      return {"File Access Error",
              "File (" + text1 + ") could not be" + kJoin + "opened.  Error: " + d + "."};
    case 32:
      return {"Confirm Delete",
              "You've selected to delete the highlighted record.  Press OK to confirm deletion of "
              "this record.",
              MessageBoxButtons::kOkCancel, 2, MessageBoxIcon::kExclamation};
    case 34:
      return {"Transaction Framing Error", "Error: (" + d + ") attempting to frame the " + text1 +
                                               " transaction on " + text2 + ".  " + text1 +
                                               " transaction cancelled."};
    case 35:
      return {"Record Retrieval Error", "Error: (" + d + ") attempting to access a " +
                                            "record from the " + text1 + " file.  Returning to " +
                                            "previous window."};
    case 36:
      return {"View Open Error", "Error: (" + d + ") attempting to open the " +
                                     "current VIEW. Filter and Range Limits ignored."};
    default:
      // Not a warning of this application: still say what failed rather than nothing.
      return {"Warning " + std::to_string(code), "Error: (" + d + ")."};
  }
}

std::int32_t ButtonOf(MessageBoxAnswer answer) {
  switch (answer) {
    case MessageBoxAnswer::kOk:
      return kButtonOk;
    case MessageBoxAnswer::kYes:
      return kButtonYes;
    case MessageBoxAnswer::kNo:
      return kButtonNo;
    case MessageBoxAnswer::kAbort:
      return kButtonAbort;
    case MessageBoxAnswer::kRetry:
      return kButtonRetry;
    case MessageBoxAnswer::kIgnore:
      return kButtonIgnore;
    case MessageBoxAnswer::kCancel:
      return kButtonCancel;
  }
  return kButtonOk;
}

}  // namespace

const SavedFileError& SavedError() {
  return saved_error;
}

void RememberFileError() {
  const support::ErrorSnapshot error = support::CurrentError();
  saved_error.code = error.code;
  saved_error.text = error.text;
  saved_error.file_error_code = error.system_error;
  saved_error.file_error_text = error.system_error != 0 ? error.text : std::string();
  Rollback();
}

std::int32_t ShowWarning(std::int32_t code, std::string_view text1, std::string_view text2) {
  const Warning warning = Compose(code, std::string(text1), std::string(text2));
  platform::MessageBoxRequest request;
  request.caption = warning.caption;
  request.text = warning.message;
  request.buttons = warning.buttons;
  request.default_button = warning.default_button;
  request.icon = warning.icon;
  const std::int32_t button = ButtonOf(Message(request));
  saved_error = SavedFileError{};
  const bool halts = !warning.halt.empty() && (code != 2 || button == kButtonNo);
  if (halts) Halt(warning.halt);
  return button;
}

}  // namespace vaultrix::app
