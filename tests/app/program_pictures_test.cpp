// The pictures of the application's windows: every icon and image file that
// a window description names is a resource of the module the description was
// found in, under the name the file name gives (upper case, "." as "_",
// without a leading "~"; icons of type "ICON", images of type "IMAGE"), and
// every embedded GIF and icon file is well formed enough for a reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/resources.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_resource.h"
#include "tools/rescomp/compiler.h"

namespace vaultrix::windows {
namespace {

using Bytes = std::span<const std::uint8_t>;

std::filesystem::path ResourcesDir() {
  return std::filesystem::path(VAULTRIX_SOURCE_DIR) / "resources";
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint16_t U16(Bytes b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t U32(Bytes b, std::size_t at) {
  return static_cast<std::uint32_t>(U16(b, at)) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16;
}

std::string ResourceNameOf(std::string_view file) {
  if (file.starts_with('~')) file.remove_prefix(1);
  std::string name;
  for (char c : file) {
    name += c == '.' ? '_' : (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return name;
}

bool IsIconFile(std::string_view file) {
  return ResourceNameOf(file).ends_with("_ICO");
}

// --- the structures of every description source ----------------------------

struct Structure {
  std::string module;
  std::string name;
  bool report = false;
};

// Follows the structure chain of a compiled module (module name, NUL, body)
// as the loader sees it: the body at offset 2 of a buffer, offsets index it.
void CollectStructures(const rescomp::CompiledModule& compiled, std::vector<Structure>* out) {
  const std::vector<std::uint8_t>& bytes = compiled.bytes;
  std::size_t nul = compiled.module_name.size();
  ASSERT_LT(nul, bytes.size());
  std::vector<std::uint8_t> buffer(rsc::kBodyOrigin, 0);
  buffer.insert(buffer.end(), bytes.begin() + static_cast<std::ptrdiff_t>(nul) + 1, bytes.end());
  std::uint32_t record = U32(buffer, rsc::kBodyOrigin);
  for (int guard = 0; record != 0 && guard < 100; ++guard) {
    ASSERT_LE(record + rsc::kWindowSize, buffer.size()) << compiled.module_name;
    std::uint32_t name = U32(buffer, record + rsc::kWindowStructureNameAt);
    ASSERT_LT(name, buffer.size()) << compiled.module_name;
    const char* text = reinterpret_cast<const char*>(&buffer[name]);
    out->push_back({compiled.module_name, std::string(text, strnlen(text, buffer.size() - name)),
                    buffer[record] == rsc::kReport});
    record = U32(buffer, record + rsc::kNextAt);
  }
}

std::vector<Structure> AllStructures() {
  std::vector<Structure> structures;
  for (const auto& entry : std::filesystem::directory_iterator(ResourcesDir())) {
    if (entry.path().extension() != ".vwin") continue;
    std::vector<std::uint8_t> text = ReadAll(entry.path());
    rescomp::CompiledModule compiled;
    rescomp::SourceError error;
    EXPECT_TRUE(rescomp::CompileSource(std::string(text.begin(), text.end()), &compiled, &error))
        << entry.path() << ":" << error.line << ": " << error.message;
    CollectStructures(compiled, &structures);
  }
  return structures;
}

// --- GIF and icon files ---------------------------------------------------------

struct GifShape {
  int width = 0;
  int height = 0;
  int images = 0;
};

// Walks a GIF file block by block, from the signature to the trailer.
// Answers "" or what is wrong.
std::string CheckGif(Bytes gif, GifShape* shape) {
  if (gif.size() < 13) return "shorter than a header";
  if (std::memcmp(gif.data(), "GIF87a", 6) != 0 && std::memcmp(gif.data(), "GIF89a", 6) != 0) {
    return "no GIF signature";
  }
  shape->width = U16(gif, 6);
  shape->height = U16(gif, 8);
  if (shape->width == 0 || shape->height == 0 || shape->width > 2048 || shape->height > 2048) {
    return "screen of " + std::to_string(shape->width) + "x" + std::to_string(shape->height);
  }
  std::size_t at = 13;
  auto skip_table = [&](std::uint8_t flags) {
    if (flags & 0x80) at += 3u << ((flags & 7) + 1);
  };
  auto skip_sub_blocks = [&] {
    while (at < gif.size()) {
      std::uint8_t length = gif[at++];
      if (length == 0) return true;
      at += length;
    }
    return false;
  };
  skip_table(gif[10]);
  while (at < gif.size()) {
    std::uint8_t introducer = gif[at++];
    if (introducer == 0x3B) {
      if (shape->images == 0) return "no image";
      return at == gif.size() ? "" : "bytes after the trailer";
    }
    if (introducer == 0x21) {
      ++at;  // the extension's label
      if (!skip_sub_blocks()) return "an extension runs past the end";
      continue;
    }
    if (introducer != 0x2C) return "unknown block " + std::to_string(introducer);
    if (at + 10 > gif.size()) return "image descriptor cut short";
    int left = U16(gif, at), top = U16(gif, at + 2), width = U16(gif, at + 4),
        height = U16(gif, at + 6);
    if (width == 0 || height == 0 || left + width > shape->width || top + height > shape->height) {
      return "an image outside the screen";
    }
    std::uint8_t flags = gif[at + 8];
    at += 9;
    skip_table(flags);
    if (at >= gif.size()) return "image data missing";
    std::uint8_t code_size = gif[at++];
    if (code_size < 2 || code_size > 8) return "LZW code size " + std::to_string(code_size);
    if (!skip_sub_blocks()) return "image data runs past the end";
    ++shape->images;
  }
  return "no trailer";
}

std::size_t BitmapRow(std::size_t bits) {
  return (bits + 31) / 32 * 4;
}

// Checks an icon file's directory and each image's bitmap header (or PNG
// signature). Answers "" or what is wrong; `sizes` gets each square image's
// width.
std::string CheckIcon(Bytes ico, std::set<int>* sizes) {
  if (ico.size() < 6) return "shorter than a directory";
  if (U16(ico, 0) != 0 || U16(ico, 2) != 1) return "not an icon directory";
  std::size_t count = U16(ico, 4);
  std::size_t images_start = 6 + 16 * count;
  if (count == 0) return "no images";
  if (images_start > ico.size()) return "directory entries past the end";
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t e = 6 + 16 * i;
    int width = ico[e] == 0 ? 256 : ico[e];
    int height = ico[e + 1] == 0 ? 256 : ico[e + 1];
    std::size_t size = U32(ico, e + 8), offset = U32(ico, e + 12);
    std::string which = "image " + std::to_string(i) + ": ";
    if (offset < images_start || offset > ico.size() || size > ico.size() - offset) {
      return which + "outside the file";
    }
    Bytes image = ico.subspan(offset, size);
    if (size >= 8 && std::memcmp(image.data(), "\x89PNG\r\n\x1a\n", 8) == 0) {
      if (width == height) sizes->insert(width);
      continue;
    }
    if (size < 40 || U32(image, 0) != 40) return which + "no bitmap header";
    if (U32(image, 4) != static_cast<std::uint32_t>(width) ||
        U32(image, 8) != static_cast<std::uint32_t>(2 * height)) {
      return which + "bitmap size differs from its entry";
    }
    std::size_t bits = U16(image, 14);
    if (U16(image, 12) != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
      return which + "planes or bits per pixel";
    }
    std::size_t colours = bits > 8 ? 0 : U32(image, 32) != 0 ? U32(image, 32) : 1u << bits;
    std::size_t rows = static_cast<std::size_t>(height);
    std::size_t needed =
        40 + 4 * colours + rows * BitmapRow(width * bits) + rows * BitmapRow(width);
    if (needed > size) return which + "pixels cut short";
    if (width == height) sizes->insert(width);
  }
  return "";
}

// --- the tests ------------------------------------------------------------------

TEST(ProgramPictures, EveryFileAWindowNamesIsAResourceOfItsModule) {
  std::vector<Structure> structures = AllStructures();
  ASSERT_GE(structures.size(), 30u);
  std::set<std::string> named;
  for (const Structure& s : structures) {
    std::unique_ptr<WindowResource> window;
    OpenWindowResource(&window, s.report ? WindowKind::kReport : WindowKind::kPlainWindow, s.module,
                       s.name);
    ASSERT_EQ(window->Load(), ResourceStatus::kOk) << s.name;
    const WindowView& v = window->view();
    std::vector<std::pair<std::string_view, const char*>> files;  // file, resource type
    if (!v.icon.empty()) files.emplace_back(v.icon, "ICON");
    auto add = [&](const std::vector<ControlView>& controls) {
      for (const ControlView& c : controls) {
        if (!c.image.empty()) files.emplace_back(c.image, IsIconFile(c.image) ? "ICON" : "IMAGE");
      }
    };
    add(v.toolbar);
    add(v.controls);
    for (const BandView& band : v.bands) add(band.controls);
    for (const auto& [file, type] : files) {
      EXPECT_NE(window->description().module->Find(type, ResourceNameOf(file)), nullptr)
          << s.name << " names " << file << ": no " << type << " " << ResourceNameOf(file);
      named.emplace(file);
    }
  }
  for (const char* file : {"ADS.ICO", "WINPYR.ICO", "~key3.gif", "~logo.gif", "~splash.gif"}) {
    EXPECT_TRUE(named.contains(file)) << file << " is named by no window";
  }
}

TEST(ProgramPictures, KeyAnimationFramesMatchTheToolbarKey) {
  platform::ResourceModulePtr program = platform::LoadedResourceModules().at(0);
  GifShape first;
  for (const char* file : {"~key3.gif", "~key3f.gif", "~key3d.gif", "~key3b.gif", "~key3a.gif"}) {
    const std::vector<std::uint8_t>* gif = program->Find("IMAGE", ResourceNameOf(file));
    ASSERT_NE(gif, nullptr) << file;
    GifShape shape;
    ASSERT_EQ(CheckGif(*gif, &shape), "") << file;
    if (first.width == 0) first = shape;
    // One image control shows them in turn: they must not change its size.
    EXPECT_EQ(shape.width, first.width) << file;
    EXPECT_EQ(shape.height, first.height) << file;
  }
}

TEST(ProgramPictures, EmbeddedImagesAreWellFormedGifs) {
  platform::ResourceModulePtr program = platform::LoadedResourceModules().at(0);
  int images = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ResourcesDir() / "images")) {
    std::string file = entry.path().filename().string();
    const std::vector<std::uint8_t>* gif = program->Find("IMAGE", ResourceNameOf(file));
    ASSERT_NE(gif, nullptr) << file;
    EXPECT_EQ(*gif, ReadAll(entry.path())) << file;
    GifShape shape;
    EXPECT_EQ(CheckGif(*gif, &shape), "") << file;
    ++images;
  }
  EXPECT_GE(images, 7);
}

TEST(ProgramPictures, EmbeddedIconsHoldSmallAndLargeImages) {
  platform::ResourceModulePtr program = platform::LoadedResourceModules().at(0);
  int icons = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ResourcesDir() / "icons")) {
    std::string file = entry.path().filename().string();
    const std::vector<std::uint8_t>* ico = program->Find("ICON", ResourceNameOf(file));
    ASSERT_NE(ico, nullptr) << file;
    EXPECT_EQ(*ico, ReadAll(entry.path())) << file;
    std::set<int> sizes;
    EXPECT_EQ(CheckIcon(*ico, &sizes), "") << file;
    EXPECT_TRUE(sizes.contains(16) && sizes.contains(32)) << file;
    ++icons;
  }
  EXPECT_GE(icons, 2);
}

// The checkers themselves: a file cut short or with a broken directory is
// caught, so that the tests above can fail.
TEST(ProgramPictures, CheckersRejectDamagedFiles) {
  platform::ResourceModulePtr program = platform::LoadedResourceModules().at(0);
  const std::vector<std::uint8_t>* gif = program->Find("IMAGE", "KEY3_GIF");
  ASSERT_NE(gif, nullptr);
  GifShape shape;
  std::vector<std::uint8_t> cut(gif->begin(), gif->end() - 3);
  EXPECT_NE(CheckGif(cut, &shape), "");
  std::vector<std::uint8_t> empty_screen = *gif;
  empty_screen[6] = empty_screen[7] = 0;
  EXPECT_NE(CheckGif(empty_screen, &shape), "");

  const std::vector<std::uint8_t>* ico = program->Find("ICON", "ADS_ICO");
  ASSERT_NE(ico, nullptr);
  std::set<int> sizes;
  std::vector<std::uint8_t> wrong_type = *ico;
  wrong_type[2] = 2;  // a cursor directory
  EXPECT_NE(CheckIcon(wrong_type, &sizes), "");
  std::vector<std::uint8_t> short_image(ico->begin(), ico->end() - 1);
  EXPECT_NE(CheckIcon(short_image, &sizes), "");
}

}  // namespace
}  // namespace vaultrix::windows
