// qt_screenshots DIR MODULE...: opens the application frame and then every
// window that the program's description resources of the named modules
// ("vltrx001", one per resources/*.vwin) describe, one at a time, through
// the event engine and the Qt driver, and saves a PNG of each in DIR
// (frame.png and one file per window named after its structure). For review of the desktop look; run
// it on the offscreen platform (scripts/screenshots does).
#include <QtCore/QDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/drivers/qt/qt_driver.h"
#include "platform/resources.h"
#include "runtime/windows/window_open.h"
#include "tests/platform/window_thread.h"

namespace {

using namespace vaultrix;

struct Structure {
  std::string module;  // "VAULTRIX$vltrx003"
  std::string name;    // "BROWSEPASSWORDS$WINDOW"
  bool window = false;  // a window record (reports are left out)
};

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  if (at + 4 > b.size()) return 0;
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::string TextAt(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::string text;
  while (at < b.size() && b[at] != 0) text.push_back(static_cast<char>(b[at++]));
  return text;
}

// The structures of one compiled description resource, in chain order.
std::vector<Structure> StructuresOf(const std::vector<std::uint8_t>& bytes) {
  std::vector<Structure> found;
  const std::string module = TextAt(bytes, 0);
  const std::size_t body = module.size() + 1;
  // Offset v names body position v - 2.
  auto at = [&](std::uint32_t offset) { return body + offset - 2; };
  std::uint32_t record = U32(bytes, body);
  for (int guard = 0; record >= 2 && guard < 256; ++guard) {
    const std::size_t r = at(record);
    if (r >= bytes.size()) break;
    found.push_back({module, TextAt(bytes, at(U32(bytes, r + 33))), bytes[r] == 0x19});
    record = U32(bytes, r + 1);
  }
  return found;
}

bool Save(platform::qt::QtDriver& driver, platform::WindowHandle window, const QString& path) {
  QWidget* widget = nullptr;
  for (int i = 0; i < 200 && widget == nullptr; ++i) {
    driver.Drain();
    QCoreApplication::processEvents();
    widget = driver.WidgetOf(window);
  }
  if (widget == nullptr) return false;
  for (int i = 0; i < 20; ++i) {
    driver.Drain();
    QCoreApplication::processEvents();
  }
  return widget->grab().save(path, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: qt_screenshots DIR MODULE...\n");
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  const QString dir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(dir);

  std::vector<Structure> structures;
  const platform::ResourceModulePtr program = platform::LoadedResourceModules().front();
  for (int i = 2; i < argc; ++i) {
    const std::string stem = QString::fromLocal8Bit(argv[i]).toUpper().toStdString();
    const std::vector<std::uint8_t>* bytes = program->Find("DABDUMP", stem + "_RSC");
    if (bytes == nullptr) {
      std::fprintf(stderr, "qt_screenshots: no description resource %s_RSC\n", stem.c_str());
      continue;
    }
    for (const Structure& s : StructuresOf(*bytes)) structures.push_back(s);
  }

  platform::WindowSystem system;
  platform::qt::QtDriverOptions options;
  options.sync_clipboard = false;
  platform::qt::QtDriver driver(system, options);
  testing::WindowThread thread(system);
  windows::EventEngine engine(system);
  int saved = 0;
  int failed = 0;
  std::unique_ptr<windows::WindowResource> frame;
  for (const Structure& s : structures) {
    if (!s.window) continue;
    const bool is_frame = s.module == "VAULTRIX$vltrx001";
    std::unique_ptr<windows::WindowResource> window;
    const windows::WindowKind kind =
        is_frame ? windows::WindowKind::kApplication : windows::WindowKind::kPlainWindow;
    thread.Run([&] { windows::OpenWindowResource(&window, kind, s.module, s.name, {}); });
    platform::WindowHandle handle = platform::kNoWindow;
    thread.Run([&] {
      windows::WindowOpen(engine, *window);
      handle = window->object().handle;
      (void)system.ShowWindow(handle, platform::kSwShow);
    });
    QString file = QString::fromStdString(is_frame ? std::string("frame") : s.name);
    file.replace(QLatin1Char('$'), QLatin1Char('_')).replace(QLatin1Char(':'), QLatin1Char('_'));
    const bool ok = Save(driver, handle, dir + QLatin1Char('/') + file.toLower() + ".png");
    (ok ? saved : failed) += 1;
    std::printf("%s %s\n", ok ? "saved" : "FAILED", file.toLower().toStdString().c_str());
    if (is_frame) {
      frame = std::move(window);
    } else {
      thread.Run([&] { windows::DestroyWindowObject(engine, window->object()); });
    }
  }
  if (frame) thread.Run([&] { windows::DestroyWindowObject(engine, frame->object()); });
  driver.Drain();
  std::printf("%d screenshots in %s\n", saved, argv[1]);
  return failed == 0 && saved > 0 ? 0 : 1;
}
