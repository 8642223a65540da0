// The resource compiler's output, checked byte by byte against the stored
// layout of window descriptions, and its complaints about bad sources.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/windows/resource_format.h"
#include "tools/rescomp/compiler.h"

namespace vaultrix::rescomp {
namespace {

namespace rsc = windows::rsc;

// A compiled module as the loader sees it: the body at offset 2 of a buffer.
class Compiled {
 public:
  explicit Compiled(const std::string& source) {
    SourceError error;
    ok_ = CompileSource(source, &module_, &error);
    message_ = "line " + std::to_string(error.line) + ": " + error.message;
    std::size_t nul = module_.bytes.empty()
                          ? 0
                          : std::strlen(reinterpret_cast<const char*>(module_.bytes.data()));
    buffer_.assign(2, 0);
    if (ok_) buffer_.insert(buffer_.end(), module_.bytes.begin() + nul + 1, module_.bytes.end());
  }
  bool ok() const { return ok_; }
  const std::string& message() const { return message_; }
  const CompiledModule& module() const { return module_; }
  std::size_t size() const { return buffer_.size(); }

  std::uint8_t U8(std::uint32_t at) const { return buffer_.at(at); }
  std::uint32_t U32(std::uint32_t at) const {
    return buffer_.at(at) | (buffer_.at(at + 1) << 8) | (buffer_.at(at + 2) << 16) |
           (std::uint32_t{buffer_.at(at + 3)} << 24);
  }
  std::int32_t I32(std::uint32_t at) const { return static_cast<std::int32_t>(U32(at)); }
  double F64(std::uint32_t at) const {
    std::uint64_t bits = U32(at) | (std::uint64_t{U32(at + 4)} << 32);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  std::string Text(std::uint32_t at) const {
    return at ? std::string(reinterpret_cast<const char*>(&buffer_.at(at))) : std::string();
  }
  std::string TextAt(std::uint32_t field) const { return Text(U32(field)); }
  std::uint32_t First() const { return U32(2); }

 private:
  bool ok_ = false;
  std::string message_;
  CompiledModule module_;
  std::vector<std::uint8_t> buffer_;
};

constexpr const char* kFrame = R"(
# the frame of a small test program
module "TESTPROG$tst001"

window "MAIN$APPFRAME"
  title "Test Frame"
  at 10 default default 300
  events 0x800
  attributes 0x1820
  font "MS Sans Serif" 8
  colours 0x00FFFF80
  icon "ADS.ICO"
  palette 0xFFFF
  timer 100
  status-bar -1 89
  drop "Generic" "Files"
  menubar
    menu "&File"
      item -1 "&Passwords"
        status "Browse Passwords"
        key 0x250
      separator
      item -2 "E&xit"
        action 0x0F
    menu "&Window"
      action 1
  toolbar
    at 0 0 400 19
    button -21 "Passwords"
      at 2 2 40 14
      tip "Browse Passwords"
)";

TEST(RescompWindowRecord, FieldsSitWhereTheLayoutPutsThem) {
  Compiled c(kFrame);
  ASSERT_TRUE(c.ok()) << c.message();
  EXPECT_EQ(c.module().module_name, "TESTPROG$tst001");
  EXPECT_EQ(c.module().resource_name, "TST001_RSC");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(c.module().bytes.data())), "TESTPROG$tst001");

  std::uint32_t w = c.First();
  EXPECT_EQ(c.U8(w), rsc::kWindow);
  EXPECT_EQ(c.U32(w + 1), 0u) << "the only structure ends the chain";
  EXPECT_EQ(c.U32(w + 5), 0x800u);
  EXPECT_EQ(c.I32(w + 13), 10);
  EXPECT_EQ(c.U32(w + 17), 0x80000000u);
  EXPECT_EQ(c.U32(w + 21), 0x80000000u);
  EXPECT_EQ(c.I32(w + 25), 300);
  EXPECT_EQ(c.U32(w + 29), 0u) << "no controls";
  EXPECT_EQ(c.TextAt(w + 33), "MAIN$APPFRAME");
  EXPECT_EQ(c.TextAt(w + 41), "Test Frame");
  for (std::uint32_t zero : {45u, 49u, 61u, 65u, 69u, 73u, 77u, 101u}) {
    EXPECT_EQ(c.U32(w + zero), 0u) << "offset " << zero;
  }
  EXPECT_EQ(c.TextAt(w + 57), "ADS.ICO");
  EXPECT_EQ(c.U32(w + 81), 0x1820u);
  EXPECT_EQ(c.U32(w + 85), 0xFFFFu);
  EXPECT_EQ(c.U32(w + 89), 100u);

  std::uint32_t font = c.U32(w + 37);
  EXPECT_EQ(c.TextAt(font), "MS Sans Serif");
  EXPECT_EQ(c.U32(font + 4), 8u);
  EXPECT_EQ(c.I32(font + 8), -1);
  EXPECT_EQ(c.I32(font + 12), -1);

  std::uint32_t colours = c.U32(w + 53);
  EXPECT_EQ(c.I32(colours), 0x00FFFF80);
  EXPECT_EQ(c.I32(colours + 4), -1);
  EXPECT_EQ(c.I32(colours + 8), -1);

  std::uint32_t zones = c.U32(w + 105);
  EXPECT_EQ(c.I32(zones), -1);
  EXPECT_EQ(c.I32(zones + 4), 89);
  EXPECT_EQ(c.I32(zones + 8), 0);

  std::uint32_t drop = c.U32(w + 9);
  EXPECT_EQ(c.TextAt(drop), "Generic");
  std::uint32_t second = c.U32(drop + 4);
  EXPECT_EQ(c.TextAt(second), "Files");
  EXPECT_EQ(c.U32(second + 4), 0u);

  // Texts and blocks stand before the record that uses them.
  for (std::uint32_t field : {9u, 33u, 37u, 41u, 53u, 57u, 105u}) {
    EXPECT_LT(c.U32(w + field), w) << "offset " << field;
  }
}

TEST(RescompMenus, MenuBarMenusAndItems) {
  Compiled c(kFrame);
  ASSERT_TRUE(c.ok()) << c.message();
  std::uint32_t w = c.First();
  std::uint32_t bar = c.U32(w + 93);
  ASSERT_GT(bar, w + rsc::kWindowSize - 1) << "the menu bar follows the window record";
  EXPECT_EQ(c.U8(bar), rsc::kMenuBar);
  EXPECT_EQ(c.U32(bar + 1), 0u);

  std::uint32_t file = c.U32(bar + 13);
  EXPECT_EQ(c.U8(file), rsc::kMenu);
  EXPECT_EQ(c.I32(file + 13), 0);
  EXPECT_EQ(c.TextAt(file + 25), "&File");

  std::uint32_t passwords = c.U32(file + 53);
  EXPECT_EQ(c.U8(passwords), rsc::kItem);
  EXPECT_EQ(c.I32(passwords + 13), -1);
  EXPECT_EQ(c.TextAt(passwords + 25), "&Passwords");
  EXPECT_EQ(c.TextAt(passwords + 29), "Browse Passwords");
  EXPECT_EQ(c.I32(passwords + 41), 0x250);
  EXPECT_EQ(c.U32(passwords + 5), 0u);

  std::uint32_t separator = c.U32(passwords + 1);
  EXPECT_EQ(separator, passwords + rsc::kItemSize)
      << "an item is 53 bytes; a separator has no texts";
  EXPECT_EQ(c.U8(separator), rsc::kItem);
  EXPECT_EQ(c.U32(separator + 5), rsc::kItemSeparatorFlag);

  std::uint32_t exit = c.U32(separator + 1);
  EXPECT_EQ(c.I32(exit + 13), -2);
  EXPECT_EQ(c.I32(exit + 49), 0x0F);
  EXPECT_EQ(c.U32(exit + 1), 0u) << "the last item ends the menu's chain";

  std::uint32_t window = c.U32(file + 1);
  EXPECT_EQ(c.TextAt(window + 25), "&Window");
  EXPECT_EQ(c.I32(window + 49), 1);
  EXPECT_EQ(c.U32(window + 53), 0u);
  EXPECT_EQ(c.U32(window + 1), 0u);
  EXPECT_EQ(c.U32(window + 25) + sizeof("&Window"), window)
      << "the menu's text stands right before it";
}

TEST(RescompMenus, ToolbarHoldsNegativelyNumberedButtons) {
  Compiled c(kFrame);
  ASSERT_TRUE(c.ok()) << c.message();
  std::uint32_t toolbar = c.U32(c.First() + 97);
  EXPECT_EQ(c.U8(toolbar), rsc::kToolbar);
  EXPECT_EQ(c.I32(toolbar + 13), 0);
  EXPECT_EQ(c.I32(toolbar + 17), 0);
  EXPECT_EQ(c.I32(toolbar + 21), 400);
  EXPECT_EQ(c.I32(toolbar + 25), 19);
  std::uint32_t button = c.U32(toolbar + 61);
  EXPECT_GE(button, toolbar + rsc::kToolbarSize);
  EXPECT_EQ(c.U8(button), rsc::kButton);
  EXPECT_EQ(c.I32(button + 13), -21);
  EXPECT_EQ(c.I32(button + 21), 2);
  EXPECT_EQ(c.I32(button + 33), 14);
  EXPECT_EQ(c.TextAt(button + 69), "Passwords");
  EXPECT_EQ(c.TextAt(button + 41), "Browse Passwords");
  EXPECT_EQ(c.size(), button + 86u) << "a button is 86 bytes, the last record";
}

constexpr const char* kForm = R"(
module "TESTFORM"
window "FORM$WINDOW"
  title "Form"
  status-bar -1
  prompt 1 "&Name:"
    at 4 4 30 10
  entry 2
    use string 30
    picture "@s30"
    at 40 4 120 10
  group 3 "Options"
    check 4 "&Hide"
      use byte
      status "Hide it"
    spin 5
      use long
      picture "@n3"
      range 0 999 5
  list 6
    use raw 0x30 0
    format "80L(2)|M~Name~@s30@"
  progress 7
    use long
  options 8 "Mode"
    use string 1
    radio 9 "One"
      value "1"
  sheet 10
    tab 11 "Ser&vice"
      textbox 12
        use memo 10000
  panel 13
    fill 0x808080
  image 14
    file "~key3.gif"
  display 15
    use long
    picture "@n5"
  string 16 "A note"
)";

TEST(RescompControls, HeadersAndKindFields) {
  Compiled c(kForm);
  ASSERT_TRUE(c.ok()) << c.message();
  EXPECT_EQ(c.module().resource_name, "TESTFORM_RSC") << "a name without $ is used whole";
  std::uint32_t w = c.First();
  std::uint32_t zones = c.U32(w + 105);
  EXPECT_EQ(c.I32(zones), -1);
  EXPECT_EQ(c.I32(zones + 4), 0) << "one zone over the whole width";
  EXPECT_EQ(c.U32(w + 93), 0u);
  EXPECT_EQ(c.U32(w + 97), 0u);

  std::uint32_t prompt = c.U32(w + 29);
  EXPECT_EQ(c.U8(prompt), rsc::kPrompt);
  EXPECT_EQ(c.I32(prompt + 13), 1);
  EXPECT_EQ(c.U32(prompt + 17), 0u);
  EXPECT_EQ(c.I32(prompt + 21), 4);
  EXPECT_EQ(c.I32(prompt + 33), 10);
  EXPECT_EQ(c.TextAt(prompt + 41), "&Name:");

  std::uint32_t entry = c.U32(prompt + 1);
  EXPECT_EQ(c.U8(entry), rsc::kEntry);
  std::uint32_t use = c.U32(entry + 21);
  EXPECT_EQ(c.U8(use), rsc::kUseString);
  EXPECT_EQ(c.U32(use + 1), 30u);
  EXPECT_EQ(c.U32(use + 5), 0u);
  EXPECT_EQ(use + rsc::kUseDescriptorSize, entry) << "the descriptor stands right before";
  EXPECT_EQ(c.I32(entry + 25), 40);
  EXPECT_EQ(c.I32(entry + 37), 10);
  EXPECT_EQ(c.TextAt(entry + 73), "@s30");

  std::uint32_t group = c.U32(entry + 1);
  EXPECT_EQ(c.U8(group), rsc::kGroup);
  EXPECT_EQ(c.TextAt(group + 69), "Options");
  EXPECT_EQ(c.U32(group + 21), 0x80000000u) << "no position given: all default";
  std::uint32_t check = c.U32(group + 73);
  EXPECT_EQ(c.U8(check), rsc::kCheck);
  EXPECT_EQ(c.U8(c.U32(check + 21)), rsc::kUseByte);
  EXPECT_EQ(c.U32(c.U32(check + 21) + 1), 1u);
  EXPECT_EQ(c.TextAt(check + 41), "Hide it");
  EXPECT_EQ(c.TextAt(check + 73), "&Hide");
  std::uint32_t spin = c.U32(check + 1);
  EXPECT_EQ(c.U8(spin), rsc::kSpin);
  EXPECT_EQ(c.U8(c.U32(spin + 21)), rsc::kUseLong);
  EXPECT_EQ(c.U32(c.U32(spin + 21) + 1), 4u);
  EXPECT_EQ(c.TextAt(spin + 73), "@n3");
  EXPECT_EQ(c.F64(spin + 85), 999.0);
  EXPECT_EQ(c.F64(spin + 93), 5.0);
  EXPECT_EQ(c.U32(spin + 1), 0u) << "a next link never leaves its container";

  std::uint32_t list = c.U32(group + 1);
  EXPECT_EQ(c.U8(list), rsc::kList);
  EXPECT_GT(list, spin) << "containers are written depth first";
  EXPECT_EQ(c.U8(c.U32(list + 21)), 0x30);
  EXPECT_EQ(c.TextAt(list + 25), "80L(2)|M~Name~@s30@");
  EXPECT_EQ(c.U32(list + 29), 0x80000000u);

  std::uint32_t progress = c.U32(list + 1);
  EXPECT_EQ(c.U8(progress), rsc::kProgress);
  EXPECT_EQ(c.F64(progress + 53), 100.0);
  EXPECT_EQ(c.U32(c.U32(progress + 1) + 73), progress + 65)
      << "a progress bar is 65 bytes, then the option group's text";

  std::uint32_t options = c.U32(progress + 1);
  EXPECT_EQ(c.U8(options), rsc::kOptionGroup);
  EXPECT_EQ(c.TextAt(options + 73), "Mode");
  std::uint32_t radio = c.U32(options + 77);
  EXPECT_EQ(c.U8(radio), rsc::kRadio);
  EXPECT_EQ(c.TextAt(radio + 69), "One");
  EXPECT_EQ(c.TextAt(radio + 73), "1");

  std::uint32_t sheet = c.U32(options + 1);
  EXPECT_EQ(c.U8(sheet), rsc::kSheet);
  std::uint32_t tab = c.U32(sheet + 77);
  EXPECT_EQ(c.U8(tab), rsc::kTab);
  EXPECT_EQ(c.TextAt(tab + 49), "Ser&vice");
  std::uint32_t text = c.U32(tab + 53);
  EXPECT_EQ(c.U8(text), rsc::kTextBox);
  EXPECT_EQ(c.U8(c.U32(text + 21)), rsc::kUseMemo);
  EXPECT_EQ(c.U32(c.U32(text + 21) + 1), 10000u);

  std::uint32_t panel = c.U32(sheet + 1);
  EXPECT_EQ(c.U8(panel), rsc::kPanel);
  EXPECT_EQ(c.I32(panel + 37), 0x808080);
  EXPECT_EQ(c.I32(panel + 41), -1);
  std::uint32_t image = c.U32(panel + 1);
  EXPECT_EQ(c.U8(image), rsc::kImage);
  EXPECT_EQ(image, panel + 51 + sizeof("~key3.gif")) << "a panel is 51 bytes";
  EXPECT_EQ(c.TextAt(image + 37), "~key3.gif");
  std::uint32_t value = c.U32(image + 1);
  EXPECT_EQ(c.U8(value), rsc::kValueString);
  EXPECT_EQ(value, image + 45 + sizeof("@n5") + rsc::kUseDescriptorSize) << "an image is 45 bytes";
  EXPECT_EQ(c.TextAt(value + 45), "@n5");
  std::uint32_t string = c.U32(value + 1);
  EXPECT_EQ(c.U8(string), rsc::kString);
  EXPECT_EQ(string, value + 76 + sizeof("A note")) << "a value string is 76 bytes";
  EXPECT_EQ(c.TextAt(string + 41), "A note");
  EXPECT_EQ(c.U32(string + 1), 0u);
  EXPECT_EQ(c.size(), string + 59u) << "a constant string is 59 bytes";
}

TEST(RescompStructures, ModulesChainTheirStructures) {
  Compiled c(R"(
module "M$two"
window "FIRST$WINDOW"
report "PRINT$REPORT"
  at 1000 1720 6000 7281
  font "Arial" 8
  band header
    font "Arial" 10 -1 700
    string "Title"
  band detail
window "LAST$WINDOW"
)");
  ASSERT_TRUE(c.ok()) << c.message();
  std::uint32_t first = c.First();
  EXPECT_EQ(c.TextAt(first + 33), "FIRST$WINDOW");
  std::uint32_t report = c.U32(first + 1);
  EXPECT_EQ(c.U8(report), rsc::kReport);
  EXPECT_EQ(c.TextAt(report + 33), "PRINT$REPORT");
  EXPECT_EQ(c.I32(report + 13), 1000);
  EXPECT_EQ(c.I32(report + 25), 7281);
  std::uint32_t header = c.U32(report + 29);
  EXPECT_EQ(c.U8(header), rsc::kHeaderBand);
  EXPECT_EQ(c.I32(c.U32(header + 37) + 12), 700);
  EXPECT_EQ(c.U8(c.U32(header + 29)), rsc::kString);
  std::uint32_t detail = c.U32(header + 1);
  EXPECT_EQ(c.U8(detail), rsc::kDetailBand);
  EXPECT_EQ(c.U32(detail + 1), 0u);
  std::uint32_t last = c.U32(report + 1);
  EXPECT_EQ(c.TextAt(last + 33), "LAST$WINDOW");
  EXPECT_EQ(c.U32(last + 1), 0u);
}

struct BadSource {
  const char* source;
  int line;
  const char* words;  // a piece of the message
};

TEST(RescompErrors, BadSourcesNameTheLine) {
  const BadSource cases[] = {
      {"window \"A\"\n", 1, "module"},
      {"module \"M\"\n", 1, "no window"},
      {"module \"M\"\nwindow \"A\"\n  colour 1\n", 3, "not a setting"},
      {"module \"M\"\nwindow \"A\"\n  title \"x\"\n  title \"y\"\n", 4, "twice"},
      {"module \"M\"\nwindow \"A\"\n  button 1\n  button 1\n", 4, "used twice"},
      {"module \"M\"\nwindow \"A\"\nwindow \"a\"\n", 3, "used twice"},
      {"module \"M\"\nwindow \"A\"\n\tbutton 1\n", 3, "spaces"},
      {"module \"M\"\nwindow \"A\"\n  entry 1 \"text\"\n", 3, "takes"},
      {"module \"M\"\nwindow \"A\"\n  button 1 \"open\n", 3, "quote"},
      {"module \"M\"\nwindow \"A\"\n  button 1\n    use long\n", 4, "not a setting"},
      {"module \"M\"\nwindow \"A\"\n  item -1 \"x\"\n", 3, "cannot stand"},
      {"module \"M\"\nwindow \"A\"\n  sheet 1\n    button 2\n", 4, "cannot stand"},
      {"module \"M\"\nwindow \"A\"\n  entry 1\n    use string\n", 4, "use"},
      {"module \"M\"\nwindow \"A\"\n  at 1 2 3\n", 3, "4"},
      {"module \"M\"\nwindow \"A\"\n  status-bar -1 0\n", 3, "0 wide"},
      {"module \"M\"\nwindow \"A\"\n  entry 1\n    at 1 2 3 99999999999\n", 4, "range"},
      {"module \"M\"\nwindow \"A\"\n  prompt 1 \"a\\q\"\n", 3, "escape"},
  };
  for (const BadSource& bad : cases) {
    CompiledModule module;
    SourceError error;
    EXPECT_FALSE(CompileSource(bad.source, &module, &error)) << bad.source;
    EXPECT_EQ(error.line, bad.line) << bad.source << error.message;
    EXPECT_NE(error.message.find(bad.words), std::string::npos) << error.message;
  }
}

TEST(RescompValues, TextsNumbersAndComments) {
  Compiled c(R"(module "M"   # a comment
window "W"
  title "say \"hi\"\t\x41 # not a comment"
  timer 010
  attributes 0X2000
)");
  ASSERT_TRUE(c.ok()) << c.message();
  EXPECT_EQ(c.TextAt(c.First() + 41), "say \"hi\"\tA # not a comment");
  EXPECT_EQ(c.U32(c.First() + 89), 10u) << "a leading zero is no octal";
  EXPECT_EQ(c.U32(c.First() + 81), 0x2000u);
}

TEST(RescompNames, ResourceNamesOfModulesAndFiles) {
  EXPECT_EQ(ResourceNameOfModule("VAULTRIX$vltrx001"), "VLTRX001_RSC");
  EXPECT_EQ(ResourceNameOfModule("A$b$c"), "B$C_RSC");
  EXPECT_EQ(ResourceNameOfModule("s_impexp"), "S_IMPEXP_RSC");
  EXPECT_EQ(ResourceNameOfFile("ADS.ICO"), "ADS_ICO");
  EXPECT_EQ(ResourceNameOfFile("~key3.gif"), "KEY3_GIF");
  EXPECT_EQ(ResourceNameOfFile("a.b.c"), "A_B_C");
}

}  // namespace
}  // namespace vaultrix::rescomp
