// FormatW with a format and arguments drawn from the input.
// Input: one byte of capacity (1 to 256), the format up to a zero byte (each
// byte one character), then 8 bytes for each of the 16 argument slots, then the
// texts that 's' and 'S' arguments point to, separated by zero bytes.
// The arguments a format takes are read off it by the documented grammar, so
// that every text and count directive gets a real pointer (or, when the slot's
// low byte is 0, a null one); a text with a written precision is stored without
// a terminator, in exactly that many characters, when it is long enough.
// Checks: always terminated; nothing stored past the capacity (a canary, and
// AddressSanitizer); the result is the number of characters stored, no more and
// no fewer; the text stored at a smaller capacity is the leading part of the
// text stored at a larger one; a count directive stores at most the result.

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "windows/runtime/format_w.h"

namespace {

constexpr int kSlots = 16;
constexpr uint32_t kLargeCapacity = 4096;
constexpr uint32_t kNoPrecision = 0xFFFFFFFF;
constexpr WideChar kCanary = 0xCCCC;
constexpr uint32_t kUntouched = 0xDEADBEEF;

void Fail(const char* what) {
  fprintf(stderr, "format_w_fuzzer: %s\n", what);
  abort();
}

enum class Slot { kInteger, kWideText, kByteText, kCounter };

struct SlotUse {
  Slot kind = Slot::kInteger;
  uint32_t precision = kNoPrecision;  // for text, when known
};

bool IsDigit(WideChar c) { return c >= '0' && c <= '9'; }
bool IsOneOf(const char* set, WideChar c) { return c != 0 && c < 128 && strchr(set, c); }

// Reads one conversion at f[i] (right behind the '%'); on a well-formed one
// records the slots it takes and returns the index behind its letter, else 0.
size_t ReadSpec(const std::u16string& f, size_t i, std::vector<SlotUse>* uses,
                const uint64_t* values) {
  std::vector<SlotUse> taken;
  while (i < f.size() && IsOneOf("-+# 0", f[i])) ++i;
  if (i < f.size() && f[i] == '*') {
    taken.push_back({});
    ++i;
  } else {
    while (i < f.size() && IsDigit(f[i])) ++i;
  }
  uint32_t precision = kNoPrecision;
  if (i < f.size() && f[i] == '.') {
    ++i;
    if (i < f.size() && f[i] == '*') {
      size_t slot = uses->size() + taken.size();
      precision = slot < kSlots ? static_cast<uint32_t>(values[slot]) : kNoPrecision;
      taken.push_back({});
      ++i;
    } else if (i < f.size() && IsDigit(f[i])) {
      uint64_t p = 0;
      for (; i < f.size() && IsDigit(f[i]); ++i) p = (p * 10 + (f[i] - '0')) & 0xFFFFFFFF;
      precision = static_cast<uint32_t>(p);
    } else {
      return 0;
    }
  }
  auto at = [&](size_t k) { return k < f.size() ? f[k] : WideChar(0); };
  if (at(i) == 'h' || at(i) == 'z') {
    ++i;
  } else if (at(i) == 'l') {
    i += at(i + 1) == 'l' ? 2 : 1;
  } else if (at(i) == 'I') {
    bool sized = (at(i + 1) == '3' && at(i + 2) == '2') || (at(i + 1) == '6' && at(i + 2) == '4');
    i += sized ? 3 : 1;
  }
  WideChar letter = at(i);
  if (!IsOneOf("diuoxXbypPcCsS", letter)) return 0;
  SlotUse value;
  if (letter == 's') value = {Slot::kWideText, precision};
  if (letter == 'S') value = {Slot::kByteText, precision};
  taken.push_back(value);
  uses->insert(uses->end(), taken.begin(), taken.end());
  return i + 1;
}

// The slots that the format takes, in order. A format that would take more
// than kSlots is cut in front of the conversion that would overrun them.
std::vector<SlotUse> ReadSlots(std::u16string* format, const uint64_t* values) {
  std::vector<SlotUse> uses;
  const std::u16string& f = *format;
  for (size_t i = 0; i < f.size();) {
    size_t percent = i;
    if (f[i++] != '%' || i == f.size()) continue;
    if (f[i] == '%') {
      ++i;
      continue;
    }
    std::vector<SlotUse> more = uses;
    size_t behind = 0;
    if (f[i] == 'n') {
      more.push_back({Slot::kCounter, kNoPrecision});
      behind = i + 1;
    } else {
      behind = ReadSpec(f, i, &more, values);
    }
    if (more.size() > kSlots) {
      format->resize(percent);
      break;
    }
    if (behind) {
      uses = more;
      i = behind;
    }
  }
  return uses;
}

struct Arguments {
  uint64_t value[kSlots] = {};
  std::vector<std::unique_ptr<WideChar[]>> wide;
  std::vector<std::unique_ptr<char[]>> bytes;
  uint32_t counters[4];
};

// Each text in an allocation of its own size, so that a read past its end (or
// past the precision that bounds it) is seen.
template <typename Char>
Char* StoreText(std::vector<std::unique_ptr<Char[]>>* store, const std::string& text,
                uint32_t precision) {
  bool bounded = precision != kNoPrecision && precision <= text.size();
  size_t length = bounded ? precision : text.size() + 1;
  std::unique_ptr<Char[]> copy(new Char[length]);
  for (size_t k = 0; k < length; ++k)
    copy[k] = k < text.size() ? static_cast<Char>(static_cast<uint8_t>(text[k])) : Char(0);
  store->push_back(std::move(copy));
  return store->back().get();
}

void FillPointers(Arguments* args, const std::vector<SlotUse>& uses,
                  const std::vector<std::string>& texts) {
  for (size_t k = 0; k < uses.size(); ++k) {
    uint64_t v = args->value[k];
    if (uses[k].kind == Slot::kInteger || (v & 0xFF) == 0) {
      if (uses[k].kind != Slot::kInteger) args->value[k] = 0;
      continue;
    }
    const std::string& text = texts.empty() ? std::string() : texts[(v >> 8) % texts.size()];
    void* pointer = nullptr;
    if (uses[k].kind == Slot::kWideText) pointer = StoreText(&args->wide, text, uses[k].precision);
    if (uses[k].kind == Slot::kByteText) pointer = StoreText(&args->bytes, text, uses[k].precision);
    if (uses[k].kind == Slot::kCounter) pointer = &args->counters[(v >> 8) % 4];
    args->value[k] = reinterpret_cast<uintptr_t>(pointer);
  }
}

// Formats into a buffer of capacity characters, filled with `fill` before and
// followed by a canary, and checks what a single call promises.
std::u16string Format(const std::u16string& format, Arguments* args, uint32_t capacity,
                      WideChar fill) {
  std::vector<WideChar> buffer(capacity + 8, kCanary);
  for (uint32_t k = 0; k < capacity; ++k) buffer[k] = fill;
  for (uint32_t& c : args->counters) c = kUntouched;
  const uint64_t* v = args->value;
  uint32_t n = FormatW(buffer.data(), capacity, format.c_str(), v[0], v[1], v[2], v[3], v[4],
                       v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13], v[14], v[15]);
  if (n >= capacity) Fail("result not below the capacity");
  if (buffer[n] != 0) Fail("not terminated behind the result");
  for (uint32_t k = capacity; k < capacity + 8; ++k)
    if (buffer[k] != kCanary) Fail("stored past the capacity");
  for (uint32_t k = n + 1; k < capacity; ++k)
    if (buffer[k] != fill) Fail("stored behind the terminator");
  for (uint32_t c : args->counters)
    if (c != kUntouched && c > n) Fail("count directive beyond the result");
  return std::u16string(buffer.data(), n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  uint32_t capacity = 1u + data[0];
  size_t at = 1;
  std::u16string format;
  while (at < size && data[at] != 0) format += static_cast<WideChar>(data[at++]);
  ++at;
  Arguments args;
  for (int k = 0; k < kSlots; ++k)
    for (int b = 0; b < 8; ++b, ++at)
      if (at < size) args.value[k] |= static_cast<uint64_t>(data[at]) << (8 * b);
  std::vector<std::string> texts;
  while (at < size) {
    size_t zero = at;
    while (zero < size && data[zero] != 0) ++zero;
    texts.emplace_back(reinterpret_cast<const char*>(data + at), zero - at);
    at = zero + 1;
  }
  std::vector<SlotUse> uses = ReadSlots(&format, args.value);
  FillPointers(&args, uses, texts);

  std::u16string text = Format(format, &args, capacity, 0xAAAA);
  // Every character before the terminator was stored: a different fill shows
  // through nowhere.
  if (Format(format, &args, capacity, 0x5555) != text) Fail("result is not the stored length");
  std::u16string large = Format(format, &args, kLargeCapacity, 0xAAAA);
  if (large.compare(0, text.size(), text) != 0) Fail("not the leading part of a larger text");
  bool whole = large.size() < kLargeCapacity - 1;
  if (whole && text.size() != std::min<size_t>(large.size(), capacity - 1))
    Fail("cut somewhere else than at the capacity");
  return 0;
}
