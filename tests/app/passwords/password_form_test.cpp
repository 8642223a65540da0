// The password form, the generator and the full display end to end: the
// running program on the headless driver, each procedure started on a thread
// of its own as the password browser will call it (request code and record
// buffer set first), the user's part played through the automation.
#include <cstring>

#include <gtest/gtest.h>

#include "app/dictionary/data_dictionary.h"
#include "app/options/options.h"
#include "app/passwords/display_all.h"
#include "app/passwords/generate_password.h"
#include "app/passwords/generator.h"
#include "app/passwords/update_passwords.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "platform/drivers/headless/automation.h"
#include "platform/window_classes.h"
#include "platform/window_messages.h"
#include "runtime/files/file_api.h"
#include "tests/app/frame/frame_test_support.h"
#include "tests/app/test_data_driver.h"

namespace vaultrix::app {
namespace {

using namespace std::chrono_literals;
using platform::MessageBoxAnswer;
using platform::headless::ControlRef;
using testing::TestDisk;

class PasswordForm : public testing::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    WriteVault({"Ann"}, 1);  // "service 0", login "login"
  }

  // Starts `procedure` on a thread of its own with `request`, the entry of
  // the vault's first record in the record buffer (re-read as the browser
  // does) for change and delete, and the current user "Ann".
  void Start(std::int32_t request, void (*procedure)() = UpdatePasswords) {
    if (!started_) {
      StartProgram();
      Advance(3500ms);  // past the splash
    }
    UnderLock([&] {
      app::Start([this, request, procedure] {
        FileUse use(Passwords());
        U_.Name = "Ann";
        P_ = PasswordRecord{};
        if (request != kInsertRecord) {
          files::Set(Passwords().Key(kKeyService));
          files::Next(Passwords().Block());
        }
        GlobalRequest = request;
        procedure();
        response_ = GlobalResponse;
        finished_ = true;
      });
    });
    Settle();
  }

  void Do(bool done, const std::string& error) {
    ASSERT_TRUE(done) << error;
    Settle();
  }
  void Type(int control, std::string_view text) {
    std::string error;
    Do(automation_.Type(ControlRef{{}, control}, text, &error), error);
  }
  void Click(std::string_view button) {
    std::string error;
    Do(automation_.Press(ControlRef::Parse(button), &error), error);
  }
  // A radio of the generator chosen (1 "&Word" to 4), as a driver reports it.
  void Choose(platform::WindowHandle window, int radio) {
    const auto info = Control(window, kGenerateWordRadio - 1 + radio);
    const auto group = Control(window, kGenerateType);
    ASSERT_TRUE(info && group);
    ASSERT_TRUE(system_.SetCheck(info->handle, 1));
    ASSERT_TRUE(system_.SetValue(group->handle, radio));
    Report(*info, platform::kBnClicked);
  }
  // A tab of the form's sheet chosen.
  void ChooseTab(platform::WindowHandle form, int tab) {
    const auto sheet = Control(form, kFormSheet);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(system_.SetValue(sheet->handle, tab));
    Report(*sheet, platform::kLbnSelChange);
  }
  void Report(const platform::WindowInfo& control, std::uint32_t code) {
    auto host = system_.GetWindowInfo(control.parent);
    while (host && host->kind == platform::WindowKind::kControl) {
      host = system_.GetWindowInfo(host->parent);
    }
    ASSERT_TRUE(host);
    ASSERT_TRUE(system_.InjectInput(host->handle, platform::kWmCommand,
                                    (code << 16) | static_cast<std::uint32_t>(control.control_id),
                                    static_cast<std::intptr_t>(control.handle)));
    Settle();
  }
  void Key(std::string_view key) {
    std::string error;
    Do(automation_.PressKey(*platform::headless::ParseKey(key), &error), error);
  }
  void FocusOn(int control) {
    std::string error;
    Do(automation_.Focus(ControlRef{{}, control}, &error), error);
  }
  platform::WindowHandle Focused(platform::WindowHandle window, int control) {
    const auto info = Control(window, control);
    return info ? info->handle : platform::kNoWindow;
  }
  std::string Text(platform::WindowHandle window, int control) {
    const auto info = Control(window, control);
    return info ? info->text : "(none)";
  }
  std::string LastMessage() {
    const auto dialogs = driver_.DialogHistory();
    return dialogs.empty() ? "" : dialogs.back().message_box.caption + ": " +
                                      dialogs.back().message_box.text;
  }

  // The stored entries of the vault.
  std::vector<PasswordRecord> Stored() {
    std::vector<PasswordRecord> records;
    for (const auto& record : TestDisk::Get().files["Vtrix_P"].records) {
      if (!record.live) continue;
      PasswordRecord p;
      std::memcpy(&p, record.bytes.data(), sizeof p);
      records.push_back(p);
    }
    return records;
  }
  std::string StoredMemo(std::size_t record, std::size_t memo) {
    const auto& stored = TestDisk::Get().files["Vtrix_P"].records.at(record);
    return memo < stored.memos.size() ? std::string(support::CLIP(stored.memos[memo])) : "";
  }

  platform::headless::Automation automation_{driver_, &clock_};
  std::int32_t response_ = 0;
  bool finished_ = false;
};

TEST_F(PasswordForm, ANewEntryIsPrimedAndSavedWithTrailingBlanksIgnored) {
  Start(kInsertRecord);
  const platform::WindowHandle form = Window(kInsertCaption);
  ASSERT_NE(form, platform::kNoWindow);
  Type(kFormService, "Bank");
  Type(kFormName, std::string(29, 'a') + "ü");  // 31 bytes: "ü" does not fit
  Type(kFormPassword, "Secret");
  Type(kFormConfirm, "Secret   ");
  Click("&OK");
  EXPECT_EQ(Window(kInsertCaption), platform::kNoWindow);
  ASSERT_TRUE(finished_);
  EXPECT_EQ(response_, kRequestCompleted);
  const auto stored = Stored();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[1].User, "Ann");
  EXPECT_EQ(stored[1].Service, "Bank");
  EXPECT_EQ(stored[1].Password, "Secret");
  EXPECT_EQ(stored[1].Name, std::string(29, 'a')) << "cut before the character, not inside it";
  EXPECT_EQ(StoredMemo(1, kMemoMoreNotes), "Added December   7, 2026  8:00AM");
}

TEST_F(PasswordForm, PasswordsThatDifferInCaseDoNotMatch) {
  Start(kInsertRecord);
  Type(kFormService, "Bank");
  Type(kFormPassword, "Secret");
  Type(kFormConfirm, "secret");
  Click("&OK");
  EXPECT_EQ(LastMessage(), "Cannot Save Changes: Passwords do not match.");
  EXPECT_NE(Window(kInsertCaption), platform::kNoWindow) << "the form stays open";
  EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(PasswordForm, DuplicateKeysAndInsertErrorsKeepTheFormOpen) {
  Start(kInsertRecord);
  const platform::WindowHandle form = Window(kInsertCaption);
  Type(kFormService, "SERVICE 0");
  Type(kFormName, "Login");
  Click("&OK");
  EXPECT_EQ(LastMessage(),
            "Duplicate Key Error: Adding this record creates a duplicate entry for the key:Service");
  EXPECT_EQ(system_.GetFocus(), Focused(form, kFormService));
  TestDisk::Get().Script(files::Operation::kAdd, {37});
  Type(kFormService, "Other");
  Click("&OK");
  EXPECT_TRUE(LastMessage().starts_with("Record Insert Error: ")) << LastMessage();
  EXPECT_TRUE(LastMessage().ends_with(" (37).")) << "the error of the ADD";
  EXPECT_NE(Window(kInsertCaption), platform::kNoWindow);
  EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(PasswordForm, DeleteOnlyWhenConfirmed) {
  Start(kDeleteRecord);  // "Confirm Delete" answered with its default, Cancel
  EXPECT_TRUE(LastMessage().starts_with("Confirm Delete: ")) << LastMessage();
  EXPECT_EQ(response_, kRequestCancelled);
  EXPECT_EQ(Stored().size(), 1u);
  driver_.QueueMessageBoxAnswer(MessageBoxAnswer::kOk);
  Start(kDeleteRecord);
  EXPECT_EQ(response_, kRequestCompleted) << LastMessage();
  EXPECT_EQ(Stored().size(), 0u);
}

TEST_F(PasswordForm, AChangeRefusedWhenAnotherStationChangedTheRecord) {
  TestDisk::Get().Script(files::Operation::kPut, {89});
  driver_.QueueMessageBoxAnswer(MessageBoxAnswer::kOk);  // the refusal
  driver_.QueueMessageBoxAnswer(MessageBoxAnswer::kNo);  // do not try again
  Start(kChangeRecord);
  ASSERT_NE(Window(kChangeCaption), platform::kNoWindow);
  Type(kFormName, "changed");
  Click("&OK");
  const auto dialogs = driver_.DialogHistory();
  ASSERT_GE(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[dialogs.size() - 2].message_box.text,
            "This record was changed by another station.");
  EXPECT_EQ(dialogs.back().message_box.caption, "Record Update Error");
  EXPECT_EQ(Window(kChangeCaption), platform::kNoWindow);
  EXPECT_EQ(response_, kRequestCancelled);
  EXPECT_EQ(Stored()[0].Name, "login") << "the file keeps the other station's record";
}

TEST_F(PasswordForm, PasteCopyAndTheClipboardDisplay) {
  Start(kChangeRecord);
  const platform::WindowHandle form = Window(kChangeCaption);
  ChooseTab(form, 2);
  Type(kFormNotes, "old notes\nsecond line");
  automation_.SetClipboard("pasted text");
  Click("Paste Notes");
  EXPECT_EQ(support::CLIP(Text(form, kFormNotes)), "pasted text") << "the whole text replaced";
  EXPECT_EQ(support::CLIP(Text(form, kFormClipboard)), "pasted text");
  ChooseTab(form, 1);
  Type(kFormPassword, "typed, not saved");
  Click("Copy Password");
  EXPECT_EQ(Clipboard(), "typed, not saved");
  SetOption(kHideClipboardKey, "1");
  UnderLock([] { LoadOptions(); });
  Click("Copy Name");
  EXPECT_FALSE(system_.IsWindowVisible(Focused(form, kFormClipboard)));
  EXPECT_EQ(Clipboard(), "login");
}

TEST_F(PasswordForm, TabSkipsTheButtonsWithTheOptionOn) {
  SetOption(kSkipCopyButtonsKey, "1");
  LoadOptions();
  Start(kChangeRecord);
  const platform::WindowHandle form = Window(kChangeCaption);
  const std::pair<int, int> moves[] = {{kFormUrl, kFormName},
                                       {kFormPassword, kFormGenerate},
                                       {kFormConfirm, kFormNotes},  // no buttons: the next field
                                       {kFormNotes, kFormMoreNotes},
                                       {kFormMoreNotes, kFormClipboard}};
  for (const auto& [from, to] : moves) {
    FocusOn(from);
    Key("Tab");
    EXPECT_EQ(system_.GetFocus(), Focused(form, to))
        << "Tab from " << from;
  }
}

TEST_F(PasswordForm, GenerateAlphabetOnlyOfSixAndFastGenerate) {
  Start(kInsertRecord);
  const platform::WindowHandle form = Window(kInsertCaption);
  Click("Gener&ate New Password");
  const platform::WindowHandle generator = Window("Generate Password");
  ASSERT_NE(generator, platform::kNoWindow);
  const int size = std::stoi(Text(generator, kGenerateSize));
  EXPECT_TRUE(size >= 6 && size <= 8) << size;
  Type(kGenerateSize, "6");
  Choose(generator, 2);
  Click("&Ok");
  EXPECT_EQ(Window("Generate Password"), platform::kNoWindow);
  const std::string made = Clipboard();
  EXPECT_EQ(made.size(), 6u);
  EXPECT_EQ(made.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << made;
  EXPECT_EQ(support::CLIP(Text(form, kFormPassword)), made);
  EXPECT_EQ(support::CLIP(Text(form, kFormConfirm)), made);

  Click("Gener&ate New Password");
  Type(kGenerateSize, "25");
  Choose(Window("Generate Password"), 4);
  Click("Fast &Generate");
  const std::string fast = Clipboard();
  EXPECT_TRUE(fast.size() >= 6 && fast.size() <= 8) << fast;
  EXPECT_EQ(fast.find_first_not_of(kAlphanumericSet), std::string::npos) << fast;
  EXPECT_EQ(support::CLIP(Text(form, kFormConfirm)), fast);
}

TEST_F(PasswordForm, WordsOfAMissingSizeAndAMissingWordsFile) {
  Start(kInsertRecord);
  Click("Gener&ate New Password");
  Choose(Window("Generate Password"), 1);
  Click("&Ok");
  EXPECT_EQ(LastMessage(), std::string("Warning: ") + std::string(kNoWordsFileText));
  EXPECT_NE(Window("Generate Password"), platform::kNoWindow) << "nothing made, still open";
  Click("Cancel");

  UnderLock([] {
    OpenDataFile(Words());
    for (const char* word : {"lantern", "quarry", "fern"}) {
      W_.Word = word;
      files::Add(Words().Block());
    }
    files::Close(Words().Block());
  });
  Click("Gener&ate New Password");
  Type(kGenerateSize, "25");
  Choose(Window("Generate Password"), 1);
  Click("&Ok");
  EXPECT_EQ(LastMessage(), std::string("Warning: ") + std::string(kNoWordThatSizeText));
  int draws = 0;
  for (const auto& call : TestDisk::Get().calls) {
    draws += call.op == files::Operation::kGetByPointer && call.file == "vtrix_w.hvn" ? 1 : 0;
  }
  EXPECT_EQ(draws, 250);
  const std::string word = Clipboard();
  EXPECT_TRUE(word == "lantern" || word == "quarry" || word == "fern") << word;
}

TEST_F(PasswordForm, DisplayAllShowsEveryFieldReadOnly) {
  Start(kChangeRecord, DisplayAll);
  const platform::WindowHandle window = Window("Display All Information");
  ASSERT_NE(window, platform::kNoWindow);
  EXPECT_EQ(support::CLIP(Text(window, 2)), "Ann");
  EXPECT_EQ(support::CLIP(Text(window, 4)), "service 0");
  EXPECT_EQ(support::CLIP(Text(window, 8)), "login");
  Type(kDisplayAllNotes, "typed");
  Click("&Ok");
  EXPECT_EQ(Window("Display All Information"), platform::kNoWindow);
  EXPECT_EQ(response_, kRequestCompleted);
  EXPECT_EQ(StoredMemo(0, kMemoNotes), "");
}

}  // namespace
}  // namespace vaultrix::app
