// The image control showing report page files: what it accepts, the page's
// natural size, and the dump line that shows it.
#include <filesystem>

#include "platform/drivers/headless/window_dump.h"
#include "platform/metafile_page.h"
#include "platform/metafile_page_folder.h"
#include "platform/metafile_recorder.h"
#include "runtime/windows/page_image.h"
#include "runtime/windows/window_open.h"
#include "tests/windows/window_test_support.h"

namespace vaultrix::windows {
namespace {

constexpr const char* kPageWindow = R"(
module "VAULTRIX$vltrx001"

window "PAGE$WINDOW"
  title "Pages"
  at 10 10 200 100
  image 3
    at 0 0 100 100
)";

class PageImageTest : public EngineFixture {
 protected:
  PageImageTest() {
    platform::SetProgramResources(CompiledModule(kPageWindow, "vaultrix", "VLTRX001_RSC"));
    EXPECT_EQ(platform::CreatePageFolder(&folder_), 0);
  }
  ~PageImageTest() override { platform::RemovePageFolder(folder_); }

  std::string PageFile(std::size_t keep_bytes = SIZE_MAX, bool with_key = true) {
    platform::MetafileRecorder recorder(4800, 6300);
    recorder.SelectFont({"Arial", 67, 400});
    recorder.Text(0, 0, "Page 1", {0, 0, 100, 100});
    const auto metafile = recorder.Finish();
    auto header = platform::EncodePlaceableHeader(platform::PageHeaderFor(platform::kLetterAt600Dpi));
    if (!with_key) header[0] = 0;
    std::vector<std::uint8_t> bytes(header.size() + metafile.size());
    std::copy(header.begin(), header.end(), bytes.begin());
    std::copy(metafile.begin(), metafile.end(), bytes.begin() + header.size());
    bytes.resize(std::min(bytes.size(), keep_bytes));
    std::string path;
    EXPECT_EQ(platform::WritePageFile(folder_, {}, bytes, &path), 0);
    return path;
  }

  std::string folder_;
};

TEST_F(PageImageTest, PageFilesShowAtTheirNaturalSizeOthersShowNothing) {
  WindowResource& window = Make(WindowKind::kPlainWindow, "PAGE$WINDOW");
  WindowOpen(engine_, window);
  const ControlObject& image = *window.object().FindControl(3);

  platform::NaturalSize size;
  ASSERT_TRUE(ShowPageFile(engine_, image, PageFile(), &size));
  // Letter paper at the screen's 96 pixels per inch.
  EXPECT_EQ(size.width, 816);
  EXPECT_EQ(size.height, 1056);
  // The window's end record, the four set-up records, a font, its selection, the text, its deletion.
  EXPECT_NE(platform::headless::DumpWindows(system_).find("IMAGE 3 \"\" page=816x1056 records=9"),
            std::string::npos);

  for (const std::string& refused : {PageFile(22), PageFile(SIZE_MAX, false), folder_ + "/none"}) {
    EXPECT_FALSE(ShowPageFile(engine_, image, refused)) << refused;
    EXPECT_EQ(platform::headless::DumpWindows(system_).find("page="), std::string::npos);
  }
  WindowClose(engine_, window.object());
}

}  // namespace
}  // namespace vaultrix::windows
