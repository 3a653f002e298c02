// Every export from eight threads at once, each thread on its own buffers, its own window and
// its own directory (absolute paths, since the current directory is shared by the process).
// Every result is checked; the totals are printed for the record.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "wine/tarn_dll.h"

namespace tarn::wine {
namespace {

constexpr int kThreads = 8;
constexpr auto kDuration = std::chrono::seconds(4);

struct Totals {
  std::atomic<long> calls{0};
  std::atomic<long> failures{0};
};

void expect(bool ok, Totals& totals, const char* what) {
  totals.calls.fetch_add(1, std::memory_order_relaxed);
  if (!ok) {
    if (totals.failures.fetch_add(1) < 10) std::fprintf(stderr, "failed: %s\n", what);
  }
}

HWND make_window() {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 120, 16, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void one_round(int thread, int round, const std::string& home, HWND window, std::mt19937& random,
               Totals& totals) {
  const Exports& d = dll();

  // Cipher: enciphering twice restores the text.
  std::string text(1 + random() % 300, 'x');
  for (char& c : text) c = static_cast<char>(1 + random() % 255);
  std::string work = text;
  const char key[2] = {static_cast<char>(1 + random() % 255), 0};
  expect(d.Cryptogram(work.data(), key) == 0 && d.Cryptogram(work.data(), key) == 0 && work == text,
         totals, "Cryptogram round trip");

  // Base64 round trip on buffers of this thread.
  std::vector<unsigned char> bytes(random() % 5000);
  for (auto& b : bytes) b = static_cast<unsigned char>(random());
  const int n = static_cast<int>(bytes.size());
  std::string encoded(4 * ((n + 2) / 3) + 1, '\xcc');
  const int written = d.Base64Encode(bytes.data(), n, encoded.data(), int(encoded.size()));
  expect(written == 4 * ((n + 2) / 3) && encoded[written] == 0, totals, "Base64Encode");
  std::vector<unsigned char> decoded(n + 3);
  expect(d.Base64Decode(encoded.data(), written, decoded.data(), int(decoded.size())) == n &&
             std::equal(bytes.begin(), bytes.end(), decoded.begin()),
         totals, "Base64Decode round trip");

  // File system: create a tree, list it, delete by pattern and whole.
  const std::string top = home + "\\r" + std::to_string(round);
  const std::string leaf = top + "\\a\\b";
  expect(d.CreateDir(leaf.c_str()) == 0, totals, "CreateDir");
  const int files = 1 + random() % 5;
  for (int i = 0; i < files; ++i) {
    const std::string name = leaf + "\\f" + std::to_string(i) + ".txt";
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(file);
  }
  const std::string pattern = leaf + "\\*.txt";
  expect(d.GetDirFiles(pattern.c_str(), nullptr, 0) == files, totals, "GetDirFiles count");
  std::vector<std::vector<char>> storage(files, std::vector<char>(520));
  std::vector<char*> buffers;
  for (auto& s : storage) buffers.push_back(s.data());
  expect(d.GetDirFiles(pattern.c_str(), buffers.data(), 1) == files &&
             std::string(buffers[0]).rfind(leaf + "\\f", 0) == 0,
         totals, "GetDirFiles fill");
  expect(d.DelFile((leaf + "\\f0.txt").c_str()) == 0, totals, "DelFile");
  expect(d.DelDir(top.c_str()) == 0, totals, "DelDir");
  expect(GetFileAttributesA(top.c_str()) == INVALID_FILE_ATTRIBUTES, totals, "tree gone");

  // Credentials from the shared current directory, which holds one known file.
  char user[100], password[100];
  expect(d.GetQzDbUser(user, password) == 0 && std::string(user) == "shared" &&
             std::string(password) == "secret",
         totals, "GetQzDbUser");

  // Window utilities on this thread's own window; chmOpen with an action that loads nothing.
  expect(d.Processor(window, (round % 101) / 100.0) == 0, totals, "Processor");
  expect(d.chmOpen(window, "none.chm", 0, 0) == 1, totals, "chmOpen");
  (void)thread;
}

// Runs first in this program, while the help engine is not loaded yet: eight first calls of
// chmOpen race through the loader. Each must return 1, and the engine ends up loaded.
TEST(Concurrency, FirstHelpCallsRace) {
  ASSERT_EQ(GetModuleHandleA("hhctrl.ocx"), nullptr) << "the engine was loaded before the race";
  std::atomic<int> ready{0};
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      ready.fetch_add(1);
      while (ready.load() < kThreads) std::this_thread::yield();
      if (dll().chmOpen(nullptr, "Z:\\no\\such\\help.chm", 1, 0) != 1) wrong.fetch_add(1);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_NE(GetModuleHandleA("hhctrl.ocx"), nullptr);
  EXPECT_EQ(dll().chmOpen(nullptr, "Z:\\no\\such\\help.chm", 1, 0), 1);
}

TEST(Concurrency, EveryExportFromEightThreads) {
  ScratchDirectory scratch;
  {
    // Both fields enciphered with the library's own cipher under the credential key.
    std::string user = "shared", password = "secret";
    dll().Cryptogram(user.data(), "mzq8rtbwe5hyxpl");
    dll().Cryptogram(password.data(), "mzq8rtbwe5hyxpl");
    write_file("qzon.id", "06" + user + "06" + password);
  }
  Totals totals;
  std::vector<std::thread> threads;
  const auto deadline = std::chrono::steady_clock::now() + kDuration;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const std::string home = scratch.path() + "\\t" + std::to_string(t);
      CreateDirectoryA(home.c_str(), nullptr);
      HWND window = make_window();
      std::mt19937 random(t);
      for (int round = 0; std::chrono::steady_clock::now() < deadline; ++round) {
        one_round(t, round, home, window, random, totals);
      }
      DestroyWindow(window);
    });
  }
  for (auto& thread : threads) thread.join();
  std::printf("concurrency: %ld checked calls from %d threads in %lld s, %ld failures\n",
              totals.calls.load(), kThreads, static_cast<long long>(kDuration.count()),
              totals.failures.load());
  EXPECT_EQ(totals.failures.load(), 0);
  EXPECT_GT(totals.calls.load(), kThreads * 100L);
}

}  // namespace
}  // namespace tarn::wine
