#include "app/reformat.h"

#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

const Marker MarkerTable[3] = {
    {"(bootloader) ", true},
    {"OKAY [", false},
    {"Finished. Total time:", false},
};

// How the table order plays out over a whole capture: text before the first
// prefix is dropped; every prefix up to the last one ends a kept segment, as
// "OKAY [" and "Finished. Total time:" are ordinary text while a prefix lies
// ahead; behind the last prefix the first "OKAY [" (or, without one, the first
// "Finished. Total time:") ends the kept text, and everything after it is
// dropped. So the kept text is found in one forward pass that stops at '(',
// CR and LF, plus a scan of the tail behind the last prefix.

namespace {

constexpr uint8_t CR = 13;
constexpr uint8_t LF = 10;
constexpr uint32_t kPrefixLength = 13;

bool IsLineBreak(uint8_t b) { return b == CR || b == LF; }

bool FollowsLineBreak(const uint8_t* at, const uint8_t* from) {
  return at - from >= 2 && at[-2] == CR && at[-1] == LF;
}

uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  memcpy(&v, p, sizeof v);
  return v;
}

// Whether "(bootloader) " starts at p and lies wholly before end.
bool IsPrefixAt(const uint8_t* p, const uint8_t* end) {
  const uint8_t* prefix = reinterpret_cast<const uint8_t*>(MarkerTable[0].text);
  return end - p >= kPrefixLength && Load64(p) == Load64(prefix) &&
         Load64(p + kPrefixLength - 8) == Load64(prefix + kPrefixLength - 8);
}

// The first byte in [p, end) equal to a, b or c, or end. Pass the same value
// more than once to look for fewer bytes.
const uint8_t* FindAnyOf(const uint8_t* p, const uint8_t* end, uint8_t a, uint8_t b, uint8_t c) {
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(static_cast<char>(a));
  const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
  const __m128i vc = _mm_set1_epi8(static_cast<char>(c));
  for (; end - p >= 16; p += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)),
                               _mm_cmpeq_epi8(v, vc));
    int mask = _mm_movemask_epi8(hit);
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  for (; p < end; ++p)
    if (*p == a || *p == b || *p == c) return p;
  return end;
}

// The last byte in [begin, end) equal to c, or null.
const uint8_t* FindLastByte(const uint8_t* begin, const uint8_t* end, uint8_t c) {
#if defined(__SSE2__)
  const __m128i vc = _mm_set1_epi8(static_cast<char>(c));
  for (; end - begin >= 16; end -= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(v, vc));
    if (mask) return end - 16 + (31 - __builtin_clz(static_cast<unsigned>(mask)));
  }
#endif
  while (end > begin)
    if (*--end == c) return end;
  return nullptr;
}

// The next prefix at or after p that starts before limit, or limit.
const uint8_t* FindPrefix(const uint8_t* p, const uint8_t* limit, const uint8_t* end) {
  for (;; ++p) {
    p = FindAnyOf(p, limit, '(', '(', '(');
    if (p == limit || IsPrefixAt(p, end)) return p;
  }
}

// The last prefix starting at or after begin, or null.
const uint8_t* FindLastPrefix(const uint8_t* begin, const uint8_t* end) {
  for (const uint8_t* stop = end;;) {
    const uint8_t* p = FindLastByte(begin, stop, '(');
    if (!p || IsPrefixAt(p, end)) return p;
    stop = p;
  }
}

const uint8_t* FindMarker(int i, const uint8_t* p, const uint8_t* end) {
  const char* text = MarkerTable[i].text;
  return FindBytes(p, static_cast<uint32_t>(end - p), reinterpret_cast<const uint8_t*>(text),
                   static_cast<uint32_t>(strlen(text)));
}

// Where the kept text behind the last prefix (which ends at `from`) stops: at
// the first status line, the CR LF in front of it going with it.
const uint8_t* KeptTextEnd(const uint8_t* from, const uint8_t* end) {
  const uint8_t* at = FindMarker(1, from, end);
  if (!at) at = FindMarker(2, from, end);
  if (!at) return end;
  return FollowsLineBreak(at, from) ? at - 2 : at;
}

struct Output {
  uint8_t* data;
  uint32_t capacity;
  uint32_t length;
};

uint32_t FreeBytes(const Output& out) { return out.capacity - out.length; }

// An ordinary byte needs two free bytes: the buffer's last byte is only ever
// filled by a CR LF pair. Once one has no room, nothing more fits.
void AppendBytes(Output* out, const uint8_t* bytes, uint32_t count) {
  uint32_t free_bytes = FreeBytes(*out);
  uint32_t room = free_bytes >= 2 ? free_bytes - 1 : 0;
  if (count > room) count = room;
  memcpy(out->data + out->length, bytes, count);
  out->length += count;
}

bool EndsWithLineBreak(const Output& out) {
  return out.length >= 2 && out.data[out.length - 2] == CR && out.data[out.length - 1] == LF;
}

void AppendLineBreakIfRoom(Output* out) {
  if (FreeBytes(*out) < 2) return;
  out->data[out->length++] = CR;
  out->data[out->length++] = LF;
}

// A run of line breaks becomes one CR LF, never at the very start and never
// twice in a row; so runs that only a prefix separates act as one run.
void AppendRunBreak(Output* out) {
  if (out->length == 0 || EndsWithLineBreak(*out)) return;
  AppendLineBreakIfRoom(out);
}

// The run of line breaks [p, q) (q: where they end, or limit), and the prefix
// right behind it if there is one. A CR LF that is the whole run and stands
// right before a prefix goes with the prefix and is no run at all.
const uint8_t* EndRun(Output* out, const uint8_t* p, const uint8_t* q, const uint8_t* limit,
                      const uint8_t* end) {
  bool prefix = q < limit && IsPrefixAt(q, end);
  if (!(prefix && q - p == 2 && p[0] == CR && p[1] == LF)) AppendRunBreak(out);
  return prefix ? q + kPrefixLength : q;
}

const uint8_t* ConsumeRun(Output* out, const uint8_t* p, const uint8_t* limit, const uint8_t* end) {
  const uint8_t* q = p;
  while (q < limit && IsLineBreak(*q)) ++q;
  return EndRun(out, p, q, limit, end);
}

// One step of normal mode at p, byte by byte: the ordinary bytes up to the next
// '(', CR or LF, then that byte with what it starts.
const uint8_t* NormalStep(Output* out, const uint8_t* p, const uint8_t* limit, const uint8_t* end) {
  const uint8_t* stop = FindAnyOf(p, limit, '(', CR, LF);
  AppendBytes(out, p, static_cast<uint32_t>(stop - p));
  p = stop;
  if (p == limit) return p;
  if (*p != '(') return ConsumeRun(out, p, limit, end);
  if (IsPrefixAt(p, end)) return p + kPrefixLength;
  AppendBytes(out, p, 1);
  return p + 1;
}

// One step of raw mode at p: the bytes up to the next prefix, without the CR
// LF in front of it, and the prefix.
const uint8_t* RawStep(Output* out, const uint8_t* p, const uint8_t* limit, const uint8_t* start,
                       const uint8_t* end) {
  const uint8_t* at = FindPrefix(p, limit, end);
  const uint8_t* segment_end = at < limit && FollowsLineBreak(at, start) ? at - 2 : at;
  if (segment_end < p)  // block copies took (part of) the CR LF that goes with the prefix
    out->length -= static_cast<uint32_t>(p - segment_end);
  else
    AppendBytes(out, p, static_cast<uint32_t>(segment_end - p));
  return at == limit ? limit : at + kPrefixLength;
}

#if defined(__SSE2__)
// The block copies: 16 bytes at a time, each block stored whole, the output
// growing only by its bytes before the first byte that needs a look ('(' before
// 'b', where a prefix may start, and in normal mode CR and LF). They go on
// while the source has 17 bytes before limit (a block and the byte behind it)
// and the output 17 free bytes, so that every store stays inside the buffer
// and every ordinary byte still finds the two free bytes it needs; the steps
// above do the rest.
struct Stops {
  unsigned open;    // '(' followed by 'b'
  unsigned breaks;  // CR or LF
};

Stops LoadBlock(const uint8_t* p, uint8_t* to) {
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v);
  __m128i open = _mm_and_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('(')),
                               _mm_cmpeq_epi8(next, _mm_set1_epi8('b')));
  __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(CR)),
                                _mm_cmpeq_epi8(v, _mm_set1_epi8(LF)));
  return {static_cast<unsigned>(_mm_movemask_epi8(open)),
          static_cast<unsigned>(_mm_movemask_epi8(breaks))};
}

bool BlocksFit(const Output& out, const uint8_t* p, const uint8_t* limit) {
  return limit - p >= 17 && FreeBytes(out) >= 17;
}

const uint8_t* NormalBlocks(Output* out, const uint8_t* p, const uint8_t* limit,
                            const uint8_t* end) {
  while (BlocksFit(*out, p, limit)) {
    Stops stops = LoadBlock(p, out->data + out->length);
    unsigned any = stops.open | stops.breaks;
    if (!any) {
      p += 16;
      out->length += 16;
      continue;
    }
    unsigned n = __builtin_ctz(any);
    p += n;
    out->length += n;
    if (stops.open >> n & 1) {
      bool prefix = IsPrefixAt(p, end);
      out->length += !prefix;  // an ordinary '(' (already stored)
      p += prefix ? kPrefixLength : 1;
      continue;
    }
    // A run of line breaks, its length within the block read off the mask.
    unsigned run = __builtin_ctz(~(stops.breaks >> n));
    p = run < 16 - n ? EndRun(out, p, p + run, limit, end) : ConsumeRun(out, p, limit, end);
  }
  return p;
}

// Raw mode's blocks start at the beginning of a segment; the bytes before a
// prefix are all in the output then, so the CR LF in front of it is taken back.
const uint8_t* RawBlocks(Output* out, const uint8_t* p, const uint8_t* limit, const uint8_t* start,
                         const uint8_t* end) {
  while (BlocksFit(*out, p, limit)) {
    unsigned open = LoadBlock(p, out->data + out->length).open;
    if (!open) {
      p += 16;
      out->length += 16;
      continue;
    }
    unsigned n = __builtin_ctz(open);
    p += n;
    out->length += n;
    if (IsPrefixAt(p, end)) {
      out->length -= FollowsLineBreak(p, start) ? 2 : 0;
      p += kPrefixLength;
    } else {
      out->length += 1;
      p += 1;
    }
  }
  return p;
}
#else
const uint8_t* NormalBlocks(Output*, const uint8_t* p, const uint8_t*, const uint8_t*) {
  return p;
}
const uint8_t* RawBlocks(Output*, const uint8_t* p, const uint8_t*, const uint8_t*,
                         const uint8_t*) {
  return p;
}
#endif

// Normal mode: the kept text [p, limit), prefixes removed, runs of line breaks
// turned into CR LF.
void CopyNormal(Output* out, const uint8_t* p, const uint8_t* limit, const uint8_t* end) {
  while (p < limit) {
    p = NormalBlocks(out, p, limit, end);
    if (p < limit) p = NormalStep(out, p, limit, end);
  }
}

// Raw mode: the kept text [p, limit) with only the prefixes (and the CR LF in
// front of each) removed.
void CopyRaw(Output* out, const uint8_t* p, const uint8_t* limit, const uint8_t* start,
             const uint8_t* end) {
  while (p < limit) {
    p = RawBlocks(out, p, limit, start, end);
    if (p < limit) p = RawStep(out, p, limit, start, end);
  }
}

}  // namespace

const uint8_t* FindBytes(const uint8_t* buffer, uint32_t length, const uint8_t* pattern,
                         uint32_t pattern_length) {
  if (length < pattern_length) return nullptr;
  const uint8_t* last = buffer + (length - pattern_length);  // the last possible start
  for (const uint8_t* p = buffer; p <= last; ++p) {
    p = FindAnyOf(p, last + 1, pattern[0], pattern[0], pattern[0]);
    if (p > last) return nullptr;
    if (memcmp(p, pattern, pattern_length) == 0) return p;
  }
  return nullptr;
}

const uint8_t* FindFirstPrefix(const uint8_t* text, uint32_t length) {
  const uint8_t* end = text + length;
  const uint8_t* first = FindPrefix(text, end, end);
  return first == end ? nullptr : first;
}

void ReformatLog(FormatJob* job) {
  Output out = {job->output_buffer, job->output_capacity, 0};
  const uint8_t* end = job->source_buffer + job->source_length;
  const uint8_t* first = FindPrefix(job->source_buffer, end, end);
  if (first != end) {
    const uint8_t* begin = first + kPrefixLength;
    const uint8_t* limit = KeptTextEnd(FindLastPrefix(first, end) + kPrefixLength, end);
    if (job->raw)
      CopyRaw(&out, begin, limit, job->source_buffer, end);
    else
      CopyNormal(&out, begin, limit, end);
  }
  if (!job->raw && out.length > 0 && out.data[out.length - 1] != LF) AppendLineBreakIfRoom(&out);
  job->output_length = out.length;
}
