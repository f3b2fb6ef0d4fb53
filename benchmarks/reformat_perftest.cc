// The reformatting's throughput against memcpy of the same number of bytes, on
// captures made on the spot: scripts/run-benchmarks.sh builds and runs it.

#include <benchmark/benchmark.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/powershell_capture.h"
#include "app/reformat.h"
#include "app/text_encoding.h"
#include "benchmarks/capture.h"

namespace {

constexpr size_t kCaptureSize = 64u << 20;

const std::string& RealisticCapture() {
  static const std::string capture = MakeRealisticCapture(kCaptureSize, 1);
  return capture;
}

// The realistic capture's session as a Linux host prints it.
const std::string& LinuxCapture() {
  static const std::string capture = LinuxTwin(RealisticCapture());
  return capture;
}

// A log sent a line per message, long lines cut at 59 bytes.
const std::string& LinesCapture() {
  static const std::string capture = MakeLinesCapture(kCaptureSize, 1);
  return capture;
}

const std::string& StatusCapture() {
  static const std::string capture = MakeStatusCapture(kCaptureSize, 2);
  return capture;
}

// An output buffer of the source's size, as the program allocates it, already
// touched so that page faults do not count.
std::vector<uint8_t> OutputFor(const std::string& source) {
  return std::vector<uint8_t>(source.size(), 0);
}

void Reformat(benchmark::State& state, const std::string& (*capture)(), bool raw) {
  const std::string& source = capture();
  std::vector<uint8_t> output = OutputFor(source);
  FormatJob job;
  InitJob(&job);
  job.raw = raw;
  job.source_buffer = reinterpret_cast<uint8_t*>(const_cast<char*>(source.data()));
  job.source_length = static_cast<uint32_t>(source.size());
  job.output_buffer = output.data();
  job.output_capacity = static_cast<uint32_t>(output.size());
  for (auto _ : state) {
    ReformatLog(&job);
    benchmark::DoNotOptimize(job.output_length);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
  state.counters["output_MiB"] = job.output_length / 1048576.0;
}

// A PowerShell capture of 32 MiB in 8 bits, the twin of the one of 64 MiB in UTF-16LE.
const std::string& PowerShellTwin() {
  static const std::string capture = MakePowerShellCapture(kCaptureSize / 2, 1);
  return capture;
}

// The same of 252-byte chunks in an 80-column console: lines split at W = 79.
const std::string& PowerShellSplitTwin() {
  static const std::string capture = MakePowerShellCapture(kCaptureSize / 2, 1, 79);
  return capture;
}

// The whole way from the source's bytes to the log, as the program goes it:
// decoding (for UTF-16) in place, undoing what PowerShell did, reformatting. The
// capture is copied afresh before each pass, untimed, since the pass changes it.
void FromSource(benchmark::State& state, const std::string& (*capture)(), bool utf16) {
  const std::string& twin = capture();
  const std::string source = utf16 ? Utf16Le(twin) : twin;
  std::vector<uint8_t> work(source.size()), output = OutputFor(twin);
  FormatJob job;
  InitJob(&job);
  job.source_buffer = work.data();
  job.output_buffer = output.data();
  job.output_capacity = static_cast<uint32_t>(output.size());
  for (auto _ : state) {
    state.PauseTiming();
    memcpy(work.data(), source.data(), source.size());
    state.ResumeTiming();
    job.source_length = static_cast<uint32_t>(source.size());
    if (utf16) job.source_length = DecodeInPlace(work.data(), job.source_length, kEncodingUtf16Le).written;
    job.source_length = UndoPowerShell(work.data(), job.source_length);
    ReformatLog(&job);
    benchmark::DoNotOptimize(job.output_length);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
  state.counters["source_MiB"] = source.size() / 1048576.0;
  state.counters["output_MiB"] = job.output_length / 1048576.0;
}

void Memcpy(benchmark::State& state) {
  const std::string& source = RealisticCapture();
  std::vector<uint8_t> output = OutputFor(source);
  for (auto _ : state) {
    memcpy(output.data(), source.data(), source.size());
    benchmark::DoNotOptimize(output.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
}

BENCHMARK(Memcpy)->Name("memcpy")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reformat, normal, RealisticCapture, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reformat, raw, RealisticCapture, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reformat, linux, LinuxCapture, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reformat, lines59, LinesCapture, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reformat, status_lines, StatusCapture, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FromSource, utf16le, PowerShellTwin, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FromSource, twin_8bit, PowerShellTwin, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FromSource, utf16le_w79, PowerShellSplitTwin, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FromSource, twin_8bit_w79, PowerShellSplitTwin, false)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
