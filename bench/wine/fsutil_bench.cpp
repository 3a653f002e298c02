// GetDirFiles and DelDir of the real tarn.dll against bare loops of the same Win32 calls, on
// trees of 20,000 files, in one run. Prints the median of several rounds and the ratio.
// Usage: fsutil_bench PATH_TO_TARN_DLL [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tarn.h"

namespace {

constexpr int kFiles = 20000;
constexpr int kSubdirectories = 20;  // the DelDir tree: 20 directories of 1,000 files

decltype(&::GetDirFiles) get_dir_files;
decltype(&::DelDir) del_dir;

double seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void make_files(const std::string& directory, int count) {
  CreateDirectoryA(directory.c_str(), nullptr);
  for (int i = 0; i < count; ++i) {
    const std::string path = directory + "\\file" + std::to_string(i) + ".dat";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
  }
}

void make_tree(const std::string& top) {
  CreateDirectoryA(top.c_str(), nullptr);
  for (int d = 0; d < kSubdirectories; ++d) {
    make_files(top + "\\dir" + std::to_string(d), kFiles / kSubdirectories);
  }
}

// The bare listing: the calls GetDirFiles makes (one full path, then the search), writing each
// plain file's path as root + backslash + name.
int bare_list(const char* pattern, char** buffers, bool copy) {
  char full[MAX_PATH];
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern, &data);
  if (search == INVALID_HANDLE_VALUE) return -1;
  if (GetFullPathNameA(pattern, MAX_PATH, full, nullptr) == 0) return FindClose(search), -1;
  const std::size_t root = std::strrchr(full, '\\') - full;
  int count = 0;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (copy) {
      std::memcpy(buffers[count], full, root + 1);
      std::strcpy(buffers[count] + root + 1, data.cFileName);
    }
    ++count;
  } while (FindNextFileA(search, &data));
  FindClose(search);
  return count;
}

// The bare tree removal: the calls DelDir makes, in its order (files first, then a second pass
// for the subdirectories, then the directory).
int bare_remove(const std::string& directory) {
  const std::string pattern = directory + "\\*.*";
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return -2;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string path = directory + "\\" + data.cFileName;
    SetFileAttributesA(path.c_str(), 0);
    if (!DeleteFileA(path.c_str())) return FindClose(search), -2;
  } while (FindNextFileA(search, &data));
  FindClose(search);
  search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return -1;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return FindClose(search), -3;
    if (const int result = bare_remove(directory + "\\" + name); result != 0) {
      return FindClose(search), result;
    }
  } while (FindNextFileA(search, &data));
  FindClose(search);
  SetFileAttributesA(directory.c_str(), 0);
  return RemoveDirectoryA(directory.c_str()) ? 0 : -4;
}

// Prints the medians, their ratio, and the median of the ratios of the rounds (each round's two
// runs are neighbours in time, so this one is the steadier figure on a busy machine).
void report(const char* what, const std::vector<double>& ours, const std::vector<double>& bare) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < ours.size(); ++i) ratios.push_back(ours[i] / bare[i]);
  const double a = median(ours), b = median(bare);
  std::printf("%-28s %10.2f ms %10.2f ms %8.3f %8.3f\n", what, a * 1e3, b * 1e3, a / b,
              median(ratios));
  if (std::getenv("TARN_BENCH_ROUNDS") != nullptr) {
    for (std::size_t i = 0; i < ours.size(); ++i) {
      std::printf("    round %zu: %10.2f ms %10.2f ms\n", i, ours[i] * 1e3, bare[i] * 1e3);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PATH_TO_TARN_DLL [ROUNDS]\n", argv[0]);
    return 2;
  }
  std::string dll = argv[1];
  if (dll[0] == '/') dll = "Z:" + dll;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  HMODULE library = LoadLibraryA(dll.c_str());
  if (library == nullptr) return std::fprintf(stderr, "cannot load %s\n", dll.c_str()), 2;
  get_dir_files = reinterpret_cast<decltype(get_dir_files)>(
      reinterpret_cast<void*>(GetProcAddress(library, "GetDirFiles")));
  del_dir = reinterpret_cast<decltype(del_dir)>(
      reinterpret_cast<void*>(GetProcAddress(library, "DelDir")));

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string base =
      std::string(temp) + "tarn-fsutil-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(base.c_str(), nullptr);
  const std::string flat = base + "\\flat";
  make_files(flat, kFiles);
  const std::string pattern = flat + "\\*.*";

  std::vector<std::string> storage(kFiles, std::string(520, '\0'));
  std::vector<char*> buffers;
  for (std::string& buffer : storage) buffers.push_back(buffer.data());

  std::printf("%d files, median of %d rounds; ratio = tarn / bare loop\n", kFiles, rounds);
  std::printf("%-28s %13s %13s %8s %8s\n", "", "tarn", "bare loop", "ratio", "paired");
  std::vector<double> count_ours, count_bare, fill_ours, fill_bare, del_ours, del_bare;
  int checks = 0;
  for (int round = 0; round < rounds; ++round) {
    // Alternate who goes first, so that neither always meets the warmer cache.
    for (int turn = 0; turn < 2; ++turn) {
      if ((round + turn) % 2 == 0) {
        count_ours.push_back(
            seconds([&] { checks += get_dir_files(pattern.c_str(), nullptr, 0); }));
        fill_ours.push_back(
            seconds([&] { checks += get_dir_files(pattern.c_str(), buffers.data(), 1); }));
      } else {
        count_bare.push_back(
            seconds([&] { checks += bare_list(pattern.c_str(), nullptr, false); }));
        fill_bare.push_back(
            seconds([&] { checks += bare_list(pattern.c_str(), buffers.data(), true); }));
      }
    }
  }
  if (checks != 4 * rounds * kFiles) std::fprintf(stderr, "listing counts disagree: %d\n", checks);
  report("GetDirFiles count", count_ours, count_bare);
  report("GetDirFiles fill", fill_ours, fill_bare);

  int failures = 0;
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      const std::string tree = base + "\\tree";
      make_tree(tree);
      if ((round + turn) % 2 == 0) {
        del_ours.push_back(seconds([&] { failures += del_dir(tree.c_str()) != 0; }));
      } else {
        del_bare.push_back(seconds([&] { failures += bare_remove(tree) != 0; }));
      }
    }
  }
  report("DelDir (20 x 1,000 files)", del_ours, del_bare);

  // The same work interleaved finely: two trees, whose subdirectories are removed in turns,
  // tarn's one from the first tree and the bare loop's one from the second, and then the two
  // emptied tops. Each pair of runs is a third of a second apart, so load from elsewhere on the
  // machine falls on both alike.
  std::vector<double> step_ours, step_bare;
  for (int round = 0; round < rounds; ++round) {
    const std::string ours_tree = base + "\\ours", bare_tree = base + "\\bare";
    make_tree(ours_tree);
    make_tree(bare_tree);
    double ours = 0, bare = 0;
    for (int d = 0; d <= kSubdirectories; ++d) {
      const std::string part = d < kSubdirectories ? "\\dir" + std::to_string(d) : "";
      auto run_ours = [&] {
        ours += seconds([&] { failures += del_dir((ours_tree + part).c_str()) != 0; });
      };
      auto run_bare = [&] {
        bare += seconds([&] { failures += bare_remove(bare_tree + part) != 0; });
      };
      if ((round + d) % 2 == 0) {
        run_ours(), run_bare();
      } else {
        run_bare(), run_ours();
      }
    }
    step_ours.push_back(ours);
    step_bare.push_back(bare);
  }
  if (failures != 0) std::fprintf(stderr, "%d tree removals failed\n", failures);
  report("DelDir, interleaved", step_ours, step_bare);

  del_dir(base.c_str());
  return 0;
}
