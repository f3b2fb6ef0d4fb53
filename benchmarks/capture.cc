#include "benchmarks/capture.h"

#include <stdio.h>

#include <random>

#include "tests/models/powershell_model.h"
#include "tests/models/session_model.h"

namespace {

const char* const kSubsystems[] = {"pmic", "clock", "ddr", "storage", "partition", "display",
                                   "battery", "keys", "usb", "fastboot", "tz", "rpmb", "avb"};
const char* const kWords[] = {"init", "done", "detected", "status", "0x1f03", "(ok)", "mode",
                              "retry", "voltage", "table", "entries", "at", "MHz", "failed:",
                              "(null)", "slot_a", "verified", "[boot]", "lock", "state"};

template <size_t N>
const char* Pick(std::mt19937& random, const char* const (&list)[N]) {
  return list[random() % N];
}

// One line of the log without its line break, 20 to about 180 bytes.
std::string MakeLogLine(std::mt19937& random, uint32_t line) {
  char stamp[32];
  snprintf(stamp, sizeof stamp, "[%6u.%03u] ", line / 1000, line % 1000);
  std::string text = stamp;
  text += Pick(random, kSubsystems);
  text += ':';
  size_t length = 20 + random() % 160;
  while (text.size() < length) {
    text += ' ';
    text += Pick(random, kWords);
  }
  return text;
}

std::string MakeLog(size_t size, std::mt19937& random) {
  std::string log;
  log.reserve(size + 256);
  for (uint32_t line = 0; log.size() < size; ++line) {
    if (random() % 50 == 0) log += "\r\n";  // an empty line now and then
    log += MakeLogLine(random, line);
    log += random() % 8 ? "\r\n" : "\n";
  }
  return log;
}

void AppendShown(std::string* capture, const char* chunk, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (chunk[i] == '\n') *capture += '\r';
    *capture += chunk[i];
  }
}

}  // namespace

std::string MakeRealisticCapture(size_t size, uint32_t seed, size_t chunk) {
  std::mt19937 random(seed);
  std::string log = MakeLog(size, random);  // more than the capture will show
  std::string capture = "< waiting for any device >\r\n";
  capture.reserve(size + 4096);
  for (size_t at = 0; at < log.size() && capture.size() < size - 64; at += chunk) {
    capture += "(bootloader) ";
    AppendShown(&capture, log.data() + at, log.size() - at < chunk ? log.size() - at : chunk);
    capture += "\r\n";
  }
  capture += "OKAY [  1.234s]\r\nFinished. Total time: 1.240s\r\n";
  return capture;
}

std::string LinuxTwin(const std::string& windows_capture) {
  std::string capture;
  capture.reserve(windows_capture.size());
  for (size_t i = 0; i < windows_capture.size(); ++i)
    if (!(windows_capture[i] == '\r' && i + 1 < windows_capture.size() && windows_capture[i + 1] == '\n'))
      capture += windows_capture[i];
  return capture;
}

std::string MakeLinesCapture(size_t size, uint32_t seed, size_t payload) {
  std::mt19937 random(seed);
  std::vector<std::string> lines;
  for (size_t shown = 0; shown < size - 256; shown += lines.back().size() * 13 / 10)
    lines.push_back(MakeLogLine(random, static_cast<uint32_t>(lines.size())));
  return FastbootCaptureModel(PacketsModel(lines, payload), true);
}

std::string MakeStatusCapture(size_t size, uint32_t seed) {
  static const char* const kPartitions[] = {"boot_a", "vendor_boot_a", "dtbo_a", "vbmeta_a",
                                            "super", "userdata", "init_boot_a", "recovery"};
  std::mt19937 random(seed);
  std::string capture;
  capture.reserve(size + 256);
  char line[160];
  while (capture.size() < size) {
    const char* partition = Pick(random, kPartitions);
    unsigned kb = 1024 + random() % 600000, ms = random() % 30000;
    snprintf(line, sizeof line, "Sending '%s' (%u KB)%*sOKAY [%3u.%03us]\r\n", partition, kb, 20,
             "", ms / 1000, ms % 1000);
    capture += line;
    ms = random() % 9000;
    snprintf(line, sizeof line, "Writing '%s'%*sOKAY [%3u.%03us]\r\n", partition, 30, "", ms / 1000,
             ms % 1000);
    capture += line;
    if (random() % 4 == 0) {
      ms = random() % 90000;
      snprintf(line, sizeof line, "Finished. Total time: %u.%03us\r\n", ms / 1000, ms % 1000);
      capture += line;
    }
  }
  return capture;
}

std::string PowerShellForm(const std::string& capture, uint32_t width) {
  return PowerShellModel(capture, {width ? width : 1u << 30, true});
}

std::string Utf16Le(const std::string& bytes) {
  std::string units = "\xFF\xFE";
  units.reserve(2 + 2 * bytes.size());
  for (char c : bytes) {
    units += c;
    units += '\0';
  }
  return units;
}

std::string MakePowerShellCapture(size_t size, uint32_t seed, uint32_t width) {
  // PowerShell's line breaks make the text longer: one try tells by how much.
  size_t chunk = width ? 252 : 60;
  size_t longer = PowerShellForm(MakeRealisticCapture(size, seed, chunk), width).size();
  return PowerShellForm(MakeRealisticCapture(size * size / longer, seed, chunk), width);
}
