// A read that fails for a reason other than the end of the order: the user
// sees "Record Retrieval Error" naming the file, and the window closes.
#include <gtest/gtest.h>

#include "app/browse/engine.h"
#include "app/dictionary/data_dictionary.h"
#include "app/services/open_data_file.h"
#include "app/users/user_list.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/files/file_api.h"
#include "runtime/files/operation.h"
#include "tests/app/browse/model_surface.h"
#include "tests/app/test_data_driver.h"
#include "tests/app/test_support.h"

namespace vaultrix::app {
namespace {

class BrowseReadErrorTest : public testing::AppServicesTest {};

TEST_F(BrowseReadErrorTest, AFailedReadIsReportedAndClosesTheWindow) {
  FileUse users(Users());
  for (const char* name : {"Ann", "Bob", "Carl"}) {
    U_ = UserRecord{};
    U_.Name = name;
    files::Add(Users().Block());
  }
  eval::PUSHSCOPE();
  testing::ModelSurface surface;
  {
    BrowseEngine engine(UserListDescription(), surface);
    testing::TestDisk::Get().Script(files::Operation::kNext, {testing::kPass, 5});
    engine.RefreshWindow();
    EXPECT_TRUE(surface.closed);
    EXPECT_TRUE(engine.Failed());
    EXPECT_EQ(engine.RecordsInQueue(), 1) << "what was read before the error stays";
  }
  eval::POPSCOPE();
  ASSERT_EQ(boxes_.size(), 1u) << boxes_.back().caption;
  EXPECT_EQ(boxes_[0].caption, "Record Retrieval Error");
  EXPECT_NE(boxes_[0].text.find("record from the Users file.  Returning to previous window."),
            std::string::npos)
      << boxes_[0].text;
}

}  // namespace
}  // namespace vaultrix::app
