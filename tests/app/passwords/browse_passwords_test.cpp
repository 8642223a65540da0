// The password browser end to end on real data files: the login, the three
// orders limited to the user's entries, the copy buttons and the full popup,
// the clipboard clean-up, switching users, the hidden clipboard display, an
// insert through the form, and the frame's menu item and user buttons.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "app/frame/frame.h"
#include "app/options/options.h"
#include "app/passwords/browse_passwords.h"
#include "app/services/open_data_file.h"
#include "app/passwords/update_passwords.h"
#include "app/browse/window.h"
#include "app/services/window_placement.h"
#include "runtime/support/profile.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_properties.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"
#include "tests/app/users/users_test_support.h"

namespace vaultrix::app {
namespace {

using Strings = std::vector<std::string>;
using platform::headless::ControlRef;

struct Entry {
  std::string user, service, url, name, password, notes, more_notes;
};

TEST(FilterBrowserClipboard, KeepsPrintableTextUpToZAndOneBlankOfARun) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"a\tb  c", "ab c"},            // a tab and one blank of two go; lower case stays
      {"Mail:  x@Y.com   ", "Mail: x@Y.com"},
      {"[x]{y}|~", "xy"},             // punctuation that sorts after "Z" goes
      {"a\x01\nb", "ab"},
      {"p\xc3\xa4ss", "pss"},         // bytes of a multi-byte character never stay half
      {"    ", ""},
      {"a    b", "a b"},
  };
  for (const auto& c : cases) EXPECT_EQ(FilterBrowserClipboard(c.in), c.out) << c.in;
  EXPECT_EQ(FilterBrowserClipboard(std::string(20000, 'a')).size(), 10000u);
}

class BrowsePasswordsTest : public testing::UsersTest {
 protected:
  void WriteEntries(const std::vector<Entry>& entries) {
    {
      FileUse file(Passwords());
      for (const Entry& e : entries) {
        P_ = PasswordRecord{};
        P_.User = e.user;
        P_.Service = e.service;
        P_.URL = e.url;
        P_.Name = e.name;
        P_.Password = e.password;
        support::AssignFixed(Passwords().MemoText(kMemoNotes), e.notes);
        support::AssignFixed(Passwords().MemoText(kMemoMoreNotes), e.more_notes);
        files::Add(Passwords().Block());
        ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
      }
    }
    P_ = PasswordRecord{};
    ResetDeclarations();
  }
  // Ann (no password), Bob ("pw") and their entries, owners written in
  // several letter cases.
  void WriteVault() {
    WriteUsers({{"Ann", "Not Required"}, {"Bob", "pw"}});
    WriteEntries({{"ANN", "Mail", "m.example", "ann1", "s3cret", "first\tnote", "more"},
                  {"ann", "Bank", "z.example", "zed", "b4nk", "", ""},
                  {"Ann", "Chat", "a.example", "amy", "ch4t", "", ""},
                  {"Bob", "Bobs", "b.example", "bob", "x", "", ""}});
  }
  // Logs in through the picker.
  void Open(const std::string& user) {
    Call(BrowsePasswords, 0);
    std::string error;
    ASSERT_TRUE(automation_.PickRow(ControlRef::Parse("#1"), user,
                                    platform::headless::RowClick::kClick, &error))
        << error;
    Press("&Select");
  }
  platform::WindowHandle Browser() const {
    for (platform::WindowHandle w : system_.TopLevelWindows()) {
      if (system_.GetText(w).rfind("Passwords - ", 0) == 0) return w;
    }
    return platform::kNoWindow;
  }
  // The services shown, the highlighted row marked with "*".
  Strings Rows() {
    const auto list = Control(Browser(), kBrowserList);
    if (!list) return {"(no list)"};
    Strings rows;
    for (std::size_t i = 0; i < list->rows.size(); ++i) {
      std::string row(support::CLIP(list->rows[i].substr(0, list->rows[i].find('\t'))));
      if (static_cast<int>(i) == list->value) row += "*";
      rows.push_back(row);
    }
    return rows;
  }
  void Key(const std::string& key) {
    std::string error;
    ASSERT_TRUE(automation_.PressKey(*platform::headless::ParseKey(key), &error)) << error;
    ASSERT_TRUE(automation_.Settle(&error)) << error;
  }
  void Popup(const std::string& item) {
    std::string error;
    driver_.SetUnansweredPolicy(platform::headless::UnansweredPolicy::kWait);
    ASSERT_TRUE(automation_.Click(ControlRef::Parse("#1"), platform::headless::MouseButton::kRight,
                                  false, &error))
        << error;
    ASSERT_TRUE(automation_.ChoosePopupItem(ControlRef::Parse(item), &error)) << error;
    ASSERT_TRUE(automation_.Settle(&error)) << error;
    driver_.SetUnansweredPolicy(platform::headless::UnansweredPolicy::kDefaultButton);
  }
};

TEST_F(BrowsePasswordsTest, ThreeOrdersShowOnlyTheUsersEntriesWhateverTheCase) {
  WriteVault();
  Open("Ann");
  ASSERT_NE(Browser(), platform::kNoWindow) << automation_.Dump();
  EXPECT_EQ(system_.GetText(Browser()), "Passwords - Ann");
  EXPECT_EQ(Rows(), (Strings{"Bank*", "Chat", "Mail"}));
  Key("Alt+R");  // "U&RL"
  EXPECT_EQ(Rows(), (Strings{"Chat*", "Mail", "Bank"}));
  Key("Alt+A");  // "N&ame"
  EXPECT_EQ(Rows(), (Strings{"Chat*", "Mail", "Bank"})) << "amy, ann1, zed";
  Press("Cl&ose");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(support::GetIni("BrowsePasswords", kListFormatKey, "", kProgramIniFile),
            "80L(2)|M~Service~@s30@80L(2)|M~URL~@s90@80L(2)|M~Name~@s30@80L(2)|M~Notes~@s255@")
      << "the list's layout is kept";
}

TEST_F(BrowsePasswordsTest, FilePasswordsAsksForTheUser) {
  WriteVault();
  StartProgram();
  Choose(kMenuPasswords);
  ASSERT_NE(Window("Select User"), platform::kNoWindow) << automation_.Dump();
  std::string error;
  ASSERT_TRUE(automation_.PickRow(ControlRef::Parse("#1"), "Ann",
                                  platform::headless::RowClick::kClick, &error))
      << error;
  Press("&Select");
  EXPECT_NE(Window("Passwords - Ann"), platform::kNoWindow);
}

TEST_F(BrowsePasswordsTest, CopyButtonsAndPopupPutTheHighlightedFieldsOnTheClipboard) {
  WriteVault();
  Open("Ann");
  std::string error;
  ASSERT_TRUE(automation_.PickRow(ControlRef::Parse("#1"), "Mail",
                                  platform::headless::RowClick::kClick, &error))
      << error;
  const struct {
    const char* button;
    const char* copied;
  } buttons[] = {{"&Name", "ann1"},    {"&Password", "s3cret"}, {"&URL", "m.example"},
                 {"No&tes", "first\tnote"}, {"&More Notes", "more"},  {"&Service", "Mail"}};
  for (const auto& b : buttons) {
    Press(b.button);
    EXPECT_EQ(Clipboard(), b.copied) << b.button;
    EXPECT_EQ(support::CLIP(Control(Browser(), kBrowserClipboard)->text), b.copied)
        << "the display follows the clipboard";
  }
  Popup("Copy &Password");
  EXPECT_EQ(Clipboard(), "s3cret");
  EXPECT_TRUE(system_.EmptyProgramClipboard()) << "a copied password is taken away at exit";
  EXPECT_EQ(Clipboard(), "");
  Popup("Copy No&tes");
  Popup("&Filter Clipboard");
  EXPECT_EQ(Clipboard(), "firstnote");
  Popup("Display &All");
  EXPECT_NE(Window("Display All Information"), platform::kNoWindow);
  Press("&Ok");
  Press("Cl&ose");
  ASSERT_TRUE(Returned());
}

TEST_F(BrowsePasswordsTest, InsertThroughTheFormShowsTheNewEntryHighlighted) {
  WriteVault();
  Open("Ann");
  Press("&Insert");
  ASSERT_EQ(TopCaption(), kInsertCaption);
  std::string error;
  ASSERT_TRUE(automation_.Type(ControlRef{{}, kFormService}, "Cloud", &error)) << error;
  ASSERT_TRUE(automation_.Type(ControlRef{{}, kFormPassword}, "pw", &error)) << error;
  ASSERT_TRUE(automation_.Type(ControlRef{{}, kFormConfirm}, "pw", &error)) << error;
  Press("&OK");
  EXPECT_EQ(Rows(), (Strings{"Bank", "Chat", "Cloud*", "Mail"}));
  Press("Cl&ose");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(PasswordOwners().back(), "Ann");
}

// Another station is a child process, forked before the program has threads,
// over the same data files: told to, it changes Ann's "Mail" entry inside a
// transaction of its own, commits and says whether that worked.
class OtherStation {
 public:
  OtherStation() {
    if (::pipe(to_) != 0 || ::pipe(from_) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) Serve();
  }
  ~OtherStation() {
    if (pid_ <= 0) return;
    ::close(to_[1]);
    int status = 0;
    (void)::waitpid(pid_, &status, 0);
  }
  // Whether the change was committed.
  bool ChangeMailLogin() {
    char byte = 'c';
    if (pid_ <= 0 || ::write(to_[1], &byte, 1) != 1) return false;
    return ::read(from_[0], &byte, 1) == 1 && byte == 'd';
  }

 private:
  [[noreturn]] void Serve() {
    char byte = 0;
    if (::read(to_[0], &byte, 1) == 1) {
      files::Open(Passwords().Block(), kDataFileAccess);
      files::Logout(Passwords().Block());
      P_ = PasswordRecord{};
      P_.User = "ANN";
      P_.Service = "Mail";
      P_.Name = "ann1";
      files::Get(Passwords().Block(), Passwords().Key(kKeyService));
      P_.Name = "other station";
      if (support::ErrorCode() == 0) files::Put(Passwords().Block());
      if (support::ErrorCode() == 0) files::Commit(Passwords().Block());
      byte = support::ErrorCode() == 0 ? 'd' : 'x';
      files::Close(Passwords().Block());
      (void)::write(from_[1], &byte, 1);
    }
    ::_exit(0);
  }
  pid_t pid_ = -1;
  int to_[2] = {-1, -1};
  int from_[2] = {-1, -1};
};

TEST_F(BrowsePasswordsTest, AChangeIsRefusedWhenAnotherProcessChangedTheEntryMeanwhile) {
  WriteVault();
  OtherStation other;
  Open("Ann");
  std::string error;
  ASSERT_TRUE(automation_.PickRow(ControlRef::Parse("#1"), "Mail",
                                  platform::headless::RowClick::kClick, &error))
      << error;
  Press("&Change");
  ASSERT_EQ(TopCaption(), kChangeCaption);
  ASSERT_TRUE(other.ChangeMailLogin());
  ASSERT_TRUE(automation_.Type(ControlRef{{}, kFormName}, "this station", &error)) << error;
  ASSERT_TRUE(automation_.Type(ControlRef{{}, kFormConfirm}, "s3cret", &error)) << error;
  QueueAnswer(platform::MessageBoxAnswer::kOk);  // the refusal
  QueueAnswer(platform::MessageBoxAnswer::kNo);  // do not try again
  Press("&OK");
  const std::vector<std::string> boxes = Boxes();
  ASSERT_GE(boxes.size(), 2u) << (boxes.empty() ? "" : boxes.back());
  EXPECT_EQ(boxes[boxes.size() - 2],
            "Update Operation Error: This record was changed by another station.");
  EXPECT_NE(boxes.back().find("Record Update Error"), std::string::npos) << boxes.back();
  EXPECT_EQ(TopCaption(), system_.GetText(Browser())) << "the form closed unsaved";
  Press("Cl&ose");
  ASSERT_TRUE(Returned());
  FileUse file(Passwords());
  P_ = PasswordRecord{};
  P_.User = "ANN";
  P_.Service = "Mail";
  P_.Name = "other station";
  files::Get(Passwords().Block(), Passwords().Key(kKeyService));
  EXPECT_EQ(support::ErrorCode(), 0) << "the other station's change is what the file holds";
  P_.Name = "this station";
  files::Get(Passwords().Block(), Passwords().Key(kKeyService));
  EXPECT_NE(support::ErrorCode(), 0);
}

TEST_F(BrowsePasswordsTest, SwitchingUserChangesCaptionAndList) {
  WriteVault();
  Open("Ann");
  Press("Password &List for Different User");
  std::string error;
  ASSERT_TRUE(automation_.PickRow(ControlRef::Parse("#1"), "Bob",
                                  platform::headless::RowClick::kClick, &error))
      << error;
  Press("&Select");
  Type("Confirm Password:", "pw");
  Press("OK");
  EXPECT_EQ(system_.GetText(Browser()), "Passwords - Bob");
  EXPECT_EQ(Rows(), Strings{"Bobs*"});
  Press("Password &List for Different User");
  Press("Cancel");
  EXPECT_EQ(system_.GetText(Browser()), "Passwords - Bob") << "no choice keeps the user";
  EXPECT_EQ(Rows(), Strings{"Bobs*"}) << "and his list";
}

TEST_F(BrowsePasswordsTest, ADifferentUserDeletedMeanwhileClosesTheBrowser) {
  WriteVault();
  Open("Ann");
  Press("Password &List for Different User");
  UnderLock([] {
    FileUse users(Users());
    U_.Name = "Ann";
    files::Get(Users().Block(), Users().Key(kFirstKey));
    files::Delete(Users().Block());
  });
  Press("Cancel");
  ASSERT_TRUE(Returned());
}

TEST_F(BrowsePasswordsTest, QuickUserSlotOfAProtectedUserClosesOnCancel) {
  WriteVault();
  QuickUserSlot = 2;
  Call(BrowsePasswords, 0);
  ASSERT_NE(Window("Security Check"), platform::kNoWindow) << automation_.Dump();
  Press("Cancel");
  ASSERT_TRUE(Returned());
  EXPECT_TRUE(left_.Name.IsBlank());
  EXPECT_EQ(Browser(), platform::kNoWindow);
}

TEST_F(BrowsePasswordsTest, QuickUserSlotBeyondTheUsersClosesTheBrowser) {
  WriteVault();
  QuickUserSlot = 3;
  Call(BrowsePasswords, 0);
  ASSERT_TRUE(Returned());
  EXPECT_EQ(QuickUserSlot, 0);
  EXPECT_TRUE(left_.Name.IsBlank());
}

// Two browsers from the frame's user buttons, the second opened with the
// clipboard display hidden: each keeps its own user, list and size.
TEST_F(BrowsePasswordsTest, TwoBrowsersFromTheUserButtonsEachWithItsUser) {
  WriteUsers({{"Ann", "Not Required"}, {"Cy", "Not Required"}});
  WriteEntries({{"ann", "Mail", "", "", "", "", ""}, {"Cy", "Shop", "", "", "", "", ""}});
  StartProgram();
  EXPECT_TRUE(Control(Frame(), kToolPasswords)->enabled);
  Choose(kToolUser1);
  UnderLock([] { HideClipboard = 1; });
  Choose(kToolUser1 - 1);
  const platform::WindowHandle ann = Window("Passwords - Ann");
  const platform::WindowHandle cy = Window("Passwords - Cy");
  ASSERT_NE(ann, platform::kNoWindow) << automation_.Dump();
  ASSERT_NE(cy, platform::kNoWindow) << automation_.Dump();
  EXPECT_EQ(support::CLIP(Control(ann, kBrowserList)->rows.at(0).substr(0, 4)), "Mail");
  EXPECT_EQ(support::CLIP(Control(cy, kBrowserList)->rows.at(0).substr(0, 4)), "Shop");
  EXPECT_TRUE(Control(ann, kBrowserClipboard)->visible);
  EXPECT_FALSE(Control(cy, kBrowserClipboard)->visible);
  EXPECT_LT(system_.GetWindowInfo(cy)->rect.height, system_.GetWindowInfo(ann)->rect.height)
      << "the hidden display's room is given up";
}

// An entry inserted in one browser shows in another on the same user once
// that one gains the focus.
TEST_F(BrowsePasswordsTest, AnInsertInOneBrowserShowsInTheOtherOnGainingFocus) {
  WriteUsers({{"Ann", "Not Required"}});
  WriteEntries({{"Ann", "Mail", "", "", "", "", ""}});
  StartProgram();
  Choose(kToolUser1);
  Choose(kToolUser1);
  std::vector<platform::WindowHandle> browsers;
  for (platform::WindowHandle w : system_.TopLevelWindows()) {
    if (system_.GetText(w) == "Passwords - Ann") browsers.push_back(w);
  }
  ASSERT_EQ(browsers.size(), 2u) << automation_.Dump();
  FrameTest::Press(browsers[0], kBrowserInsert);
  std::string error;
  ASSERT_TRUE(automation_.Type(ControlRef{{}, kFormService}, "Cloud", &error)) << error;
  Press("&OK");
  auto services = [&](platform::WindowHandle w) {
    Strings rows;
    const auto list = Control(w, kBrowserList);
    if (!list) return rows;
    for (const std::string& row : list->rows) {
      rows.emplace_back(support::CLIP(row.substr(0, row.find('\t'))));
    }
    return rows;
  };
  ASSERT_EQ(services(browsers[0]), (Strings{"Cloud", "Mail"}));
  EXPECT_EQ(services(browsers[1]), Strings{"Mail"}) << "not refreshed before it gains the focus";
  UnderLock([&] {
    for (int number = 1; number <= windows::kThreadCount; ++number) {
      windows::RuntimeThread* thread = run_.Engine().Thread(number);
      for (windows::WindowObject* w = thread->current_window; w != nullptr; w = w->previous) {
        if (w->handle == browsers[1]) {
          windows::PostEvent(run_.Engine(), windows::kEventGainFocus, 0, number);
        }
      }
    }
  });
  Settle();
  EXPECT_EQ(services(browsers[1]), (Strings{"Cloud", "Mail"}));
}

// A new size: the list and the sheet follow the width, down to the least size.
TEST_F(BrowsePasswordsTest, ResizingKeepsTheListAndSheetToTheWidth) {
  WriteVault();
  Open("Ann");
  const platform::WindowHandle browser = Browser();
  auto property = [&](int control, std::int32_t number, const char* value) {
    std::string read;
    UnderLock([&] {
      for (int n = 1; n <= windows::kThreadCount; ++n) {
        for (windows::WindowObject* w = run_.Engine().Thread(n)->current_window; w != nullptr;
             w = w->previous) {
          if (w->handle != browser) continue;
          if (value != nullptr) windows::SetProperty(run_.Engine(), w, control, number, 0, value);
          read = windows::GetProperty(run_.Engine(), w, control, number);
        }
      }
    });
    Settle();
    return read;
  };
  const struct {
    const char* width;
    const char* list, *sheet, *kept;
  } cases[] = {{"400", "350", "391", "400"}, {"120", "150", "191", "200"}};
  for (const auto& c : cases) {
    (void)property(0, windows::kPropWidth, c.width);
    EXPECT_EQ(property(0, windows::kPropWidth, nullptr), c.kept) << c.width;
    EXPECT_EQ(property(kBrowserList, windows::kPropWidth, nullptr), c.list) << c.width;
    EXPECT_EQ(property(kBrowserSheet, windows::kPropWidth, nullptr), c.sheet) << c.width;
  }
  EXPECT_EQ(Rows(), (Strings{"Bank*", "Chat", "Mail"})) << "the page read again";
}

}  // namespace
}  // namespace vaultrix::app
