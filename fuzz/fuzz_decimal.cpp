// Typed and stored decimals: any text either parses or is refused, a parsed
// value prints and parses back to itself, and any bytes read as a packed
// field either give a value that packs back to the same bytes or are refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/support/decimal.h"

using vaultrix::support::Decimal;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto value = Decimal::Parse(text)) {
    const auto again = Decimal::Parse(value->ToString());
    if (!again || !(*again == *value) || again->Places() != value->Places()) std::abort();
  }

  if (size >= 2) {
    const int field_size = 1 + data[0] % vaultrix::support::kMaxPackedBytes;
    const int places = data[1] % 32;
    if (size - 2 >= static_cast<std::size_t>(field_size)) {
      const std::uint8_t* field = data + 2;
      if (const auto stored = vaultrix::support::LoadPacked(field, field_size, places)) {
        std::uint8_t out[vaultrix::support::kMaxPackedBytes];
        if (!vaultrix::support::StorePacked(*stored, out, field_size, places)) std::abort();
        // Equal bytes, except that a negative zero comes back positive and
        // any negative sign nibble comes back as 0x8.
        const std::uint8_t sign_in = field[0] & 0xF0;
        const std::uint8_t expected_sign = stored->IsZero() ? 0 : (sign_in != 0 ? 0x80 : 0);
        if ((out[0] & 0xF0) != expected_sign || (out[0] & 0x0F) != (field[0] & 0x0F)) std::abort();
        for (int i = 1; i < field_size; ++i) {
          if (out[i] != field[i]) std::abort();
        }
      }
    }
  }
  return 0;
}
