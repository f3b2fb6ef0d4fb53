#include "app/reformat.h"

#include <string.h>

const Marker MarkerTable[3] = {
    {"(bootloader) ", true},
    {"OKAY [", false},
    {"Finished. Total time:", false},
};

namespace {

constexpr uint8_t CR = 13;
constexpr uint8_t LF = 10;
constexpr int kMarkerCount = sizeof MarkerTable / sizeof MarkerTable[0];

bool IsLineBreak(uint8_t b) { return b == CR || b == LF; }

struct Output {
  uint8_t* data;
  uint32_t capacity;
  uint32_t length;
};

// An ordinary byte needs two free bytes: the buffer's last byte is only ever
// filled by a CR LF pair.
uint32_t OrdinaryRoom(const Output& out) {
  uint32_t free_bytes = out.capacity - out.length;
  return free_bytes >= 2 ? free_bytes - 1 : 0;
}

void AppendBytes(Output* out, const uint8_t* bytes, uint32_t count) {
  uint32_t room = OrdinaryRoom(*out);
  if (count > room) count = room;
  memcpy(out->data + out->length, bytes, count);
  out->length += count;
}

bool EndsWithLineBreak(const Output& out) {
  return out.length >= 2 && out.data[out.length - 2] == CR && out.data[out.length - 1] == LF;
}

void AppendLineBreakIfRoom(Output* out) {
  if (out->capacity - out->length < 2) return;
  out->data[out->length++] = CR;
  out->data[out->length++] = LF;
}

// A run of line breaks becomes one CR LF, never at the very start and never
// twice in a row.
void AppendRunBreak(Output* out) {
  if (out->length == 0 || EndsWithLineBreak(*out)) return;
  AppendLineBreakIfRoom(out);
}

const uint8_t* FindLineBreak(const uint8_t* p, const uint8_t* end) {
  for (; p < end; ++p)
    if (IsLineBreak(*p)) return p;
  return end;
}

void CopySegment(Output* out, const uint8_t* p, const uint8_t* end, bool raw) {
  if (raw) {
    AppendBytes(out, p, static_cast<uint32_t>(end - p));
    return;
  }
  while (p < end) {
    const uint8_t* run = FindLineBreak(p, end);
    AppendBytes(out, p, static_cast<uint32_t>(run - p));
    if (run == end) return;
    p = run;
    while (p < end && IsLineBreak(*p)) ++p;
    AppendRunBreak(out);
  }
}

// Where each marker next occurs at or after the read position. A marker
// absent from some position on is absent from every later one, and a known
// occurrence stays valid until the read position passes it, so no byte is
// searched twice for the same marker.
struct MarkerCache {
  const uint8_t* next[kMarkerCount];
  bool absent[kMarkerCount];
};

const uint8_t* NextOccurrence(MarkerCache* cache, int i, const uint8_t* pos, const uint8_t* end) {
  if (cache->absent[i]) return nullptr;
  if (cache->next[i] && cache->next[i] >= pos) return cache->next[i];
  const uint8_t* text = reinterpret_cast<const uint8_t*>(MarkerTable[i].text);
  uint32_t length = static_cast<uint32_t>(strlen(MarkerTable[i].text));
  const uint8_t* found = FindBytes(pos, static_cast<uint32_t>(end - pos), text, length);
  cache->next[i] = found;
  cache->absent[i] = found == nullptr;
  return found;
}

struct Boundary {
  const uint8_t* segment_end;
  uint32_t consumed;  // bytes the marker takes behind the segment
  int marker;         // -1: the segment runs to the end of the source
};

// The first table entry that occurs anywhere ahead wins, even when a later
// entry occurs earlier. The chunk's trailing CR LF goes with the marker.
Boundary NextBoundary(MarkerCache* cache, const uint8_t* start, const uint8_t* pos,
                      const uint8_t* end) {
  for (int i = 0; i < kMarkerCount; ++i) {
    const uint8_t* at = NextOccurrence(cache, i, pos, end);
    if (!at) continue;
    uint32_t length = static_cast<uint32_t>(strlen(MarkerTable[i].text));
    if (at - start >= 2 && at - 2 >= pos && at[-2] == CR && at[-1] == LF)
      return {at - 2, length + 2, i};
    return {at, length, i};
  }
  return {end, 0, -1};
}

}  // namespace

const uint8_t* FindBytes(const uint8_t* buffer, uint32_t length, const uint8_t* pattern,
                         uint32_t pattern_length) {
  if (length < pattern_length) return nullptr;
  if (pattern_length == 0) return buffer;
  const uint8_t* end = buffer + length;
  const uint8_t* p = buffer;
  while (static_cast<uint32_t>(end - p) >= pattern_length) {
    const uint8_t* candidate =
        static_cast<const uint8_t*>(memchr(p, pattern[0], end - p - pattern_length + 1));
    if (!candidate) return nullptr;
    if (memcmp(candidate, pattern, pattern_length) == 0) return candidate;
    p = candidate + 1;
  }
  return nullptr;
}

void ReformatLog(FormatJob* job) {
  Output out = {job->output_buffer, job->output_capacity, 0};
  const uint8_t* start = job->source_buffer;
  const uint8_t* pos = start;
  const uint8_t* end = start + job->source_length;
  MarkerCache cache = {};
  bool keep = false;  // text before the first marker is not log text
  while (pos < end) {
    Boundary b = NextBoundary(&cache, start, pos, end);
    if (keep) CopySegment(&out, pos, b.segment_end, job->raw);
    pos = b.segment_end;
    if (b.marker < 0) break;
    pos += b.consumed;
    keep = MarkerTable[b.marker].keep_following;
  }
  if (!job->raw && out.length > 0 && out.data[out.length - 1] != LF) AppendLineBreakIfRoom(&out);
  job->output_length = out.length;
}
