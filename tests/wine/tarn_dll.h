// Binds the exports of the tarn.dll under test by name, the way a PowerBuilder host does.
#pragma once

#include <windows.h>

#include <string>

#include "tarn.h"

namespace tarn::wine {

struct Exports {
  decltype(&::Base64Decode) Base64Decode;
  decltype(&::Base64Encode) Base64Encode;
  decltype(&::CreateDir) CreateDir;
  decltype(&::Cryptogram) Cryptogram;
  decltype(&::DelDir) DelDir;
  decltype(&::DelFile) DelFile;
  decltype(&::GetDirFiles) GetDirFiles;
  decltype(&::GetQzDbUser) GetQzDbUser;
  decltype(&::Processor) Processor;
  decltype(&::chmOpen) chmOpen;
};

// The loaded library; exports that the library does not have yet are null.
HMODULE library();
const Exports& dll();

// A fresh directory under the temporary folder, made the current directory for the test's
// lifetime; the previous current directory is restored and the tree removed afterwards.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  const std::string& path() const { return path_; }

 private:
  std::string previous_;
  std::string path_;
};

// Writes `content` to `path`, replacing any file there.
void write_file(const std::string& path, const std::string& content);

}  // namespace tarn::wine
