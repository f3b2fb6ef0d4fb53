#pragma once
// The lines that the fastboot host prints of its own, told by their shape:
// status lines ("OKAY [  0.012s]", "FAILED (remote: 'unknown command')"), a
// command's label padded to 50 columns with its status behind it, getvar's
// "<name>: <value>" in front of "Finished. Total time: 0.052s" (old hosts:
// "finished. total time:"), "< waiting for any device >" and
// "fastboot: error: ..." lines. fastboot prints them at the start of a line,
// never inside a bootloader's message.

#include <stdint.h>

// Whether the line [line, line_end) (its line break not included) is one of
// fastboot's; `end` bounds the text behind it, where getvar's line must be
// followed by the "Finished" line.
bool IsHostLine(const uint8_t* line, const uint8_t* line_end, const uint8_t* end);

// The first of fastboot's lines that begins behind a line break in [from, to),
// or null. Lines are cut at `to`.
const uint8_t* FindHostLines(const uint8_t* from, const uint8_t* to);
