// Fuzz target for report page files as the image control reads them: any
// bytes are offered as a page file; one that is accepted is played back in
// full. Nothing may crash or read past the bytes, and the metafile the
// reader hands on must lie within them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/metafile_page.h"
#include "platform/metafile_player.h"
#include "platform/printer_pdf.h"

namespace {

class Canvas : public vaultrix::platform::MetafileCanvas {
 public:
  void Text(std::int16_t, std::int16_t, const std::string& text,
            const vaultrix::platform::MetafileFont& font,
            const vaultrix::platform::MetafileRect*) override {
    characters += text.size() + font.face.size();
  }
  std::size_t characters = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  vaultrix::platform::PageFileView page;
  if (vaultrix::platform::ReadPageFile(bytes, &page)) {
    if (page.metafile.data() < data || page.metafile.data() + page.metafile.size() > data + size) {
      std::abort();
    }
    Canvas canvas;
    (void)vaultrix::platform::PlayMetafile(page.metafile, canvas);
    (void)vaultrix::platform::PageNaturalSize(page.header, 96, 96);
  }
  // The same bytes as a bare metafile, as printers take them.
  Canvas canvas;
  (void)vaultrix::platform::PlayMetafile(bytes, canvas);
  vaultrix::platform::PdfDocument pdf(vaultrix::platform::kLetterAt600Dpi);
  pdf.AddPage(bytes);
  return 0;
}
