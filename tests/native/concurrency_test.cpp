// The logic of every export run from several threads at once, each
// on its own buffers and fakes, from the first call of the process on: the processor feature
// cache and the chosen code paths are filled while the threads race. Run under
// ThreadSanitizer by the native-tsan preset.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "base64/codec.h"
#include "cipher/credentials.h"
#include "cipher/cryptogram.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_gdi.h"
#include "fakes/scripted_help.h"
#include "fakes/string_credential_source.h"
#include "fsutil/create_dir.h"
#include "fsutil/delete.h"
#include "fsutil/list.h"
#include "winutil/help_launcher.h"
#include "winutil/progress_bar.h"

namespace tarn {
namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 200;

// One thread's work: every export's logic on buffers of its own; false on any wrong result.
bool run_exports(int thread, winutil::HelpEngineLoader& loader, fakes::ScriptedHelp& help) {
  const std::string user = "user" + std::to_string(thread);
  const std::string password = "pw" + std::to_string(thread * 7919);
  fakes::StringCredentialSource source(cipher::credential_file_content(user, password));
  for (int round = 0; round < kRounds; ++round) {
    std::string text = "thread " + std::to_string(thread) + " round " + std::to_string(round);
    const std::string plain = text;
    cipher::cryptogram(text.data(), "k");
    cipher::cryptogram(text.data(), "k");
    if (text != plain) return false;

    std::vector<unsigned char> bytes(plain.begin(), plain.end());
    std::string encoded(bytes.size() * 2 + 8, '\0');
    const int length =
        base64::encode_into_buffer(bytes.data(), static_cast<std::int32_t>(bytes.size()),
                                   encoded.data(), static_cast<std::int32_t>(encoded.size()));
    std::vector<unsigned char> back(bytes.size());
    if (base64::decode_into_buffer(encoded.data(), length, back.data(),
                                   static_cast<std::int32_t>(back.size())) !=
            static_cast<int>(bytes.size()) ||
        back != bytes) {
      return false;
    }

    char user_out[100], password_out[100];
    if (cipher::read_credentials(source, user_out, password_out) != 0 || user_out != user ||
        password_out != password) {
      return false;
    }

    fakes::RecordingGdi gdi;
    if (winutil::paint_progress_bar(gdi, fakes::RecordingGdi::kWindow, round / 200.0) != 0 ||
        !gdi.live().empty() || !gdi.faults.empty()) {
      return false;
    }

    if (winutil::open_help(help, loader, 1, "f.chm", 1, 0) != 1) return false;

    // The file utilities over a file system of the thread's own, in a double-byte code page.
    fakes::FakeFileSystem fs(fakes::code_page_936());
    const std::string tree = "C:\\work\\t" + std::to_string(thread);
    if (fsutil::create_directory_path(fs, (tree + "\\a\\b").c_str()) != 0) return false;
    fs.add_file(tree + "\\a\\one.txt");
    fs.add_file(tree + "\\a\\b\\two.txt");
    char listed[fsutil::kMaxPath];
    char* buffers[] = {listed};
    if (fsutil::list_files(fs, (tree + "\\a\\*.txt").c_str(), buffers, 1) != 1 ||
        listed != tree + "\\a\\one.txt") {
      return false;
    }
    if (fsutil::delete_tree(fs, tree.c_str()) != 0 || fs.exists(tree) || fs.open_searches() != 0) {
      return false;
    }
  }
  return true;
}

TEST(Concurrent, EveryExportFromEightThreadsFromTheFirstCall) {
  winutil::HelpEngineLoader loader;
  fakes::ScriptedHelp help;
  std::atomic<bool> go{false};
  std::vector<char> passed(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      passed[t] = run_exports(t, loader, help);
    });
  }
  go = true;
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_TRUE(passed[t]) << "thread " << t;
  EXPECT_EQ(help.count("HtmlHelpA"), kThreads * kRounds);
  EXPECT_EQ(loader.state(), winutil::HelpEngineLoader::State::kReady);
}

}  // namespace
}  // namespace tarn
