#include "app/text_encoding.h"

#include <emmintrin.h>  // SSE2, which every x86-64 processor has
#include <string.h>

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// One character and the UTF-16 bytes it takes (2, or 4 for a surrogate pair).
struct Char16 {
  uint32_t code;
  uint32_t size;
};

uint32_t LoadUnit(const uint8_t* p, bool big_endian) {
  return big_endian ? (uint32_t{p[0]} << 8 | p[1]) : (uint32_t{p[1]} << 8 | p[0]);
}

Char16 NextChar(const uint8_t* p, const uint8_t* end, bool big_endian) {
  uint32_t unit = LoadUnit(p, big_endian);
  if ((unit & 0xFC00) == 0xD800 && end - p >= 4) {
    uint32_t low = LoadUnit(p + 2, big_endian);
    if ((low & 0xFC00) == 0xDC00) return {0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), 4};
  }
  if ((unit & 0xF800) == 0xD800) unit = kReplacement;  // a surrogate without its partner
  return {unit, 2};
}

uint32_t Utf8Size(uint32_t code) {
  return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
}

void PutUtf8(uint32_t code, uint32_t size, uint8_t* out) {
  static const uint8_t kLead[5] = {0, 0, 0xC0, 0xE0, 0xF0};
  for (uint32_t i = size - 1; i > 0; --i) {
    out[i] = static_cast<uint8_t>(0x80 | (code & 0x3F));
    code >>= 6;
  }
  out[0] = static_cast<uint8_t>(kLead[size] | code);
}

// The bytes of the whole units behind the mark: an odd last byte is half a unit.
uint32_t UnitBytes(uint32_t length) { return (length - kUtf16MarkLength) & ~1u; }

// The whole units of a UTF-16 source, and their order.
struct Units {
  const uint8_t* begin;
  const uint8_t* end;
  bool big_endian;
};

Units UnitsOf(const uint8_t* source, uint32_t length, SourceEncoding encoding) {
  const uint8_t* begin = source + kUtf16MarkLength;
  return {begin, begin + UnitBytes(length), encoding == kEncodingUtf16Be};
}

// 16 units at `in` that are all ASCII become 16 bytes at `out`; anything else
// writes nothing. In place, `out` lies at or before `in`, and the store
// overwrites only units already loaded.
bool DecodeAsciiBlock(const uint8_t* in, uint8_t* out, bool big_endian) {
  __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
  if (big_endian) {
    a = _mm_or_si128(_mm_slli_epi16(a, 8), _mm_srli_epi16(a, 8));
    b = _mm_or_si128(_mm_slli_epi16(b, 8), _mm_srli_epi16(b, 8));
  }
  __m128i high = _mm_and_si128(_mm_or_si128(a, b), _mm_set1_epi16(static_cast<short>(0xFF80)));
  if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) return false;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(a, b));
  return true;
}

// Decodes the units [in, end) to `out`. In place, it stops before the first
// character whose UTF-8 would reach past its own units into those not yet read.
Utf16Decoding Decode(const uint8_t* in, const uint8_t* end, bool big_endian, uint8_t* out,
                     bool in_place) {
  const uint8_t* p = in;
  uint8_t* w = out;
  while (p < end) {
    for (; end - p >= 32 && DecodeAsciiBlock(p, w, big_endian); p += 32) w += 16;
    // Then up to 16 characters one at a time: a block that is not all ASCII is
    // not tried again at once.
    for (int n = 0; n < 16 && p < end; ++n) {
      Char16 c = NextChar(p, end, big_endian);
      uint32_t size = Utf8Size(c.code);
      if (in_place && w + size > p + c.size) return {uint32_t(p - in), uint32_t(w - out)};
      PutUtf8(c.code, size, w);
      p += c.size;
      w += size;
    }
  }
  return {uint32_t(p - in), uint32_t(w - out)};
}

}  // namespace

SourceEncoding FindSourceEncoding(const uint8_t* source, uint32_t length) {
  if (length < kUtf16MarkLength) return kEncodingBytes;
  if (source[0] == 0xFF && source[1] == 0xFE) return kEncodingUtf16Le;
  if (source[0] == 0xFE && source[1] == 0xFF) return kEncodingUtf16Be;
  return kEncodingBytes;
}

Utf16Decoding DecodeInPlace(uint8_t* source, uint32_t length, SourceEncoding encoding) {
  Units units = UnitsOf(source, length, encoding);
  return Decode(units.begin, units.end, units.big_endian, source, true);
}

bool IsDecoded(uint32_t length, Utf16Decoding done) { return done.read == UnitBytes(length); }

uint64_t DecodedLength(const uint8_t* source, uint32_t length, SourceEncoding encoding,
                       Utf16Decoding done) {
  Units units = UnitsOf(source, length, encoding);
  uint64_t total = done.written;
  for (const uint8_t* p = units.begin + done.read; p < units.end;) {
    Char16 c = NextChar(p, units.end, units.big_endian);
    total += Utf8Size(c.code);
    p += c.size;
  }
  return total;
}

void DecodeRest(const uint8_t* source, uint32_t length, SourceEncoding encoding,
                Utf16Decoding done, uint8_t* text) {
  memcpy(text, source, done.written);
  Units units = UnitsOf(source, length, encoding);
  Decode(units.begin + done.read, units.end, units.big_endian, text + done.written, false);
}
