// Page and record encoding.
#include "runtime/files/hvn/pages/page.h"

#include <string.h>
#include <algorithm>

#include <cstring>

#include "runtime/files/hvn/pages/packing.h"

namespace vaultrix::files::hvn {
namespace {

// The byte at `at` of a record's key followed by its data.
char ByteOf(const Record& record, std::size_t at) {
  return at < record.key.size() ? record.key[at] : record.data[at - record.key.size()];
}

// The bytes two records share at their front, at most kMaxPrefix.
std::size_t CommonPrefix(const Record& a, const Record& b) {
  const std::size_t limit = std::min<std::size_t>({a.FullLength(), b.FullLength(), kMaxPrefix});
  // Mostly the keys differ first: compare them as they are.
  const std::size_t keys = std::min<std::size_t>({a.key.size(), b.key.size(), limit});
  const char* ka = a.key.data();
  const char* kb = b.key.data();
  std::size_t n = 0;
  while (n < keys && ka[n] == kb[n]) ++n;
  if (n < keys) return n;
  while (n < limit && ByteOf(a, n) == ByteOf(b, n)) ++n;
  return n;
}

// The record area of `records` into `out`, which it replaces.
void WriteRecords(const std::vector<Record>& records, std::string& out) {
  std::size_t bound = 0;
  for (const Record& record : records) bound += record.FullLength() + 5;
  out.resize(bound);
  char* at = out.data();
  const Record* previous = nullptr;
  for (const Record& record : records) {
    const std::size_t length = record.FullLength();
    const std::size_t prefix = previous == nullptr ? 0 : CommonPrefix(*previous, record);
    std::uint8_t flag = static_cast<std::uint8_t>(prefix);
    if (length != (previous == nullptr ? 0 : previous->FullLength())) flag |= 0x80;
    if (record.key.size() != (previous == nullptr ? 0 : previous->key.size())) flag |= 0x40;
    *at++ = static_cast<char>(flag);
    if (flag & 0x80) {
      Store16(reinterpret_cast<std::uint8_t*>(at), static_cast<std::uint16_t>(length));
      at += 2;
    }
    if (flag & 0x40) {
      Store16(reinterpret_cast<std::uint8_t*>(at), static_cast<std::uint16_t>(record.key.size()));
      at += 2;
    }
    // The record's bytes after the prefix, straight from its key and data.
    if (prefix < record.key.size()) {
      const std::size_t rest = record.key.size() - prefix;
      std::memcpy(at, record.key.data() + prefix, rest);
      std::memcpy(at + rest, record.data.data(), record.data.size());
      at += rest + record.data.size();
    } else {
      const std::size_t skip = prefix - record.key.size();
      std::memcpy(at, record.data.data() + skip, record.data.size() - skip);
      at += record.data.size() - skip;
    }
    previous = &record;
  }
  out.resize(static_cast<std::size_t>(at - out.data()));
}

// Encoding scratch of this thread, its storage kept from page to page (a
// commit encodes thousands); wiped after every page, since records hold
// secrets in plain text.
struct EncodeScratch {
  std::string body;
  std::string packed;
  ~EncodeScratch() {
    Wipe(body);
    Wipe(packed);
  }
};

}  // namespace

std::uint32_t RecordBound(const Record& record, bool index) {
  return static_cast<std::uint32_t>(record.FullLength() + 5 + (index ? 4 : 0));
}

std::uint32_t SizeBound(const PageContent& page) {
  std::uint32_t bound = kPageHeaderSize;
  for (const Record& record : page.records) bound += RecordBound(record, page.level > 0);
  return bound;
}

std::string EncodeRecords(const std::vector<Record>& records) {
  std::string out;
  WriteRecords(records, out);
  return out;
}

int DecodeRecords(const std::uint8_t* ptr, const std::uint8_t* limit, std::uint32_t count,
                  std::vector<Record>* records) {
  records->clear();
  records->reserve(count);
  std::size_t length = 0;
  std::size_t key_length = 0;
  const Record* previous = nullptr;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (ptr >= limit) return __LINE__;
    const std::uint8_t flag = *ptr++;
    if (flag & 0x80) {
      if (limit - ptr < 2) return __LINE__;
      length = Load16(ptr);
      ptr += 2;
    }
    if (flag & 0x40) {
      if (limit - ptr < 2) return __LINE__;
      key_length = Load16(ptr);
      ptr += 2;
    }
    const std::size_t prefix = flag & kMaxPrefix;
    const std::size_t previous_length = previous == nullptr ? 0 : previous->FullLength();
    if (prefix > length || prefix > previous_length || key_length > length) return __LINE__;
    if (static_cast<std::size_t>(limit - ptr) < length - prefix) return __LINE__;
    // The record's bytes are the previous record's first `prefix` bytes,
    // then the stored ones; key and data are cut from them in place.
    Record record;
    record.key.reserve(key_length);
    record.data.reserve(length - key_length);
    const auto* stored = reinterpret_cast<const char*>(ptr);
    for (std::size_t at = 0; at < length;) {
      // Pieces come in order, so each is appended to the part it falls in.
      std::string& part = at < key_length ? record.key : record.data;
      std::size_t run = (at < key_length ? key_length : length) - at;
      if (at < prefix) {
        // From the previous record, whose own key and data split elsewhere.
        run = std::min(run, prefix - at);
        const std::size_t previous_key = previous->key.size();
        if (at < previous_key) {
          run = std::min(run, previous_key - at);
          part.append(previous->key, at, run);
        } else {
          part.append(previous->data, at - previous_key, run);
        }
      } else {
        part.append(stored + (at - prefix), run);
      }
      at += run;
    }
    ptr += length - prefix;
    records->push_back(std::move(record));
    previous = &records->back();
  }
  return ptr == limit ? 0 : __LINE__;
}

std::string EncodePage(const PageContent& page, std::uint32_t own_offset) {
  const bool index = page.level > 0;
  if (index && page.children.size() != page.records.size()) return {};
  const std::uint32_t bound = SizeBound(page);
  if (bound > 0xFFFF || page.records.size() > 0xFFFF) return {};
  thread_local EncodeScratch scratch;
  std::string& body = scratch.body;
  WriteRecords(page.records, body);
  const std::size_t head = kPageHeaderSize + (index ? 4 * page.children.size() : 0);
  const std::size_t unpacked = head + body.size();
  if (unpacked > 0xFFFF) {
    Wipe(body);
    return {};
  }
  // Packed only when that saves a unit: packing stops once it cannot.
  const std::size_t units = RoundUnits(static_cast<std::uint32_t>(unpacked));
  const std::size_t packed_limit = units * kUnit - kUnit - head;
  std::string& packed = scratch.packed;
  const bool use_packed =
      units * kUnit > kUnit + head &&
      PackBytesInto(reinterpret_cast<const std::uint8_t*>(body.data()), body.size(), packed_limit,
                    packed);
  const std::string& stored_body = use_packed ? packed : body;
  const std::size_t stored = head + stored_body.size();
  std::string image;
  if (stored <= kMaxPageSize) {
    image.assign(RoundUnits(static_cast<std::uint32_t>(stored)) * kUnit, '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(image.data());
    Store32(out, own_offset);
    Store16(out + 4, static_cast<std::uint16_t>(stored));
    Store16(out + 6, static_cast<std::uint16_t>(unpacked));
    Store16(out + 8, static_cast<std::uint16_t>(std::max<std::size_t>(bound, unpacked)));
    Store16(out + 10, static_cast<std::uint16_t>(page.records.size()));
    out[12] = page.level;
    for (std::size_t i = 0; index && i < page.children.size(); ++i) {
      Store32(out + kPageHeaderSize + 4 * i, static_cast<std::uint32_t>(page.children[i]));
    }
    std::memcpy(out + head, stored_body.data(), stored_body.size());
  }
  Wipe(body);
  Wipe(packed);
  return image;
}

int DecodePageHead(const std::uint8_t* ptr, std::size_t size, std::uint32_t own_offset,
                   PageHead* head) {
  if (size < kUnit || size % kUnit != 0 || size > kMaxPageSize) return __LINE__;
  if (Load32(ptr) != own_offset) return __LINE__;
  head->stored = Load16(ptr + 4);
  head->unpacked = Load16(ptr + 6);
  head->count = Load16(ptr + 10);
  head->level = ptr[12];
  if (RoundUnits(head->stored) * kUnit != size) return __LINE__;
  if (head->level > kMaxLevel) return __LINE__;
  head->head = kPageHeaderSize + (head->level > 0 ? 4 * static_cast<std::size_t>(head->count) : 0);
  if (head->stored < head->head || head->unpacked < head->head || head->stored > head->unpacked) {
    return __LINE__;
  }
  return 0;
}

int DecodePage(const std::uint8_t* ptr, const std::uint8_t* limit, std::uint32_t own_offset,
               PageContent* page) {
  PageHead fixed;
  if (int line = DecodePageHead(ptr, static_cast<std::size_t>(limit - ptr), own_offset, &fixed);
      line != 0) {
    return line;
  }
  const std::uint32_t stored = fixed.stored;
  const std::uint32_t unpacked = fixed.unpacked;
  const std::uint32_t count = fixed.count;
  const std::uint8_t level = fixed.level;
  const std::size_t head = fixed.head;
  page->level = level;
  page->children.clear();
  if (level > 0) {
    for (std::uint32_t i = 0; i < count; ++i) {
      page->children.push_back(static_cast<std::int32_t>(Load32(ptr + kPageHeaderSize + 4 * i)));
    }
  }
  const std::uint8_t* body = ptr + head;
  const std::uint8_t* body_end = ptr + stored;
  if (stored == unpacked) return DecodeRecords(body, body_end, count, &page->records);
  std::string plain;
  if (!UnpackBytes(body, body_end, unpacked - head, &plain)) return __LINE__;
  const auto* plain_ptr = reinterpret_cast<const std::uint8_t*>(plain.data());
  const int fault = DecodeRecords(plain_ptr, plain_ptr + plain.size(), count, &page->records);
  Wipe(plain);
  return fault;
}

void Wipe(std::string& bytes) {
  // explicit_bzero is not optimised away, and is far faster than a loop.
  if (!bytes.empty()) ::explicit_bzero(bytes.data(), bytes.size());
  bytes.clear();
}

void Wipe(std::vector<Record>& records) {
  for (Record& record : records) {
    Wipe(record.key);
    Wipe(record.data);
  }
  records.clear();
}

}  // namespace vaultrix::files::hvn
