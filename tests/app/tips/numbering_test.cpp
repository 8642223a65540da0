// Numbering a new tip when the tips file fails: the ADD tried three times,
// then the question whether to go on; a highest tip that cannot be read ends
// the numbering at once.
#include "app/tips/numbering.h"

#include <gtest/gtest.h>

#include "app/dictionary/data_dictionary.h"
#include "app/services/open_data_file.h"
#include "runtime/support/error_codes.h"
#include "tests/app/test_data_driver.h"
#include "tests/app/test_support.h"

namespace vaultrix::app {
namespace {

using files::Operation;
using platform::MessageBoxAnswer;
using testing::TestDisk;

class TipNumberingTest : public testing::AppServicesTest {};

TEST_F(TipNumberingTest, FailuresAreRetriedAndReported) {
  constexpr std::int32_t kDenied = support::kAccessDenied;
  // The file is empty: each try finds no highest tip and takes number 1.
  constexpr std::int32_t kEnd = support::kRecordNotAvailable;
  const std::initializer_list<std::int32_t> kEmpty = {kEnd, kEnd, kEnd, kEnd, kEnd, kEnd};
  struct Case {
    const char* name;
    std::initializer_list<std::int32_t> previous;
    std::initializer_list<std::int32_t> adds;
    std::initializer_list<MessageBoxAnswer> answers;
    std::vector<std::string> captions;
    std::int64_t number;  // 0: no tip numbered
  };
  const Case cases[] = {
      {"two failed adds", kEmpty, {kDenied, kDenied}, {}, {}, 1},
      {"three failed adds, cancelled",
       kEmpty,
       {kDenied, kDenied, kDenied},
       {},
       {"Auto Increment Error"},
       0},
      {"retried after three",
       kEmpty,
       {kDenied, kDenied, kDenied, kDenied},
       {MessageBoxAnswer::kRetry},
       {"Auto Increment Error"},
       1},
      {"highest unreadable", {kDenied}, {}, {}, {"Record Retrieval Error"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetDeclarations();
    TestDisk::Reset();
    boxes_.clear();
    FileUse tips(TipOfTheDay());
    TestDisk::Get().Script(Operation::kPrevious, c.previous);
    if (c.adds.size() > 0) TestDisk::Get().Script(Operation::kAdd, c.adds);
    Answer(c.answers);
    const std::optional<NumberedTip> tip = NumberNewTip();
    std::vector<std::string> captions;
    for (const platform::MessageBoxRequest& box : boxes_) captions.push_back(box.caption);
    EXPECT_EQ(captions, c.captions) << (boxes_.empty() ? "" : boxes_[0].text);
    EXPECT_EQ(tip ? tip->number : 0, c.number);
    EXPECT_EQ(TestDisk::Get().LiveRecords("VTRIX_T"), c.number == 0 ? 0u : 1u);
  }
}

}  // namespace
}  // namespace vaultrix::app
