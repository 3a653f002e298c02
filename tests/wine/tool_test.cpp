// tarn.exe under Wine, together with the DLL: what the tool writes, the DLL reads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "wine/tarn_dll.h"

namespace tarn::wine {
namespace {

struct ToolRun {
  DWORD exit_code;
  std::string output;
};

// The tool built beside the DLL, named by TARN_TOOL as a path of the build machine.
std::string tool_path() {
  const char* path = std::getenv("TARN_TOOL");
  std::string tool = path ? path : "tarn.exe";
  if (!tool.empty() && tool[0] == '/') tool.insert(0, "Z:");
  return tool;
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Runs the tool with `arguments` (already quoted for the command line), `input` as its standard
// input, and collects its standard output; both go through files, so nothing can block.
ToolRun run_tool(const std::string& arguments, const std::string& input = "") {
  // Beside the scratch directory, so that they never show among its entries.
  char directory[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, directory);
  const std::string in_path = std::string(directory) + ".stdin";
  const std::string out_path = std::string(directory) + ".stdout";
  write_file(in_path, input);
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE in = CreateFileA(in_path.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING,
                          0, nullptr);
  HANDLE out = CreateFileA(out_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string command = "\"";
  command += tool_path();
  command += "\" ";
  command += arguments;
  PROCESS_INFORMATION process{};
  ToolRun run{~0u, {}};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(in);
  CloseHandle(out);
  run.output = read_file(out_path);
  DeleteFileA(in_path.c_str());
  DeleteFileA(out_path.c_str());
  return run;
}

std::vector<std::string> entries() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

class Tool : public testing::Test {
 protected:
  ScratchDirectory scratch;
};

TEST_F(Tool, WrittenCredentialsAreReadBackByTheDll) {
  struct Case {
    std::string user, password;
  };
  // 'g' enciphers to a line feed, which a text-mode write would turn into two bytes.
  for (const Case& c : {Case{"dbo_reader", "s3cret"}, Case{"gag", "g\xe9\x80m"},
                        Case{std::string(99, 'u'), std::string(99, 'p')}, Case{"sa", ""}}) {
    SCOPED_TRACE(c.user);
    ASSERT_EQ(run_tool("credentials write --force -u " + c.user + " -o qzon.id", c.password + "\n")
                  .exit_code,
              0u);
    char user[100] = "untouched", password[100] = "untouched";
    ASSERT_EQ(dll().GetQzDbUser(user, password), 0);
    EXPECT_EQ(std::string(user), c.user);
    EXPECT_EQ(std::string(password), c.password);
    EXPECT_EQ(run_tool("credentials check qzon.id").exit_code, 0u);
  }
  EXPECT_EQ(entries(), std::vector<std::string>{"qzon.id"});
}

TEST_F(Tool, RefusalsLeaveNoFile) {
  EXPECT_EQ(run_tool("credentials write -u \"\" -o qzon.id", "pw\n").exit_code, 2u);
  EXPECT_EQ(run_tool("credentials write -u u -o qzon.id", std::string(100, 'p')).exit_code, 2u);
  EXPECT_EQ(run_tool("credentials write -u u -o qzon.id", std::string("p\0w", 3)).exit_code, 2u);
  EXPECT_TRUE(entries().empty());
}

TEST_F(Tool, ExistingFileIsReplacedOnlyWithForce) {
  write_file("qzon.id", "keep me");
  EXPECT_EQ(run_tool("credentials write -u new -o qzon.id", "pw").exit_code, 2u);
  EXPECT_EQ(read_file("qzon.id"), "keep me");
  EXPECT_EQ(run_tool("credentials write -u new -o qzon.id --force", "pw").exit_code, 0u);
  char user[100], password[100];
  ASSERT_EQ(dll().GetQzDbUser(user, password), 0);
  EXPECT_STREQ(user, "new");
  EXPECT_EQ(entries(), std::vector<std::string>{"qzon.id"});
}

TEST_F(Tool, CheckExplainsMalformedFiles) {
  write_file("qzon.id", "02ab0");
  const ToolRun run = run_tool("credentials check qzon.id");
  EXPECT_EQ(run.exit_code, 1u);
  EXPECT_NE(run.output.find("password's length is cut off"), std::string::npos) << run.output;
}

TEST_F(Tool, CipherMatchesTheDll) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += static_cast<char>(1 + i % 255);
  std::string expected = text;
  dll().Cryptogram(expected.data(), "q");
  const ToolRun run = run_tool("cipher --key q", text);
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(run.output, expected);
}

TEST_F(Tool, Base64OfSeveralMebibytesMatchesTheDllAndRoundTrips) {
  std::string data(5 * 1024 * 1024 + 2, '\0');
  unsigned state = 12345;
  for (char& byte : data) byte = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
  write_file("data.bin", data);

  std::string expected(((data.size() + 2) / 3) * 4, '\0');
  ASSERT_EQ(dll().Base64Encode(reinterpret_cast<const unsigned char*>(data.data()),
                               static_cast<int32_t>(data.size()), expected.data(),
                               static_cast<int32_t>(expected.size())),
            static_cast<int32_t>(expected.size()));
  ASSERT_EQ(run_tool("base64 encode data.bin data.b64").exit_code, 0u);
  EXPECT_TRUE(read_file("data.b64") == expected);
  ASSERT_EQ(run_tool("base64 decode data.b64 back.bin").exit_code, 0u);
  EXPECT_TRUE(read_file("back.bin") == data);
}

}  // namespace
}  // namespace tarn::wine
