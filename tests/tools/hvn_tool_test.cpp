// vaultrix-hvn run in process on files made through the driver: the usage
// text and argument errors, info, dump in its three formats, check on sound
// files and on files damaged on purpose, rebuild, owner-protected files and
// garbage.
#include <gtest/gtest.h>

#include <random>

#include "platform/env.h"
#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/table.h"
#include "tests/tools/hvn_tool_test_support.h"
#include "tools/hvn_tool/cipher_env.h"

namespace vaultrix::tools {
namespace {

using namespace testing;
namespace hvn = files::hvn;

class HvnToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.Path("data.HVN");
    name_ = dir_.Path("data");
  }
  std::uint32_t TableId() {
    std::uint32_t id = 0;
    const int code = ChangeRecords(path_, [&](hvn::PageFile& file, hvn::Tree&) {
      return hvn::Table::FindId(file, "UNNAMED", &id);
    });
    EXPECT_EQ(code, 0);
    return id;
  }
  void MakeRebuiltFile(const std::vector<Row>& rows) {
    ASSERT_EQ(MakeKeyedFile(name_, rows), 0);
    ASSERT_EQ(RunTool({"rebuild", path_}).code, 0);
  }

  vaultrix::testing::ScratchDir& dir_ = files::hvn::testing::FastScratchDir();
  std::string path_, name_;
};

const std::vector<Row> kRows = {
    {"alpha", 10, "first note"},
    {"Beta", -5, std::string(300, 'm')},
    {"gamma", 10, ""},
};

TEST_F(HvnToolTest, HelpAndArgumentErrors) {
  ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("Usage: vaultrix-hvn COMMAND FILE"), std::string::npos);
  EXPECT_EQ(RunTool({}).code, 2);
  EXPECT_EQ(RunTool({"frobnicate", path_}).code, 2);
  EXPECT_EQ(RunTool({"dump"}).code, 2);
  EXPECT_EQ(RunTool({"dump", path_, "--format", "xml"}).code, 2);
  EXPECT_EQ(RunTool({"dump", path_, "--owner"}).code, 2);
  EXPECT_EQ(RunTool({"check", path_, "--table", "UNNAMED"}).code, 2);
  EXPECT_EQ(RunTool({"info", path_, path_}).code, 2);
  ToolRun missing = RunTool({"info", dir_.Path("none.HVN")});
  EXPECT_EQ(missing.code, 3);
  EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
  ToolRun directory = RunTool({"check", dir_.path()});
  EXPECT_EQ(directory.code, 3);
  EXPECT_NE(directory.err.find("Is a directory"), std::string::npos);
}

TEST_F(HvnToolTest, InfoShowsHeaderRegionsDefinitionAndCounters) {
  MakeRebuiltFile(kRows);
  ToolRun info = RunTool({"info", path_});
  ASSERT_EQ(info.code, 0) << info.err;
  for (const char* expected :
       {"change counter: ", "last issued number: 4\n", "-byte pages: 1, at references ",
        "tables: 1\n", "table UNNAMED (id 0x00000001)\n",
        "  definition: version 1, record size 24, 2 fields, 1 memos, 2 keys\n",
        "  field 1: T:NAME STRING offset 0 size 20\n",
        "  field 2: T:NUMBER LONG offset 20 size 4\n", "  memo 1: T:NOTES size 1000\n",
        "  key 1: T:BYNAME NOCASE on +T:NAME\n", "  key 2: T:BYNUMBER DUP on -T:NUMBER\n",
        "    records: 3 (build mark 0)\n", "    key T:BYNAME: 3 (build mark 5)\n"}) {
    EXPECT_NE(info.out.find(expected), std::string::npos) << expected << "\n" << info.out;
  }
}

TEST_F(HvnToolTest, DumpWritesTextJsonAndCsvWithAnyBytes) {
  const std::string odd = std::string("a,\"b\"\n\xE9") + '\x01' + "\\";
  ASSERT_EQ(MakeKeyedFile(name_, {{odd, 7, "memo, \"quoted\"\nline 2"}, {"plain", -1, ""}}), 0);

  ToolRun text = RunTool({"dump", path_});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(text.out,
            "table UNNAMED\n"
            "record 2\n  T:NAME: a,\"b\"\\n\xC3\xA9\\x01\\\\\n  T:NUMBER: 7\n"
            "  T:NOTES: memo, \"quoted\"\\nline 2\n"
            "record 3\n  T:NAME: plain\n  T:NUMBER: -1\n  T:NOTES: \n");

  ToolRun json = RunTool({"dump", path_, "--format", "json"});
  ASSERT_EQ(json.code, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\"tables\": [\n{\"name\": \"UNNAMED\", \"records\": [\n"
            "  {\"RECORD\": 2, \"T:NAME\": \"a,\\\"b\\\"\\n\\u00e9\\u0001\\\\\", \"T:NUMBER\": 7, "
            "\"T:NOTES\": \"memo, \\\"quoted\\\"\\nline 2\"},\n"
            "  {\"RECORD\": 3, \"T:NAME\": \"plain\", \"T:NUMBER\": -1, \"T:NOTES\": \"\"}\n"
            "]}\n]}\n");

  ToolRun csv = RunTool({"dump", path_, "--format", "csv", "--table", "UNNAMED"});
  ASSERT_EQ(csv.code, 0) << csv.err;
  EXPECT_EQ(csv.out,
            "RECORD,T:NAME,T:NUMBER,T:NOTES\n"
            "2,\"a,\"\"b\"\"\n\xC3\xA9\x01\\\",7,\"memo, \"\"quoted\"\"\nline 2\"\n"
            "3,plain,-1,\n");
}

TEST_F(HvnToolTest, DumpReassemblesLongMemosAndChoosesTables) {
  ASSERT_EQ(MakeKeyedFile(name_, kRows), 0);
  auto other = files::hvn::testing::DeclareTable(name_ + "\\!second");
  files::Create(other->Block());
  ASSERT_EQ(support::ErrorCode(), 0);

  ToolRun all = RunTool({"dump", path_, "--format", "csv"});
  EXPECT_EQ(all.code, 2);
  EXPECT_NE(all.err.find("--table"), std::string::npos);
  ToolRun missing = RunTool({"dump", path_, "--table", "third"});
  EXPECT_EQ(missing.code, 2);
  EXPECT_NE(missing.err.find("no table named third"), std::string::npos);

  ToolRun csv = RunTool({"dump", path_, "--format", "csv", "--table", "UNNAMED"});
  ASSERT_EQ(csv.code, 0) << csv.err;
  EXPECT_NE(csv.out.find("," + std::string(300, 'm') + "\n"), std::string::npos);
  ToolRun second = RunTool({"dump", path_, "--table", "second"});
  EXPECT_EQ(second.code, 0);
  EXPECT_EQ(second.out, "table second\n");
}

TEST_F(HvnToolTest, CheckPassesOnSoundFilesAndRebuildIsRepeatable) {
  MakeRebuiltFile(kRows);
  ToolRun check = RunTool({"check", path_});
  EXPECT_EQ(check.code, 0) << check.out;
  EXPECT_EQ(check.out, path_ + ": no problems found (1 table)\n");
  ToolRun again = RunTool({"rebuild", path_});
  EXPECT_EQ(again.code, 0);
  EXPECT_NE(again.out.find("table UNNAMED key T:BYNAME: 3 entries\n"), std::string::npos);
  EXPECT_EQ(RunTool({"check", path_}).code, 0);
  EXPECT_EQ(hvn::CheckHvnFile(path_), "");
}

// Each way of damaging a sound file, and the words check must find.
struct Damage {
  const char* name;
  std::function<int(hvn::PageFile&, hvn::Tree&, std::uint32_t table)> change;
  const char* reported;
};

TEST_F(HvnToolTest, CheckNamesEachDamage) {
  const std::vector<Damage> damages = {
      {"key entry removed",
       [](hvn::PageFile&, hvn::Tree& tree, std::uint32_t table) {
         hvn::Record entry;
         bool found = false;
         const std::string prefix = hvn::KindPrefix(table, 0);
         if (int code = tree.Search(prefix, hvn::Seek::kAtOrAfter, &entry, &found)) return code;
         bool erased = false;
         return tree.Erase(entry.key, &erased);
       },
       "key T:BYNAME: no entry for record"},
      {"counter changed",
       [](hvn::PageFile&, hvn::Tree& tree, std::uint32_t table) {
         return tree.Insert({hvn::CounterKey(table, hvn::kKindData), hvn::EncodeCounter({7, 0})});
       },
       "table UNNAMED records: counter says 7, found 3"},
      {"key counter changed",
       [](hvn::PageFile&, hvn::Tree& tree, std::uint32_t table) {
         return tree.Insert({hvn::CounterKey(table, 1), hvn::EncodeCounter({1, 0})});
       },
       "key T:BYNUMBER: counter says 1, found 3"},
      {"record cut",
       [](hvn::PageFile&, hvn::Tree& tree, std::uint32_t table) {
         return tree.Insert({hvn::DataKey(table, 3), "short"});
       },
       "record 3 holds 5 bytes, the record size is 24"},
      {"memo chunk left behind",
       [](hvn::PageFile&, hvn::Tree& tree, std::uint32_t table) {
         return tree.Insert({hvn::MemoKey(table, 77, 0, 0), "orphan"});
       },
       "record 77 memo 1: memo text of a record that does not exist"},
      {"memo chunk missing",
       [](hvn::PageFile&, hvn::Tree& tree, std::uint32_t table) {
         bool erased = false;
         return tree.Erase(hvn::MemoKey(table, 3, 0, 0), &erased);
       },
       "record 3 memo 1: chunk 1 where chunk 0 was due"},
      {"key entry pointing elsewhere",
       [](hvn::PageFile&, hvn::Tree& tree, std::uint32_t table) {
         hvn::Record entry;
         bool found = false;
         if (int code =
                 tree.Search(hvn::KindPrefix(table, 0), hvn::Seek::kAtOrAfter, &entry, &found)) {
           return code;
         }
         entry.data = hvn::BigEndian32(99);
         return tree.Insert(entry);
       },
       "entry names record 99 instead of"},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.name);
    std::remove(path_.c_str());
    MakeRebuiltFile(kRows);
    const std::uint32_t table = TableId();
    ASSERT_EQ(
        ChangeRecords(path_, [&](hvn::PageFile& file,
                                 hvn::Tree& tree) { return damage.change(file, tree, table); }),
        0);
    ToolRun check = RunTool({"check", path_});
    EXPECT_EQ(check.code, 1);
    EXPECT_NE(check.out.find(damage.reported), std::string::npos) << check.out;
  }
}

TEST_F(HvnToolTest, CheckNamesAPageWhoseLengthChanged) {
  MakeRebuiltFile(kRows);
  std::string bytes = dir_.Get("data.HVN");
  hvn::FileHeader header;
  const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());
  ASSERT_TRUE(hvn::DecodeHeader(raw, raw + bytes.size(), &header));
  const std::uint64_t page = hvn::PageOffset(header.root);
  ASSERT_LT(page + 6, bytes.size());
  hvn::Store16(reinterpret_cast<std::uint8_t*>(&bytes[page + 4]),
               static_cast<std::uint16_t>(hvn::Load16(raw + page + 4) + 256));
  dir_.Put("data.HVN", bytes);

  ToolRun check = RunTool({"check", path_});
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("page " + std::to_string(header.root) +
                           " unreadable: damaged (internal check hvnbt line "),
            std::string::npos)
      << check.out;
  ToolRun dump = RunTool({"dump", path_});
  EXPECT_EQ(dump.code, 3);
  EXPECT_NE(dump.err.find("damaged"), std::string::npos) << dump.err;
}

TEST_F(HvnToolTest, RebuildLeavesDuplicatesOfAUniqueKeyOutAndSaysSo) {
  ASSERT_EQ(MakeKeyedFile(name_, kRows), 0);
  const std::uint32_t table = TableId();
  // A copy of record 2 under a new number: the driver itself would refuse it.
  std::uint32_t copy = 0;
  ASSERT_EQ(ChangeRecords(path_,
                          [&](hvn::PageFile& file, hvn::Tree& tree) {
                            hvn::Record record;
                            bool found = false;
                            if (int code = tree.Find(hvn::DataKey(table, 2), &record, &found)) {
                              return code;
                            }
                            if (int code = file.IssueNumber(&copy)) return code;
                            if (int code = tree.Insert({hvn::DataKey(table, copy), record.data})) {
                              return code;
                            }
                            hvn::Table access(file, table);
                            return access.AddToCounter(hvn::kKindData, 1);
                          }),
            0);
  ToolRun rebuild = RunTool({"rebuild", path_});
  EXPECT_EQ(rebuild.code, 1);
  EXPECT_NE(rebuild.out.find("key T:BYNAME: record " + std::to_string(copy) +
                             " left out, its value is record 2's"),
            std::string::npos)
      << rebuild.out;
  EXPECT_NE(rebuild.out.find("key T:BYNUMBER: 4 entries"), std::string::npos) << rebuild.out;
  ToolRun check = RunTool({"check", path_});
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("records 2 and " + std::to_string(copy) +
                           " hold the same value of a unique key"),
            std::string::npos)
      << check.out;
}

TEST_F(HvnToolTest, OwnerProtectedFilesNeedTheirPassword) {
  {
    CipherEnv env(platform::CurrentEnv(), "OrbitPlumeCasketNimbleFox");
    platform::ScopedEnv scoped(env);
    ASSERT_EQ(MakeKeyedFile(name_, kRows), 0);
  }
  EXPECT_EQ(dir_.Get("data.HVN").find("hAlV"), std::string::npos);
  for (const std::vector<std::string>& wrong : {std::vector<std::string>{"dump", path_},
                                                {"dump", path_, "--owner", "orbitplume"},
                                                {"check", path_, "--owner", "x"},
                                                {"rebuild", path_, "--owner", "x"}}) {
    ToolRun run = RunTool(wrong);
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find("owner password is wrong"), std::string::npos) << run.err;
  }
  const std::string before = dir_.Get("data.HVN");
  EXPECT_EQ(RunTool({"rebuild", path_, "--owner", "wrong"}).code, 3);
  EXPECT_EQ(dir_.Get("data.HVN"), before);

  const std::string owner = "OrbitPlumeCasketNimbleFox";
  EXPECT_EQ(RunTool({"rebuild", path_, "--owner", owner}).code, 0);
  EXPECT_EQ(RunTool({"check", path_, "--owner", owner}).code, 0);
  ToolRun dump = RunTool({"dump", path_, "--owner", owner, "--format", "csv"});
  ASSERT_EQ(dump.code, 0) << dump.err;
  EXPECT_NE(dump.out.find("2,alpha,10,first note\n"), std::string::npos) << dump.out;
  EXPECT_EQ(dir_.Get("data.HVN").find("hAlV"), std::string::npos);
  EXPECT_EQ(dir_.Get("data.HVN").find("alpha"), std::string::npos);
}

TEST_F(HvnToolTest, GarbageGivesAClearErrorAndNoCrash) {
  MakeRebuiltFile(kRows);
  const std::string sound = dir_.Get("data.HVN");
  std::mt19937 random(20261207);
  const auto noise = [&](std::size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
  };
  std::vector<std::string> files = {"", std::string(100, 'x'), noise(512), noise(5000),
                                    sound.substr(0, sound.size() / 2)};
  for (int i = 0; i < 20; ++i) {
    std::string damaged = sound;
    // Keep the header, scramble some page bytes.
    for (int n = 0; n < 8; ++n) {
      damaged[hvn::kHeaderSize + random() % (damaged.size() - hvn::kHeaderSize)] =
          static_cast<char>(random());
    }
    files.push_back(damaged);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(i);
    dir_.Put("garbage.HVN", files[i]);
    const std::string path = dir_.Path("garbage.HVN");
    for (const char* command : {"info", "dump", "check", "rebuild", "check"}) {
      ToolRun run = RunTool({command, path});
      EXPECT_TRUE(run.code == 0 || run.code == 1 || run.code == 3) << run.code;
      if (run.code == 3) {
        EXPECT_NE(run.err.find("vaultrix-hvn: " + path + ": "), std::string::npos);
      }
    }
    if (i < 4) {
      ToolRun check = RunTool({"check", path});
      EXPECT_EQ(check.code, 3);
      EXPECT_NE(check.err.find("not an HVN data file"), std::string::npos) << check.err;
    }
  }
}

}  // namespace
}  // namespace vaultrix::tools
