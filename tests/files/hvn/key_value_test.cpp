// Key values and key entries: the documented encodings, byte order equal to
// value order for every field type in both directions, the OPT null rules,
// and the entries of unique and DUP keys.
#include "runtime/files/hvn/key_value.h"

#include <algorithm>
#include <compare>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/files/file_declaration.h"
#include "runtime/support/decimal.h"
#include "runtime/support/locale.h"

namespace vaultrix::files {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A file state with a parsed layout and a record buffer, without a driver.
class TestFile {
 public:
  explicit TestFile(const std::vector<FieldDeclaration>& fields, bool oem = false) {
    const Bytes descriptor = WriteRecordLayout(fields);
    EXPECT_EQ(
        ParseRecordLayout(descriptor.data(), descriptor.data() + descriptor.size(), &state_.layout),
        0);
    state_.record_size = state_.layout.record_size;
    state_.oem = oem;
    record_.assign(state_.record_size, 0);
    state_.record = record_.data();
  }

  [[nodiscard]] std::uint32_t Index(const std::string& label) const {
    for (std::uint32_t i = 0; i < state_.layout.fields.size(); ++i) {
      if (state_.layout.fields[i].label == label) return i;
    }
    ADD_FAILURE() << "no field " << label;
    return 0;
  }

  // Components by label; a leading "-" makes one descending.
  [[nodiscard]] KeyValueEncoder Encoder(std::uint32_t attributes,
                                        const std::vector<std::string>& components,
                                        std::uint8_t key_number = 0) {
    KeyState key;
    key.attributes = attributes;
    for (const std::string& name : components) {
      const bool descending = name[0] == '-';
      key.components.push_back({Index(descending ? name.substr(1) : name), descending});
    }
    auto encoder = KeyValueEncoder::Make(state_, key, key_number);
    EXPECT_TRUE(encoder.has_value());
    return *encoder;
  }

  void Set(const std::string& label, const void* bytes, std::size_t size) {
    const FieldInfo& field = state_.layout.fields[Index(label)];
    ASSERT_LE(size, field.size);
    std::memcpy(record_.data() + field.offset, bytes, size);
  }
  void Set(const std::string& label, const Bytes& bytes) { Set(label, bytes.data(), bytes.size()); }
  template <class T>
  void SetValue(const std::string& label, T value) {
    Set(label, &value, sizeof value);
  }
  // Blank-padded text.
  void SetText(const std::string& label, const std::string& text) {
    const FieldInfo& field = state_.layout.fields[Index(label)];
    std::memset(record_.data() + field.offset, ' ', field.size);
    Set(label, text.data(), text.size());
  }

  [[nodiscard]] const std::uint8_t* Record() const { return record_.data(); }
  [[nodiscard]] FileState& State() { return state_; }

 private:
  FileState state_;
  Bytes record_;
};

int Sign(int v) {
  return (v > 0) - (v < 0);
}
template <class T>
int Sign(T order) {
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int CompareValues(const Bytes& a, const Bytes& b) {
  return Sign(CompareKeyBytes(a.data(), a.size(), b.data(), b.size()));
}

// Generates field contents and checks, for every pair, that the encoded bytes
// order as `compare` orders the contents, ascending and descending.
void ExpectByteOrderIsValueOrder(const FieldDeclaration& field,
                                 const std::function<Bytes(std::mt19937&)>& generate,
                                 const std::function<int(const Bytes&, const Bytes&)>& compare,
                                 std::uint32_t attributes = 0, int count = 160) {
  std::mt19937 rng(2024);
  std::vector<Bytes> values;
  for (int i = 0; i < count; ++i) values.push_back(generate(rng));
  for (bool descending : {false, true}) {
    TestFile file({field});
    const KeyValueEncoder encoder =
        file.Encoder(attributes, {(descending ? "-" : "") + field.label});
    std::vector<Bytes> encoded;
    for (const Bytes& value : values) {
      file.Set(field.label, value);
      encoded.push_back(encoder.EncodeValue(file.Record()));
      ASSERT_EQ(encoded.back().size(), value.size());
    }
    for (int i = 0; i < count; ++i) {
      for (int j = 0; j < count; ++j) {
        const int expected = Sign(compare(values[i], values[j])) * (descending ? -1 : 1);
        ASSERT_EQ(CompareValues(encoded[i], encoded[j]), expected)
            << field.label << (descending ? " descending" : "") << " pair " << i << ", " << j;
      }
    }
  }
}

template <class T>
T Load(const Bytes& bytes) {
  T value;
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

// Integers: mostly near zero and near the limits, where sign handling breaks.
template <class T>
void ExpectIntegerOrder(std::uint8_t type) {
  const auto generate = [](std::mt19937& rng) {
    T value;
    switch (rng() % 3) {
      case 0:
        value = static_cast<T>(static_cast<int>(rng() % 7) - 3);
        break;
      case 1:
        value = static_cast<T>(rng() % 2 ? std::numeric_limits<T>::max() - rng() % 3
                                         : std::numeric_limits<T>::min() + rng() % 3);
        break;
      default:
        value = static_cast<T>(rng());
        break;
    }
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
  };
  const auto compare = [](const Bytes& a, const Bytes& b) {
    return Sign(Load<T>(a) <=> Load<T>(b));
  };
  ExpectByteOrderIsValueOrder(FixedField(type, "F:N"), generate, compare);
}

TEST(KeyValueOrder, IntegersOfEveryWidthAndSign) {
  ExpectIntegerOrder<std::uint8_t>(kTypeByte);
  ExpectIntegerOrder<std::int16_t>(kTypeShort);
  ExpectIntegerOrder<std::uint16_t>(kTypeUShort);
  ExpectIntegerOrder<std::int32_t>(kTypeLong);
  ExpectIntegerOrder<std::uint32_t>(kTypeULong);
}

// Floats in IEEE total order: -NaN, -inf, ..., -0, +0, ..., +inf, +NaN.
template <class T, class Bits>
void ExpectFloatOrder(std::uint8_t type) {
  const auto generate = [](std::mt19937& rng) {
    static const T kSpecial[] = {T(0),
                                 -T(0),
                                 T(1),
                                 T(-1),
                                 T(2),
                                 T(-2),
                                 T(0.5),
                                 std::numeric_limits<T>::infinity(),
                                 -std::numeric_limits<T>::infinity(),
                                 std::numeric_limits<T>::denorm_min(),
                                 -std::numeric_limits<T>::denorm_min(),
                                 std::numeric_limits<T>::max(),
                                 std::numeric_limits<T>::lowest(),
                                 std::numeric_limits<T>::quiet_NaN()};
    T value;
    if (rng() % 3 == 0) {
      value = kSpecial[rng() % std::size(kSpecial)];
    } else {
      const Bits bits = static_cast<Bits>((std::uint64_t{rng()} << 32) | rng());
      std::memcpy(&value, &bits, sizeof value);
    }
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
  };
  const auto compare = [](const Bytes& a, const Bytes& b) {
    return Sign(std::strong_order(Load<T>(a), Load<T>(b)));
  };
  ExpectByteOrderIsValueOrder(FixedField(type, "F:X"), generate, compare);
}

TEST(KeyValueOrder, FloatsInTotalOrder) {
  ExpectFloatOrder<float, std::uint32_t>(kTypeSReal);
  ExpectFloatOrder<double, std::uint64_t>(kTypeReal);
}

TEST(KeyValueOrder, DecimalsBySignedValue) {
  // Up to the 11 digits a 6-byte field holds, 2 of them places.
  const auto generate = [](std::mt19937& rng) {
    support::DecimalCoefficient coefficient = 0;
    const int digits = static_cast<int>(rng() % 12);
    for (int i = 0; i < digits; ++i) coefficient = coefficient * 10 + rng() % 10;
    if (rng() % 2) coefficient = -coefficient;
    Bytes bytes(6);
    const auto value = support::Decimal::FromCoefficient(coefficient, 2);
    EXPECT_TRUE(value.has_value() && support::StorePacked(*value, bytes.data(), 6, 2));
    return bytes;
  };
  const auto compare = [](const Bytes& a, const Bytes& b) {
    return Sign(*support::LoadPacked(a.data(), 6, 2) <=> *support::LoadPacked(b.data(), 6, 2));
  };
  ExpectByteOrderIsValueOrder(DecimalField("F:D", 11, 2), generate, compare);
}

// Texts over a small alphabet so that equal prefixes and ties are common.
std::string RandomText(std::mt19937& rng, std::size_t max_length) {
  static const char kAlphabet[] = " aAbBzZ_[`\xe9\xc9";
  std::string text(rng() % (max_length + 1), ' ');
  for (char& c : text) c = kAlphabet[rng() % (sizeof kAlphabet - 1)];
  return text;
}

// A collation that is not the identity: a fixed random permutation.
support::Locale ShuffledLocale() {
  support::Locale locale = support::DefaultLocale();
  std::iota(locale.collation.begin(), locale.collation.end(), 0);
  std::shuffle(locale.collation.begin(), locale.collation.end(), std::mt19937(99));
  return locale;
}

int CompareWeights(const Bytes& a, const Bytes& b, bool no_case) {
  const support::Locale& locale = support::CurrentLocale();
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::uint8_t ca = a[i];
    std::uint8_t cb = b[i];
    if (no_case) {
      if (locale.char_class[ca] & support::kCharUpper) ca = locale.lower[ca];
      if (locale.char_class[cb] & support::kCharUpper) cb = locale.lower[cb];
    }
    if (locale.collation[ca] != locale.collation[cb]) {
      return locale.collation[ca] < locale.collation[cb] ? -1 : 1;
    }
  }
  return 0;
}

TEST(KeyValueOrder, StringsByCollationWithAndWithoutNoCase) {
  support::ReplaceLocale(ShuffledLocale());
  const auto generate = [](std::mt19937& rng) {
    std::string text = RandomText(rng, 8);
    text.resize(8, ' ');
    return Bytes(text.begin(), text.end());
  };
  for (bool no_case : {false, true}) {
    ExpectByteOrderIsValueOrder(
        StringField("F:S", 8), generate,
        [no_case](const Bytes& a, const Bytes& b) { return CompareWeights(a, b, no_case); },
        no_case ? kKeyNoCase : 0);
  }
  support::ReplaceLocale(support::DefaultLocale());
}

TEST(KeyValueOrder, CStringsAndPStringsByTextIgnoringStaleBytes) {
  const auto text_of_cstring = [](const Bytes& field) {
    const auto end = std::find(field.begin(), field.end(), 0);
    return std::string(field.begin(), end);
  };
  const auto text_of_pstring = [](const Bytes& field) {
    return std::string(field.begin() + 1, field.begin() + 1 + field[0]);
  };
  const auto stale_tail = [](std::mt19937& rng, Bytes& field, std::size_t from) {
    for (std::size_t i = from; i < field.size(); ++i) field[i] = static_cast<std::uint8_t>(rng());
  };
  ExpectByteOrderIsValueOrder(
      CStringField("F:C", 8),
      [&](std::mt19937& rng) {
        std::string text = RandomText(rng, rng() % 5 == 0 ? 8 : 7);
        Bytes field(text.begin(), text.end());
        field.resize(8, 0);
        if (text.size() < 8) stale_tail(rng, field, text.size() + 1);
        return field;
      },
      [&](const Bytes& a, const Bytes& b) {
        return Sign(text_of_cstring(a).compare(text_of_cstring(b)));
      });
  ExpectByteOrderIsValueOrder(
      PStringField("F:P", 8),
      [&](std::mt19937& rng) {
        const std::string text = RandomText(rng, 7);
        Bytes field(8);
        field[0] = static_cast<std::uint8_t>(text.size());
        std::copy(text.begin(), text.end(), field.begin() + 1);
        stale_tail(rng, field, 1 + text.size());
        return field;
      },
      [&](const Bytes& a, const Bytes& b) {
        return Sign(text_of_pstring(a).compare(text_of_pstring(b)));
      });
}

TEST(KeyValueOrder, GroupsByStoredBytes) {
  ExpectByteOrderIsValueOrder(
      GroupField("F:G", {FixedField(kTypeLong, "F:GL"), StringField("F:GS", 3)}),
      [](std::mt19937& rng) {
        Bytes field(7);
        for (auto& b : field) b = static_cast<std::uint8_t>(rng() % 3);
        return field;
      },
      [](const Bytes& a, const Bytes& b) { return Sign(std::memcmp(a.data(), b.data(), 7)); });
}

TEST(KeyValueEncoding, LongMinusOneZeroOne) {
  TestFile file({FixedField(kTypeLong, "F:N")});
  const KeyValueEncoder encoder = file.Encoder(0, {"F:N"});
  std::vector<Bytes> encoded;
  for (std::int32_t value : {-1, 0, 1}) {
    file.SetValue("F:N", value);
    encoded.push_back(encoder.EncodeValue(file.Record()));
  }
  EXPECT_EQ(encoded[0], (Bytes{0x7F, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(encoded[1], (Bytes{0x80, 0x00, 0x00, 0x00}));
  EXPECT_EQ(encoded[2], (Bytes{0x80, 0x00, 0x00, 0x01}));
  EXPECT_LT(CompareValues(encoded[0], encoded[1]), 0);
  EXPECT_LT(CompareValues(encoded[1], encoded[2]), 0);
}

TEST(KeyValueEncoding, RealOrderAndDescendingReversesItExactly) {
  TestFile file({FixedField(kTypeReal, "F:R")});
  const KeyValueEncoder ascending = file.Encoder(0, {"F:R"});
  const KeyValueEncoder descending = file.Encoder(0, {"-F:R"});
  std::vector<Bytes> up;
  std::vector<Bytes> down;
  for (double value : {-2.0, -1.0, 0.0, 1.0}) {
    file.SetValue("F:R", value);
    up.push_back(ascending.EncodeValue(file.Record()));
    down.push_back(descending.EncodeValue(file.Record()));
  }
  EXPECT_EQ(up[3], (Bytes{0xBF, 0xF0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(up[1], (Bytes{0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  // Descending: the negative value's two complements cancel.
  EXPECT_EQ(down[1], (Bytes{0xBF, 0xF0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(down[3], (Bytes{0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_TRUE(std::is_sorted(up.begin(), up.end()));
  EXPECT_TRUE(std::is_sorted(down.rbegin(), down.rend()));
  for (std::size_t i = 0; i + 1 < up.size(); ++i) {
    EXPECT_LT(CompareValues(up[i], up[i + 1]), 0);
    EXPECT_GT(CompareValues(down[i], down[i + 1]), 0);
  }
}

TEST(KeyValueEncoding, DecimalSignNibble) {
  TestFile file({DecimalField("F:D", 5, 0)});  // 3 bytes
  const KeyValueEncoder encoder = file.Encoder(0, {"F:D"});
  file.Set("F:D", Bytes{0x00, 0x01, 0x23});  // 123
  EXPECT_EQ(encoder.EncodeValue(file.Record()), (Bytes{0x80, 0x01, 0x23}));
  file.Set("F:D", Bytes{0x80, 0x01, 0x23});  // -123
  EXPECT_EQ(encoder.EncodeValue(file.Record()), (Bytes{0x7F, 0xFE, 0xDC}));
  file.Set("F:D", Bytes{0xD0, 0x01, 0x23});  // any non-zero sign nibble is negative
  EXPECT_EQ(encoder.EncodeValue(file.Record()), (Bytes{0x7F, 0xFE, 0xDC}));
  const KeyValueEncoder descending = file.Encoder(0, {"-F:D"});
  EXPECT_EQ(descending.EncodeValue(file.Record()), (Bytes{0x80, 0x01, 0x23}));
}

TEST(KeyValueEncoding, PStringStaleBytesAfterTheTextDoNotCount) {
  TestFile file({PStringField("F:P", 8)});
  const KeyValueEncoder encoder = file.Encoder(0, {"F:P"});
  file.Set("F:P", Bytes{3, 'a', 'b', 'c', 'x', 'y', 'z', 'q'});
  const Bytes first = encoder.EncodeValue(file.Record());
  file.Set("F:P", Bytes{3, 'a', 'b', 'c', 0, 'Q', 0xFF, 7});
  EXPECT_EQ(encoder.EncodeValue(file.Record()), first);
  EXPECT_EQ(first, (Bytes{'a', 'b', 'c', 0, 0, 0, 0, 0}));
  // A damaged length byte cannot reach past the field.
  file.Set("F:P", Bytes{200, 'a', 'b', 'c', 'd', 'e', 'f', 'g'});
  EXPECT_EQ(encoder.EncodeValue(file.Record()), (Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g', 0}));
}

TEST(KeyValueEncoding, CStringStopsAtItsTerminator) {
  TestFile file({CStringField("F:C", 5)});
  const KeyValueEncoder encoder = file.Encoder(0, {"F:C"});
  file.Set("F:C", Bytes{'a', 'b', 0, 'x', 'y'});
  EXPECT_EQ(encoder.EncodeValue(file.Record()), (Bytes{'a', 'b', 0, 0, 0}));
  file.Set("F:C", Bytes{'a', 'b', 'c', 'd', 'e'});
  EXPECT_EQ(encoder.EncodeValue(file.Record()), (Bytes{'a', 'b', 'c', 'd', 'e'}));
}

TEST(KeyValueEncoding, NoCaseMakesCaseVariantsEqual) {
  TestFile file({StringField("F:S", 6)});
  const KeyValueEncoder no_case = file.Encoder(kKeyNoCase, {"F:S"});
  const KeyValueEncoder exact = file.Encoder(0, {"F:S"});
  file.SetText("F:S", "Smith");
  const Bytes mixed_no_case = no_case.EncodeValue(file.Record());
  const Bytes mixed_exact = exact.EncodeValue(file.Record());
  file.SetText("F:S", "SMITH");
  EXPECT_EQ(no_case.EncodeValue(file.Record()), mixed_no_case);
  EXPECT_EQ(mixed_no_case, (Bytes{'s', 'm', 'i', 't', 'h', ' '}));
  // Without NOCASE the upper-case spelling sorts first.
  EXPECT_LT(CompareValues(exact.EncodeValue(file.Record()), mixed_exact), 0);
}

TEST(KeyValueEncoding, TextsTakeTheLocaleCollationAndCasePairs) {
  support::Locale locale = support::DefaultLocale();
  locale.collation['b'] = 'z';
  locale.collation['z'] = 'b';
  // A letter of the wider character set, with its partner.
  locale.char_class[0xC9] = support::kCharUpper;
  locale.char_class[0xE9] = support::kCharLower;
  locale.lower[0xC9] = 0xE9;
  locale.upper[0xE9] = 0xC9;
  support::ReplaceLocale(locale);

  TestFile file({StringField("F:S", 3)});
  const KeyValueEncoder no_case = file.Encoder(kKeyNoCase, {"F:S"});
  file.SetText("F:S", "Bz\xC9");
  EXPECT_EQ(no_case.EncodeValue(file.Record()), (Bytes{'z', 'b', 0xE9}));
  support::ReplaceLocale(support::DefaultLocale());
}

TEST(KeyValueEncoding, OemFilesWeighOemCharactersAsTheirEquals) {
  support::Locale locale = support::DefaultLocale();
  locale.char_class[0xC9] = support::kCharUpper;  // É in the program's character set
  locale.char_class[0xE9] = support::kCharLower;  // é
  locale.lower[0xC9] = 0xE9;
  locale.upper[0xE9] = 0xC9;
  support::ReplaceLocale(locale);

  TestFile file({StringField("F:S", 1)}, /*oem=*/true);
  const KeyValueEncoder exact = file.Encoder(0, {"F:S"});
  const KeyValueEncoder no_case = file.Encoder(kKeyNoCase, {"F:S"});
  const auto weight = [&](const KeyValueEncoder& encoder, std::uint8_t c) {
    file.Set("F:S", &c, 1);
    return encoder.EncodeValue(file.Record())[0];
  };
  // OEM 0x82 is é, 0x90 É, 0xC4 a box-drawing line without an equal.
  EXPECT_LT(weight(exact, 'z'), weight(exact, 0x82));
  EXPECT_LT(weight(exact, 0x90), weight(exact, 0x82));
  EXPECT_EQ(weight(no_case, 0x90), weight(no_case, 0x82));
  EXPECT_EQ(weight(no_case, 'A'), weight(no_case, 'a'));
  EXPECT_GT(weight(exact, 0xC4), weight(exact, 0x82));
  EXPECT_LT(weight(exact, 'A'), weight(exact, 'a'));
  // Without NOCASE no two characters share a weight.
  std::vector<bool> seen(256);
  for (int c = 0; c < 256; ++c) {
    const std::uint8_t w = weight(exact, static_cast<std::uint8_t>(c));
    EXPECT_FALSE(seen[w]) << c;
    seen[w] = true;
  }
  support::ReplaceLocale(support::DefaultLocale());
}

TEST(KeyValueEncoding, ComponentsConcatenateInOrderWithTheirOwnDirection) {
  TestFile file({StringField("F:NAME", 2), FixedField(kTypeShort, "F:AGE")});
  const KeyValueEncoder encoder = file.Encoder(0, {"F:NAME", "-F:AGE"});
  EXPECT_EQ(encoder.ValueSize(), 4u);
  file.SetText("F:NAME", "ab");
  file.SetValue<std::int16_t>("F:AGE", 1);
  EXPECT_EQ(encoder.EncodeValue(file.Record()), (Bytes{'a', 'b', 0x7F, 0xFE}));
  const Bytes older = encoder.EncodeValue(file.Record());
  file.SetValue<std::int16_t>("F:AGE", 2);
  EXPECT_LT(CompareValues(encoder.EncodeValue(file.Record()), older), 0);
  file.SetText("F:NAME", "b");
  EXPECT_GT(CompareValues(encoder.EncodeValue(file.Record()), older), 0);
}

TEST(KeyValueNull, OptLeavesOutOnlyWhenEveryComponentIsNull) {
  TestFile file({StringField("F:A", 4), StringField("F:B", 4)});
  const KeyValueEncoder opt = file.Encoder(kKeyOpt, {"F:A", "F:B"});
  const KeyValueEncoder plain = file.Encoder(0, {"F:A", "F:B"});
  file.SetText("F:A", "");
  file.SetText("F:B", "");
  EXPECT_TRUE(opt.LeavesOut(file.Record()));
  EXPECT_FALSE(plain.LeavesOut(file.Record()));
  KeyEntry entry;
  entry.key = {1};
  EXPECT_FALSE(opt.BuildEntry(1, file.Record(), 9, entry));
  EXPECT_TRUE(entry.key.empty());
  EXPECT_TRUE(plain.BuildEntry(1, file.Record(), 9, entry));

  file.SetText("F:B", "x");
  EXPECT_FALSE(opt.LeavesOut(file.Record()));
  file.SetText("F:A", "x");
  file.SetText("F:B", "");
  EXPECT_FALSE(opt.LeavesOut(file.Record()));
  EXPECT_TRUE(opt.BuildEntry(1, file.Record(), 9, entry));
}

TEST(KeyValueNull, NullRulesPerType) {
  TestFile file({StringField("F:S", 3), CStringField("F:C", 3), PStringField("F:P", 3),
                 FixedField(kTypeLong, "F:L"), FixedField(kTypeReal, "F:R"), DecimalField("F:D", 5),
                 GroupField("F:G", {StringField("F:GS", 2)})});
  const auto is_null = [&](const std::string& label) {
    return file.Encoder(kKeyOpt, {label}).LeavesOut(file.Record());
  };
  // A zeroed record: texts and groups of zero bytes are not blank.
  EXPECT_FALSE(is_null("F:S"));
  EXPECT_FALSE(is_null("F:G"));
  EXPECT_TRUE(is_null("F:C"));
  EXPECT_TRUE(is_null("F:P"));
  EXPECT_TRUE(is_null("F:L"));
  EXPECT_TRUE(is_null("F:R"));
  EXPECT_TRUE(is_null("F:D"));

  file.SetText("F:S", "");
  file.SetText("F:GS", "");
  file.Set("F:C", Bytes{0, 'x', 'y'});  // stale bytes behind an empty text
  file.Set("F:P", Bytes{0, 'x', 'y'});
  file.SetValue("F:R", -0.0);  // a sign bit is not all zeros
  file.Set("F:D", Bytes{0x80, 0, 0});
  EXPECT_TRUE(is_null("F:S"));
  EXPECT_TRUE(is_null("F:G"));
  EXPECT_TRUE(is_null("F:C"));
  EXPECT_TRUE(is_null("F:P"));
  EXPECT_FALSE(is_null("F:R"));
  EXPECT_FALSE(is_null("F:D"));
  file.SetValue<std::int32_t>("F:L", 256);
  EXPECT_FALSE(is_null("F:L"));
}

TEST(KeyEntries, UniqueKeyCarriesTheRecordNumberAsData) {
  TestFile file({FixedField(kTypeULong, "F:N")});
  const KeyValueEncoder encoder = file.Encoder(0, {"F:N"}, 3);
  file.SetValue<std::uint32_t>("F:N", 0x01020304);
  KeyEntry entry;
  ASSERT_TRUE(encoder.BuildEntry(0x0A0B0C0D, file.Record(), 0x11223344, entry));
  EXPECT_EQ(entry.key, (Bytes{0x0A, 0x0B, 0x0C, 0x0D, 3, 0x01, 0x02, 0x03, 0x04}));
  EXPECT_EQ(entry.data, (Bytes{0x11, 0x22, 0x33, 0x44}));
  EXPECT_EQ(entry.key.size(), encoder.EntryKeySize());
  EXPECT_EQ(
      EntryRecordNumber(entry.key.data(), entry.key.size(), entry.data.data(), entry.data.size()),
      0x11223344u);
  // A search for the value is the whole compared part.
  const Bytes value = encoder.EncodeValue(file.Record());
  EXPECT_EQ(encoder.SearchKey(0x0A0B0C0D, value.data()), entry.key);
  EXPECT_EQ(encoder.SearchKey(0x0A0B0C0D, value.data(), kLastRecordNumber), entry.key);
  EXPECT_TRUE(encoder.Owns(0x0A0B0C0D, entry.key.data(), entry.key.size()));
  EXPECT_FALSE(encoder.Owns(0x0A0B0C0E, entry.key.data(), entry.key.size()));
  EXPECT_FALSE(file.Encoder(0, {"F:N"}, 4).Owns(0x0A0B0C0D, entry.key.data(), entry.key.size()));
  EXPECT_FALSE(encoder.Owns(0x0A0B0C0D, entry.key.data(), 4));
}

TEST(KeyEntries, DupKeyOrdersEqualValuesByRecordNumber) {
  TestFile file({StringField("F:S", 4)});
  const KeyValueEncoder encoder = file.Encoder(kKeyDup, {"F:S"}, 1);
  file.SetText("F:S", "same");
  std::vector<KeyEntry> entries(3);
  const std::uint32_t numbers[] = {300, 2, 0x10000};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(encoder.BuildEntry(7, file.Record(), numbers[i], entries[i]));
    EXPECT_TRUE(entries[i].data.empty());
    EXPECT_EQ(entries[i].key.size(), encoder.EntryKeySize());
    EXPECT_EQ(EntryRecordNumber(entries[i].key.data(), entries[i].key.size(), nullptr, 0),
              numbers[i]);
  }
  const auto by_tree_order = [](const KeyEntry& a, const KeyEntry& b) {
    return CompareKeyBytes(a.key.data(), a.key.size(), b.key.data(), b.key.size()) < 0;
  };
  std::sort(entries.begin(), entries.end(), by_tree_order);
  std::vector<std::uint32_t> forward;
  for (const KeyEntry& e : entries) {
    forward.push_back(*EntryRecordNumber(e.key.data(), e.key.size(), nullptr, 0));
  }
  EXPECT_EQ(forward, (std::vector<std::uint32_t>{2, 300, 0x10000}));

  // Start entries: completed with 0 (or not at all) before every duplicate,
  // with 0xFFFFFFFF after them, and all hold the same value.
  const Bytes value = encoder.EncodeValue(file.Record());
  const Bytes first = encoder.SearchKey(7, value.data(), kFirstRecordNumber);
  const Bytes bare = encoder.SearchKey(7, value.data());
  const Bytes last = encoder.SearchKey(7, value.data(), kLastRecordNumber);
  for (const KeyEntry& e : entries) {
    EXPECT_LT(CompareKeyBytes(first.data(), first.size(), e.key.data(), e.key.size()), 0);
    EXPECT_LT(CompareKeyBytes(bare.data(), bare.size(), e.key.data(), e.key.size()), 0);
    EXPECT_GT(CompareKeyBytes(last.data(), last.size(), e.key.data(), e.key.size()), 0);
    EXPECT_TRUE(encoder.HoldsValue(e.key.data(), e.key.size(), value.data()));
  }
  file.SetText("F:S", "samf");
  const Bytes other = encoder.EncodeValue(file.Record());
  EXPECT_FALSE(encoder.HoldsValue(entries[0].key.data(), entries[0].key.size(), other.data()));
  EXPECT_FALSE(encoder.HoldsValue(entries[0].key.data(), 6, value.data()));
}

TEST(KeyEntries, CompareKeyBytesPutsAPrefixFirst) {
  const Bytes ab{'a', 'b'};
  const Bytes abc{'a', 'b', 'c'};
  const Bytes high{0xFF};
  EXPECT_LT(CompareKeyBytes(ab.data(), 2, abc.data(), 3), 0);
  EXPECT_GT(CompareKeyBytes(abc.data(), 3, ab.data(), 2), 0);
  EXPECT_EQ(CompareKeyBytes(ab.data(), 2, abc.data(), 2), 0);
  EXPECT_GT(CompareKeyBytes(high.data(), 1, abc.data(), 3), 0);  // unsigned bytes
  EXPECT_LT(CompareKeyBytes(nullptr, 0, ab.data(), 2), 0);
}

TEST(KeyEntries, RecordNumberMayStraddleKeyAndData) {
  const Bytes key{9, 9, 0x12, 0x34};
  const Bytes data{0x56, 0x78};
  EXPECT_EQ(EntryRecordNumber(key.data(), key.size(), data.data(), data.size()), 0x12345678u);
  EXPECT_EQ(EntryRecordNumber(key.data(), 1, data.data(), 2), std::nullopt);
}

TEST(KeyValueEncoderMake, RefusesComponentsOutsideTheRecord) {
  TestFile file({FixedField(kTypeLong, "F:N")});
  KeyState key;
  key.components.push_back({5, false});
  EXPECT_FALSE(KeyValueEncoder::Make(file.State(), key, 0).has_value());
  key.components = {{0, false}};
  file.State().record_size = 2;  // a layout that disagrees with the record
  EXPECT_FALSE(KeyValueEncoder::Make(file.State(), key, 0).has_value());
}

}  // namespace
}  // namespace vaultrix::files
