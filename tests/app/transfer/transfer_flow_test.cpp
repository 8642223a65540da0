// Export and import end to end on real data files, driven as a user would
// through the headless display: the export window's marking and header, the
// import window's columns, "A&uto" and strip, the mends of the file format,
// a failed add keeping the entries before it, and a round trip of 1,000
// generated entries into another user.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/dictionary/data_dictionary.h"
#include "app/services/open_data_file.h"
#include "app/transfer/transfer.h"
#include "platform/drivers/headless/script.h"
#include "platform/whole_file.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"
#include "tests/app/users/users_test_support.h"

namespace vaultrix::app {
namespace {

struct Entry {
  std::string service, url, name, password, notes, more_notes;
  friend bool operator==(const Entry&, const Entry&) = default;
  friend void PrintTo(const Entry& e, std::ostream* out) {
    *out << "{" << e.service << "|" << e.url << "|" << e.name << "|" << e.password << "|" << e.notes
         << "|" << e.more_notes << "}";
  }
};
using Entries = std::vector<Entry>;

std::string Clip(std::span<const char> field) {
  return std::string(support::CLIP(std::string_view(field.data(), field.size())));
}

class TransferFlowTest : public testing::UsersTest {
 protected:
  void WriteEntries(const std::string& owner, const Entries& entries) {
    {
      FileUse file(Passwords());
      for (const Entry& e : entries) {
        P_ = PasswordRecord{};
        P_.User = owner;
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
    ResetDeclarations();
  }

  // The owner's entries in record order.
  Entries ReadEntries(const std::string& owner) {
    Entries entries;
    UnderLock([&] {
      FileUse file(Passwords());
      files::Set(Passwords().Block());
      for (files::Next(Passwords().Block()); support::ErrorCode() == 0;
           files::Next(Passwords().Block())) {
        if (P_.User.Clipped() != owner) continue;
        EXPECT_EQ(P_.ConfirmPassword, P_.Password.View());
        entries.push_back({std::string(P_.Service.Clipped()), std::string(P_.URL.Clipped()),
                           std::string(P_.Name.Clipped()), std::string(P_.Password.Clipped()),
                           Clip(Passwords().MemoText(kMemoNotes)),
                           Clip(Passwords().MemoText(kMemoMoreNotes))});
      }
    });
    return entries;
  }

  void Run(const std::vector<std::string>& lines) {
    std::ostringstream out;
    platform::headless::ScriptRunner runner(automation_, out);
    for (const std::string& line : lines) {
      std::string error;
      ASSERT_TRUE(runner.RunLine(line, &error)) << line << ": " << error << "\n"
                                                << automation_.Dump();
    }
  }

  void CheckBox(const std::string& caption, int control) {
    ASSERT_TRUE(system_.SetCheck(Control(Window(caption), control)->handle, 1));
  }

  // The message boxes once `count` have been shown (a message box is
  // logged by the display as the procedure's thread opens it).
  std::vector<std::string> BoxesOnce(std::size_t count) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Boxes().size() < count && std::chrono::steady_clock::now() < limit) {
      std::this_thread::yield();
    }
    return Boxes();
  }

  // Runs the progress window to its end.
  void Finish() {
    Advance(std::chrono::milliseconds(3000), std::chrono::milliseconds(20));
    ASSERT_TRUE(Returned()) << automation_.Dump();
  }

  // Exports `fields` (rows of "All Fields", from 1) of the only user.
  std::string ExportFields(const std::vector<int>& rows, bool header) {
    Call(Export, 0);
    for (int row : rows) {
      Run({"pick #1 " + std::to_string(row), "press \"&Add ->\""});
    }
    if (header) CheckBox("Choose Fields for Export...", 10);
    const std::string path = scratch_ + "/out.csv";
    driver_.QueueFileAnswer(path);
    Run({"press \"&OK\""});
    Finish();
    std::string text;
    EXPECT_EQ(platform::ReadWholeFile(path, 1 << 26, text), 0);
    return text;
  }

  // Imports `text` into the only user, every target assigned by "A&uto".
  void ImportAuto(const std::string& text) {
    const std::string path = scratch_ + "/in.csv";
    ASSERT_EQ(platform::ReplaceWholeFile(path, text), 0);
    driver_.QueueFileAnswer(path);
    Call(Import, 0);
    Run({"press \"A&uto\"", "press \"&OK\""});
    Finish();
  }

  // Imports `text` with column N (from 1) assigned to target row `targets[N-1]`.
  void ImportAssigned(const std::string& text, const std::vector<int>& targets) {
    const std::string path = scratch_ + "/in.csv";
    ASSERT_EQ(platform::ReplaceWholeFile(path, text), 0);
    driver_.QueueFileAnswer(path);
    Call(Import, 0);
    for (std::size_t column = 0; column < targets.size(); ++column) {
      Run({"pick #1 " + std::to_string(column + 1), "pick #2 " + std::to_string(targets[column]),
           "press \"&Assign\""});
    }
    Run({"press \"&OK\""});
    Finish();
  }
};

TEST_F(TransferFlowTest, ExportWritesTheChosenFieldsOfTheUserOnly) {
  WriteUsers({{"Ann", "Not Required"}});
  WriteEntries("Ann", {{"Bank", "bank.example", "ann", "pin 1", "n", ""},
                       {"say \"hi\", ok", "", "x", "p\"q", "", ""}});
  WriteEntries("Zed", {{"Other", "", "zed", "zz", "", ""}});
  EXPECT_EQ(ExportFields({1, 4}, false),
            "\"Bank\",\"pin 1\"\r\n\"say \"\"hi\"\", ok\",\"p\"\"q\"\r\n");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TransferFlowTest, AUserWithNoEntriesExportsOnlyTheHeader) {
  WriteUsers({{"Ann", "Not Required"}});
  EXPECT_EQ(ExportFields({2, 3}, true), "\"P_:URL\",\"P_:Name\"\r\n");
}

TEST_F(TransferFlowTest, ExportMarksClicksCtrlSpaceAndShiftRanges) {
  WriteUsers({{"Ann", "Not Required"}});
  Call(Export, 0);
  Run({"press \"&OK\""});
  EXPECT_EQ(BoxesOnce(1),
            std::vector<std::string>{
                "No Fields Selected for Export!: You must select one or more fields to "
                "export."});
  // Row 4 alone, then row 3 by the space bar; Add keeps the list's order.
  Run({"pick #1 4", "key Ctrl+Up", "key Space", "press \"&Add ->\"",
       "expect \"row* 1 \\\"P_:Name\"", "expect \"row 2 \\\"P_:Password\"", "press \"Shift &Down\"",
       "expect \"row* 2 \\\"P_:Name\"", "press \"&Remove\"", "expect-not \"row 2 \\\"P_:Name\"",
       // A click marks one alone; Shift+Down and Shift+End extend from it.
       "pick #1 2", "key Shift+Down", "press \"&Add ->\"", "expect \"row 3 \\\"P_:Name\"",
       "expect \"row* 2 \\\"P_:URL\"", "expect \"Alpha-numeric\"", "press \"&Cancel\""});
  ASSERT_TRUE(Returned());
}

TEST_F(TransferFlowTest, PicturePromptRefusesAPictureWithoutTheAtSign) {
  WriteUsers({{"Ann", "Not Required"}});
  Call(Export, 0);
  Run({"pick #1 1", "press \"&Add ->\"", "press \"&Picture\"", "type \"Picture:\" \"n10\"",
       "press \"&OK\"", "expect \"Enter Picture...\"", "type \"Picture:\" \"@n10\"",
       "press \"&OK\"", "expect \"STRING 9 \\\"Numeric\"", "press \"&Cancel\""});
  EXPECT_EQ(BoxesOnce(1),
            std::vector<std::string>{"Invalid Picture!: Pictures must begin with \"@\""});
}

struct ImportCase {
  const char* what;
  std::string text;
  std::vector<int> targets;  // empty: "A&uto" with the strip box
  Entries expected;
};

TEST_F(TransferFlowTest, ImportReadsEveryLineIntoABlankEntry) {
  const std::string header = "\"P_:Service\",\"P_:Name\",\"P_:Notes\"\r\n";
  const ImportCase cases[] = {
      {"a header, A&uto and strip import only the data lines",
       header + "\"Bank\",\"ann\",\"n1\"\r\n\"Shop\",\"bo\",\"n2\"\r\n",
       {},
       {{"Bank", "", "ann", "", "n1", ""}, {"Shop", "", "bo", "", "n2", ""}}},
      {"LF line ends and a byte order mark",
       "\xEF\xBB\xBF\"P_:Service\",\"P_:Name\",\"P_:Notes\"\n\"Bank\",\"ann\",\"n1\"\n",
       {},
       {{"Bank", "", "ann", "", "n1", ""}}},
      {"notes over three lines; an empty column later arrives empty (no carry-over)",
       header + "\"Bank\",\"ann\",\"one\r\ntwo\nthree\"\r\n\"Shop\",\"bo\",\r\n\"Car\",\"cy\"\r\n",
       {},
       {{"Bank", "", "ann", "", "one\ntwo\nthree", ""},
        {"Shop", "", "bo", "", "", ""},
        {"Car", "", "cy", "", "", ""}}},
      {"a comma inside quotes, a doubled quote, extra columns ignored",
       "\"a, b\",\"say \"\"hi\"\"\",\"extra\",\"more\"\r\n",
       {1, 4},
       {{"a, b", "", "", "say \"hi\"", "", ""}}},
  };
  for (const ImportCase& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    WriteUsers({{"Ann", "Not Required"}});
    if (c.targets.empty()) {
      ImportAuto(c.text);
    } else {
      ImportAssigned(c.text, c.targets);
    }
    EXPECT_EQ(ReadEntries("Ann"), c.expected);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(CheckFiles(), "");
  }
}

TEST_F(TransferFlowTest, AnUnquotedSecondLineMakesTheColumnNumeric) {
  WriteUsers({{"Ann", "Not Required"}});
  const std::string path = scratch_ + "/in.csv";
  ASSERT_EQ(platform::ReplaceWholeFile(path, "\"a\",\"7\"\r\n\"b\",8\r\n"), 0);
  driver_.QueueFileAnswer(path);
  Call(Import, 0);
  Run({"expect \"@N30.9\"", "expect \"@S1000\"", "press \"&Next\"", "expect \"@S1000    \\\\tb \"",
       "expect \"A&uto\\\" hidden\"", "expect \"STRING 5 \\\"     2\"", "press \"&Next\"",
       "expect \"&Next\\\" focus hidden\"", "press \"&OK\""});
  EXPECT_EQ(BoxesOnce(1),
            std::vector<std::string>{
                "No Fields Selected for Import!: You must select one or more fields to "
                "import."});
  Run({"press \"&Cancel\""});
  ASSERT_TRUE(Returned());
}

TEST_F(TransferFlowTest, AFailedAddEndsTheImportKeepingTheEntriesBefore) {
  WriteUsers({{"Ann", "Not Required"}});
  ImportAssigned("\"a\",\"x\"\r\n\"b\",\"x\"\r\n\"A\",\"x\"\r\n\"c\",\"x\"\r\n", {1, 3});
  EXPECT_EQ(ReadEntries("Ann"), (Entries{{"a", "", "x", "", "", ""}, {"b", "", "x", "", "", ""}}));
  ASSERT_EQ(BoxesOnce(1).size(), 1u);
  EXPECT_TRUE(Boxes()[0].starts_with("Cannot ADD to Passwords!: Error #")) << Boxes()[0];
  EXPECT_EQ(CheckFiles(), "");
}

TEST_F(TransferFlowTest, CancelEndsTheImportKeepingWhatWasAdded) {
  WriteUsers({{"Ann", "Not Required"}});
  std::string text;
  for (int i = 0; i < 200; ++i) text += "\"s" + std::to_string(i) + "\"\r\n";
  const std::string path = scratch_ + "/in.csv";
  ASSERT_EQ(platform::ReplaceWholeFile(path, text), 0);
  driver_.QueueFileAnswer(path);
  Call(Import, 0);
  Run({"pick #1 1", "pick #2 1", "press \"&Assign\"", "press \"&OK\"", "advance 30",
       "press \"Cancel\""});
  ASSERT_TRUE(Returned());
  const std::size_t added = ReadEntries("Ann").size();
  EXPECT_GT(added, 0u);
  EXPECT_LT(added, 200u) << "Cancel ended the import";
  EXPECT_EQ(added % 25, 0u) << "whole slices";
  EXPECT_EQ(CheckFiles(), "");
}

TEST_F(TransferFlowTest, AThousandEntriesRoundTripIntoAnotherUser) {
  std::mt19937 random(23);
  auto text = [&](std::size_t length) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i) s += static_cast<char>(0x20 + random() % 95);
    return std::string(support::CLIP(s));
  };
  Entries entries;
  for (int i = 0; i < 1000; ++i) {
    entries.push_back({std::to_string(i) + text(20), text(90), text(30), text(30), "", ""});
  }
  WriteUsers({{"Ann", "Not Required"}});
  WriteEntries("Ann", entries);
  const std::string exported = ExportFields({1, 2, 3, 4}, true);
  ASSERT_TRUE(exported.starts_with("\"P_:Service\",\"P_:URL\",\"P_:Name\",\"P_:Password\"\r\n"));
  TearDown();
  SetUp();
  WriteUsers({{"Bob", "Not Required"}});
  ImportAuto(exported);
  EXPECT_EQ(ReadEntries("Bob"), entries);
  EXPECT_EQ(CheckFiles(), "");
}

}  // namespace
}  // namespace vaultrix::app
