// MB/s of every path of the Base64 codec and the cipher, beside memcpy of the same bytes and
// OpenSSL's EVP_EncodeBlock/EVP_DecodeBlock, all in one run; a summary of the ratios follows.
// Throughput counts the input: bytes for encode, characters for decode, text for the cipher.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base64/codec.h"
#include "cipher/cryptogram.h"

namespace {

using tarn::base64::Path;
using tarn::cipher::CipherPath;

constexpr std::size_t kSizes[] = {1 << 10, 64 << 10, 16 << 20};

std::vector<std::uint8_t> random_bytes(std::size_t n) {
  std::mt19937 random(42);
  std::vector<std::uint8_t> bytes(n);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

// Base64 text of exactly n characters (n a multiple of 4).
std::string text_of(std::size_t n) {
  const auto bytes = random_bytes(n / 4 * 3);
  std::string text(n, '\0');
  tarn::base64::encode(bytes, text, Path::scalar);
  return text;
}

void count(benchmark::State& state, std::size_t n) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

void bench_memcpy(benchmark::State& state, std::size_t n) {
  const auto source = random_bytes(n);
  std::vector<std::uint8_t> target(n);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), n);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  count(state, n);
}

void bench_encode(benchmark::State& state, Path path, std::size_t n) {
  const auto source = random_bytes(n);
  std::vector<char> text(tarn::base64::encoded_length(n));
  for (auto _ : state) {
    benchmark::DoNotOptimize(tarn::base64::encode(source, text, path));
    benchmark::ClobberMemory();
  }
  count(state, n);
}

void bench_decode(benchmark::State& state, Path path, std::size_t n) {
  const std::string text = text_of(n);
  std::vector<std::uint8_t> target(tarn::base64::decoded_length_max(n));
  for (auto _ : state) {
    benchmark::DoNotOptimize(tarn::base64::decode(text, target, path));
    benchmark::ClobberMemory();
  }
  count(state, n);
}

void bench_openssl_encode(benchmark::State& state, std::size_t n) {
  const auto source = random_bytes(n);
  std::vector<unsigned char> text(tarn::base64::encoded_length(n) + 1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_EncodeBlock(text.data(), source.data(), static_cast<int>(n)));
    benchmark::ClobberMemory();
  }
  count(state, n);
}

void bench_openssl_decode(benchmark::State& state, std::size_t n) {
  const std::string text = text_of(n);
  std::vector<unsigned char> target(tarn::base64::decoded_length_max(n));
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_DecodeBlock(
        target.data(), reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(n)));
    benchmark::ClobberMemory();
  }
  count(state, n);
}

void bench_cipher(benchmark::State& state, CipherPath path, std::size_t n) {
  // Runs in place; every other call restores the text, so the input never degrades.
  std::vector<char> text(n + 1);
  std::mt19937 random(7);
  for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>(1 + random() % 255);
  text[n] = '\0';
  for (auto _ : state) {
    tarn::cipher::cryptogram(text.data(), "k", path);
    benchmark::ClobberMemory();
  }
  count(state, n);
}

std::string size_label(std::size_t n) {
  return n >= (1 << 20) ? std::to_string(n >> 20) + "MiB" : std::to_string(n >> 10) + "KiB";
}

// Keeps the MB/s of every repetition, then prints a table of the ratios after the usual
// output: from the medians, and from the best repetitions, which the other work on a shared
// machine disturbs least.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const auto found = run.counters.find("bytes_per_second");
      if (found != run.counters.end()) {
        samples_[run.run_name.function_name].push_back(found->second.value / 1e6);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void print_summary() const {
    std::printf("\nSummary: MB/s of input (median / best of the repetitions) and ratios\n");
    std::printf("%-16s %9s %9s  %-13s %-13s\n", "", "median", "best", "x memcpy", "x OpenSSL");
    for (std::size_t n : kSizes) {
      const std::string size = size_label(n);
      const Figures copy = figures("memcpy/" + size);
      std::printf("-- %s\n", size.c_str());
      line("memcpy", copy, copy, {});
      for (const std::string kind : {"encode", "decode"}) {
        const Figures openssl = figures("openssl_" + kind + "/" + size);
        line("openssl_" + kind, openssl, copy, openssl);
        for (Path path : tarn::base64::kAllPaths) {
          const std::string name = kind + "/" + std::string(tarn::base64::path_name(path));
          line(name, figures(name + "/" + size), copy, openssl);
        }
      }
      for (CipherPath path : tarn::cipher::kAllCipherPaths) {
        const std::string name = std::string("cipher/") + tarn::cipher::cipher_path_name(path);
        line(name, figures(name + "/" + size), copy, {});
      }
    }
  }

 private:
  struct Figures {
    double median = 0;
    double best = 0;
  };

  Figures figures(const std::string& name) const {
    const auto found = samples_.find(name);
    if (found == samples_.end()) return {};
    std::vector<double> sorted = found->second;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t middle = sorted.size() / 2;
    const double median =
        sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    return {median, sorted.back()};
  }

  static void line(const std::string& name, Figures mine, Figures copy, Figures openssl) {
    if (mine.median == 0) return;
    const auto ratio = [](double a, double b) { return b == 0 ? 0.0 : a / b; };
    std::printf("%-16s %9.0f %9.0f  %5.2f / %-5.2f", name.c_str(), mine.median, mine.best,
                ratio(mine.median, copy.median), ratio(mine.best, copy.best));
    if (openssl.median != 0) {
      std::printf("  %5.2f / %-5.2f", ratio(mine.median, openssl.median),
                  ratio(mine.best, openssl.best));
    }
    std::printf("\n");
  }

  std::map<std::string, std::vector<double>> samples_;
};

void register_all() {
  for (std::size_t n : kSizes) {
    const std::string size = size_label(n);
    benchmark::RegisterBenchmark(("memcpy/" + size).c_str(), bench_memcpy, n);
    benchmark::RegisterBenchmark(("openssl_encode/" + size).c_str(), bench_openssl_encode, n);
    benchmark::RegisterBenchmark(("openssl_decode/" + size).c_str(), bench_openssl_decode, n);
    for (Path path : tarn::base64::kAllPaths) {
      if (!tarn::base64::path_supported(path)) continue;
      const std::string name(tarn::base64::path_name(path));
      benchmark::RegisterBenchmark(("encode/" + name + "/" + size).c_str(), bench_encode, path, n);
      benchmark::RegisterBenchmark(("decode/" + name + "/" + size).c_str(), bench_decode, path, n);
    }
    for (CipherPath path : tarn::cipher::kAllCipherPaths) {
      if (!tarn::cipher::cipher_path_supported(path)) continue;
      const std::string name = tarn::cipher::cipher_path_name(path);
      benchmark::RegisterBenchmark(("cipher/" + name + "/" + size).c_str(), bench_cipher, path, n);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  register_all();
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.print_summary();
  benchmark::Shutdown();
  return 0;
}
