// Entry point of every Wine test program: the first argument left after GoogleTest's own is the
// path of the tarn.dll to load.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "wine/tarn_dll.h"

namespace tarn::wine {
namespace {

HMODULE loaded = nullptr;
Exports exports{};

template <class Function>
void bind(Function& slot, const char* name) {
  slot = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

}  // namespace

HMODULE library() { return loaded; }
const Exports& dll() { return exports; }

ScratchDirectory::ScratchDirectory() {
  char buffer[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, buffer);
  previous_ = buffer;
  GetTempPathA(MAX_PATH, buffer);
  char unique[MAX_PATH];
  GetTempFileNameA(buffer, "trn", 0, unique);  // creates a file we replace by a directory
  DeleteFileA(unique);
  CreateDirectoryA(unique, nullptr);
  path_ = unique;
  SetCurrentDirectoryA(path_.c_str());
}

ScratchDirectory::~ScratchDirectory() {
  SetCurrentDirectoryA(previous_.c_str());
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(path_, ignored);
}

void write_file(const std::string& path, const std::string& content) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

}  // namespace tarn::wine

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s [gtest options] PATH_TO_TARN_DLL\n", argv[0]);
    return 2;
  }
  std::string path = argv[1];
  if (!path.empty() && path[0] == '/') path = "Z:" + path;  // a Unix path from the build
  using tarn::wine::loaded;
  loaded = LoadLibraryA(path.c_str());
  if (loaded == nullptr) {
    std::fprintf(stderr, "cannot load %s (error %lu)\n", path.c_str(), GetLastError());
    return 2;
  }
  auto& e = tarn::wine::exports;
  using tarn::wine::bind;
  bind(e.Base64Decode, "Base64Decode");
  bind(e.Base64Encode, "Base64Encode");
  bind(e.CreateDir, "CreateDir");
  bind(e.Cryptogram, "Cryptogram");
  bind(e.DelDir, "DelDir");
  bind(e.DelFile, "DelFile");
  bind(e.GetDirFiles, "GetDirFiles");
  bind(e.GetQzDbUser, "GetQzDbUser");
  bind(e.Processor, "Processor");
  bind(e.chmOpen, "chmOpen");
  return RUN_ALL_TESTS();
}
