#include "windows/runtime/format_w.h"

#include "windows/runtime/debug_check.h"

namespace {

constexpr uint32_t kNoPrecision = 0xFFFFFFFF;
constexpr uint32_t kLeadCapacity = 8;
// The 64 base-2 digits of the largest 64-bit value and a terminator, with room to spare.
constexpr uint32_t kDigitCapacity = 70;

enum FlagBit : uint8_t { kLeftJustify = 1, kShowSign = 2, kAlternate = 4 };

struct FlagEntry {
  char flag;
  uint8_t bit;
  WideChar fill;  // 0 when the flag leaves the fill alone
};

const FlagEntry kFlags[] = {
    {'-', kLeftJustify, 0}, {'+', kShowSign, 0}, {'#', kAlternate, 0},
    {' ', 0, u' '},         {'0', 0, u'0'},
};

struct SizeEntry {
  const char* text;
  uint8_t bits;
};

// Longer prefixes first, so that "ll" is not taken for "l", nor "I64" for "I".
const SizeEntry kSizes[] = {
    {"I64", 64}, {"I32", 32}, {"ll", 64}, {"h", 16}, {"l", 32}, {"z", 64}, {"I", 64},
};

enum Kind : uint8_t { kInteger, kPointer, kChar16, kChar8, kText16, kText8 };

struct Letter {
  char letter;
  Kind kind;
  uint8_t base;
  bool is_signed;
  bool upper;
  const WideChar* prefix;  // under '#'; null for none
};

const Letter kLetters[] = {
    {'d', kInteger, 10, true, false, u"0n"}, {'i', kInteger, 10, true, false, u"0n"},
    {'u', kInteger, 10, false, false, u"0n"}, {'o', kInteger, 8, false, false, u"0"},
    {'x', kInteger, 16, false, false, u"0x"}, {'X', kInteger, 16, false, true, u"0x"},
    {'b', kInteger, 2, false, false, u"0b"}, {'y', kInteger, 2, false, false, u"0y"},
    {'p', kPointer, 16, false, false, u"0x"}, {'P', kPointer, 16, false, true, u"0x"},
    {'c', kChar16, 0, false, false, nullptr}, {'C', kChar8, 0, false, false, nullptr},
    {'s', kText16, 0, false, false, nullptr}, {'S', kText8, 0, false, false, nullptr},
};

struct Conversion {
  uint8_t flags;
  WideChar fill;  // 0 for none
  uint32_t width;
  uint32_t precision;
  uint32_t bits;
  const Letter* letter;
};

// A conversion's text: wide characters, or 8-bit ones widened as they are stored.
struct Body {
  const WideChar* wide;
  const char* narrow;
  uint32_t length;
};

struct Output {
  WideChar* out;
  uint32_t remaining;
};

template <typename T>
T Take(ArgCursor* cursor) {
  ++cursor->taken;
  return va_arg(cursor->args, T);
}

bool IsDigit(WideChar c) { return c >= u'0' && c <= u'9'; }

uint32_t ReadNumber(const WideChar** format) {
  uint32_t number = 0;
  for (; IsDigit(**format); ++*format) number = number * 10 + (**format - u'0');
  return number;
}

const FlagEntry* FindFlag(WideChar c) {
  for (const FlagEntry& entry : kFlags) {
    if (c == static_cast<WideChar>(entry.flag)) return &entry;
  }
  return nullptr;
}

const Letter* FindLetter(WideChar c) {
  for (const Letter& entry : kLetters) {
    if (c == static_cast<WideChar>(entry.letter)) return &entry;
  }
  return nullptr;
}

bool StartsWith(const WideChar* text, const char* prefix) {
  for (; *prefix != 0; ++text, ++prefix) {
    if (*text != static_cast<WideChar>(*prefix)) return false;
  }
  return true;
}

// Reads the size prefix, if any; the argument width is 32 bits without one.
uint32_t ReadSize(const WideChar** format) {
  for (const SizeEntry& entry : kSizes) {
    if (StartsWith(*format, entry.text)) {
      *format += BoundedLengthA(entry.text, 4);
      return entry.bits;
    }
  }
  return 32;
}

// Flags, width, precision, size prefix and letter; false when malformed. The
// arguments of '*' are taken only once the letter shows the conversion to be
// well-formed: a malformed one was given no arguments, and reading them would
// run past the caller's list.
bool ParseConversion(const WideChar** format, ArgCursor* cursor, Conversion* conv) {
  *conv = Conversion{0, 0, 0, kNoPrecision, 32, nullptr};
  for (const FlagEntry* flag; (flag = FindFlag(**format)) != nullptr; ++*format) {
    conv->flags |= flag->bit;
    if (flag->fill != 0) conv->fill = flag->fill;
  }
  bool width_argument = **format == u'*';
  if (width_argument) {
    ++*format;
  } else {
    conv->width = ReadNumber(format);
  }
  bool precision_argument = false;
  if (**format == u'.') {
    ++*format;
    if (**format == u'*') {
      ++*format;
      precision_argument = true;
    } else if (IsDigit(**format)) {
      conv->precision = ReadNumber(format);
    } else {
      return false;
    }
  }
  conv->bits = ReadSize(format);
  conv->letter = FindLetter(**format);
  if (conv->letter == nullptr) return false;
  ++*format;
  if (width_argument) conv->width = Take<uint32_t>(cursor);
  if (precision_argument) conv->precision = Take<uint32_t>(cursor);
  return true;
}

// The value of an integer or pointer conversion; for a negative d or i value its
// magnitude at the argument width, so the most negative values print whole.
uint64_t TakeInteger(const Conversion& conv, ArgCursor* cursor, bool* negative) {
  *negative = false;
  if (conv.letter->kind == kPointer) {
    return reinterpret_cast<uintptr_t>(Take<const void*>(cursor));
  }
  if (conv.bits == 64) {
    uint64_t value = Take<uint64_t>(cursor);
    *negative = conv.letter->is_signed && static_cast<int64_t>(value) < 0;
    return *negative ? 0 - value : value;
  }
  uint64_t mask = conv.bits == 16 ? 0xFFFF : 0xFFFFFFFF;
  if (!conv.letter->is_signed) {
    // A 16-bit value is taken as unsigned too: 'h' with 'x' of 0x8000 is 8000.
    return Take<uint32_t>(cursor) & mask;
  }
  int32_t value = Take<int32_t>(cursor);
  if (conv.bits == 16) value = static_cast<int16_t>(value);
  *negative = value < 0;
  return (*negative ? 0 - static_cast<uint64_t>(static_cast<int64_t>(value))
                    : static_cast<uint64_t>(value)) &
         mask;
}

Body IntegerBody(Conversion* conv, ArgCursor* cursor, WideChar* digits, bool* negative) {
  if (conv->letter->kind == kPointer) {
    conv->bits = 64;
    // A signed pointer field is the sign and exactly width - 1 digits.
    if ((conv->flags & kShowSign) && conv->width > 1 && conv->precision == kNoPrecision) {
      conv->precision = conv->width - 1;
      if (conv->fill == 0) conv->fill = u'0';
    }
  }
  uint64_t value = TakeInteger(*conv, cursor, negative);
  uint32_t length =
      conv->bits == 64
          ? UInt64ToDigitsW(digits, kDigitCapacity, value, conv->letter->base)
          : UInt32ToDigitsW(digits, kDigitCapacity, static_cast<uint32_t>(value),
                            conv->letter->base);
  for (uint32_t i = 0; conv->letter->upper && i < length; ++i) {
    if (digits[i] >= u'a' && digits[i] <= u'z') digits[i] = digits[i] - u'a' + u'A';
  }
  // A precision keeps the lowest digits; it never adds any.
  if (conv->precision != kNoPrecision && length > conv->precision) {
    return Body{digits + length - conv->precision, nullptr, conv->precision};
  }
  return Body{digits, nullptr, length};
}

Body TakeBody(Conversion* conv, ArgCursor* cursor, WideChar* digits, bool* negative) {
  *negative = false;
  switch (conv->letter->kind) {
    case kInteger:
    case kPointer:
      return IntegerBody(conv, cursor, digits, negative);
    case kChar16:
    case kChar8:
      digits[0] = static_cast<WideChar>(Take<int>(cursor) &
                                        (conv->letter->kind == kChar16 ? 0xFFFF : 0xFF));
      return Body{digits, nullptr, conv->precision == 0 ? 0u : 1u};
    case kText16: {
      const WideChar* text = Take<const WideChar*>(cursor);
      if (text == nullptr) text = u"(null)";
      return Body{text, nullptr, BoundedLengthW(text, conv->precision)};
    }
    case kText8: {
      const char* text = Take<const char*>(cursor);
      if (text == nullptr) text = "(null)";
      return Body{nullptr, text, BoundedLengthA(text, conv->precision)};
    }
  }
  return Body{digits, nullptr, 0};
}

uint32_t BuildLead(const Conversion& conv, bool negative, WideChar* lead) {
  uint32_t length = 0;
  if (negative || (conv.flags & kShowSign)) lead[length++] = negative ? u'-' : u'+';
  if ((conv.flags & kAlternate) && conv.letter->prefix != nullptr) {
    for (const WideChar* p = conv.letter->prefix; *p != 0; ++p) lead[length++] = *p;
  }
  DebugCheck(length <= kLeadCapacity);
  return length;
}

uint32_t Room(const Output* output, uint64_t wanted) {
  return wanted < output->remaining ? static_cast<uint32_t>(wanted) : output->remaining;
}

void PutWide(Output* output, const WideChar* text, uint32_t length) {
  uint32_t n = Room(output, length);
  for (uint32_t i = 0; i < n; ++i) output->out[i] = text[i];
  output->out += n;
  output->remaining -= n;
}

void PutBody(Output* output, const Body& body) {
  if (body.wide != nullptr) {
    PutWide(output, body.wide, body.length);
    return;
  }
  uint32_t n = Room(output, body.length);
  for (uint32_t i = 0; i < n; ++i) {
    output->out[i] = static_cast<WideChar>(static_cast<unsigned char>(body.narrow[i]));
  }
  output->out += n;
  output->remaining -= n;
}

void PutFill(Output* output, WideChar fill, uint64_t count) {
  uint32_t n = Room(output, count);
  for (uint32_t i = 0; i < n; ++i) output->out[i] = fill;
  output->out += n;
  output->remaining -= n;
}

void StoreField(Output* output, const Conversion& conv, const WideChar* lead, uint32_t lead_length,
                const Body& body) {
  uint64_t content = static_cast<uint64_t>(lead_length) + body.length;
  uint64_t fill_count = conv.width > content ? conv.width - content : 0;
  if (conv.flags & kLeftJustify) {
    PutWide(output, lead, lead_length);
    PutBody(output, body);
    PutFill(output, u' ', fill_count);
  } else if (conv.fill != 0) {
    PutWide(output, lead, lead_length);
    PutFill(output, conv.fill, fill_count);
    PutBody(output, body);
  } else {
    PutFill(output, u' ', fill_count);
    PutWide(output, lead, lead_length);
    PutBody(output, body);
  }
}

template <typename T>
uint32_t ToDigits(WideChar* out, uint32_t capacity, T value, uint32_t base) {
  DebugCheck(capacity != 0 && base >= 2 && base <= 36);
  if (capacity == 0) return 0;
  if (base < 2 || base > 36) {
    out[0] = 0;
    return 0;
  }
  WideChar scratch[64];  // lowest digit first
  uint32_t count = 0;
  do {
    uint32_t digit = static_cast<uint32_t>(value % base);
    scratch[count++] = static_cast<WideChar>(digit < 10 ? u'0' + digit : u'a' + digit - 10);
    value /= base;
  } while (value != 0);
  uint32_t n = count < capacity - 1 ? count : capacity - 1;
  for (uint32_t i = 0; i < n; ++i) out[i] = scratch[count - 1 - i];
  out[n] = 0;
  return n;
}

// The count directive; a null target stores nothing.
void StoreCount(ArgCursor* cursor, uint32_t count) {
  uint32_t* target = Take<uint32_t*>(cursor);
  DebugCheck(target != nullptr);
  if (target != nullptr) *target = count;
}

}  // namespace

bool FormatConversionW(WideChar** out, uint32_t* remaining, const WideChar** format,
                       ArgCursor* cursor) {
  ArgCursor local;
  va_copy(local.args, cursor->args);
  local.taken = cursor->taken;
  const WideChar* position = *format;
  Conversion conv;
  if (!ParseConversion(&position, &local, &conv)) {
    va_end(local.args);
    return false;
  }
  WideChar lead[kLeadCapacity];
  WideChar digits[kDigitCapacity];
  bool negative;
  Body body = TakeBody(&conv, &local, digits, &negative);
  Output output{*out, *remaining};
  Kind kind = conv.letter->kind;
  // An empty text or number stores nothing, not even its fill.
  if (body.length != 0 || kind == kChar16 || kind == kChar8) {
    uint32_t lead_length = BuildLead(conv, negative, lead);
    StoreField(&output, conv, lead, lead_length, body);
  }
  DebugCheck(position > *format && local.taken > cursor->taken);
  *out = output.out;
  *remaining = output.remaining;
  *format = position;
  va_end(cursor->args);
  va_copy(cursor->args, local.args);
  cursor->taken = local.taken;
  va_end(local.args);
  return true;
}

uint32_t FormatW(WideChar* buffer, uint32_t capacity, const WideChar* format, ...) {
  DebugCheck(buffer != nullptr && format != nullptr && capacity != 0);
  if (buffer == nullptr || capacity == 0) return 0;
  WideChar* out = buffer;
  uint32_t remaining = capacity - 1;  // the terminator's place stays reserved
  const WideChar* position = format != nullptr ? format : u"";
  ArgCursor cursor;
  va_start(cursor.args, format);
  cursor.taken = 0;
  while (remaining != 0 && *position != 0) {
    WideChar c = *position++;
    if (c == u'%' && *position != 0) {
      if (*position == u'%') {
        ++position;
      } else if (*position == u'n') {
        ++position;
        StoreCount(&cursor, static_cast<uint32_t>(out - buffer));
        continue;
      } else if (FormatConversionW(&out, &remaining, &position, &cursor)) {
        continue;
      }
    }
    *out++ = c;
    --remaining;
  }
  va_end(cursor.args);
  DebugCheck(out < buffer + capacity);
  *out = 0;
  return static_cast<uint32_t>(out - buffer);
}

namespace {

// A null text is a caller's bug that no input can cause: stop there.
template <typename Char>
uint32_t BoundedLength(const Char* text, uint32_t max) {
  if (text == nullptr) {
    BreakpointTrap();
    return 0;
  }
  uint32_t length = 0;
  while (length < max && text[length] != 0) ++length;
  return length;
}

}  // namespace

uint32_t UInt32ToDigitsW(WideChar* out, uint32_t capacity, uint32_t value, uint32_t base) {
  return ToDigits(out, capacity, value, base);
}

uint32_t UInt64ToDigitsW(WideChar* out, uint32_t capacity, uint64_t value, uint32_t base) {
  return ToDigits(out, capacity, value, base);
}

uint32_t BoundedLengthA(const char* text, uint32_t max) { return BoundedLength(text, max); }

uint32_t BoundedLengthW(const WideChar* text, uint32_t max) { return BoundedLength(text, max); }
