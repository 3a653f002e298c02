#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "cipher/credentials.h"

namespace tarn::cipher {
namespace {

using namespace std::string_literals;

TEST(CredentialFileProblems, NoneForWhatTheWriterProduces) {
  for (const auto& [user, password] : std::vector<std::pair<std::string, std::string>>{
           {"sa", ""}, {"u", "p"}, {std::string(99, 'm'), std::string(99, '\xff')}}) {
    EXPECT_TRUE(credential_file_problems(credential_file_content(user, password)).empty()) << user;
  }
}

// Each malformed file is reported once, at the offset of its first fault, in words that name
// what is wrong.
struct ProblemCase {
  std::string file;
  std::vector<std::size_t> offsets;
  std::string wording;  // a phrase the first description must hold
};

void PrintTo(const ProblemCase& c, std::ostream* out) { *out << testing::PrintToString(c.file); }

class MalformedFile : public testing::TestWithParam<ProblemCase> {};

TEST_P(MalformedFile, IsReportedWhereItGoesWrong) {
  const ProblemCase& c = GetParam();
  const auto problems = credential_file_problems(c.file);
  std::vector<std::size_t> offsets;
  for (const auto& problem : problems) offsets.push_back(problem.offset);
  EXPECT_EQ(offsets, c.offsets);
  ASSERT_FALSE(problems.empty());
  EXPECT_NE(problems.front().description.find(c.wording), std::string::npos)
      << problems.front().description;
}

INSTANTIATE_TEST_SUITE_P(
    CredentialFileProblems, MalformedFile,
    testing::Values(
        ProblemCase{"", {0}, "the file is empty"},
        ProblemCase{"7", {0}, "user name's length is cut off by the end of the file: \"7\""},
        ProblemCase{"a1xy", {0}, "user name's length at offset 0 is \"a1\"; it must be two"},
        ProblemCase{" 3abc00", {0}, "is \" 3\""}, ProblemCase{"-3", {0}, "is \"-3\""},
        ProblemCase{"05abc",
                    {2},
                    "user name should be 5 bytes long from offset 2, but the "
                    "file ends after 3 bytes"},
        ProblemCase{"02ab", {4}, "the file ends where the password's length should follow"},
        ProblemCase{"02ab4", {4}, "password's length is cut off"},
        ProblemCase{"02ab0\xb1xyz", {4}, "password's length at offset 4 is \"0\\xB1\""},
        ProblemCase{"01a03xy", {5}, "password should be 3 bytes long"},
        ProblemCase{"01a01b\r\n", {6}, "2 bytes follow the password from offset 6"},
        ProblemCase{"01a\0"s
                    "01b",
                    {3, 3},
                    "a zero byte at offset 3 ends the text"},
        ProblemCase{"01a01b\0"s, {6, 6}, "zero byte"}));

TEST(CredentialValueProblem, RefusesWhatCannotBeReadBack) {
  EXPECT_FALSE(credential_value_problem(std::string(99, 'x')));
  EXPECT_FALSE(credential_value_problem(""));
  EXPECT_NE(credential_value_problem(std::string(100, 'x')).value().find("100 bytes"),
            std::string::npos);
  EXPECT_NE(credential_value_problem("ab\0c"s).value().find("zero byte at position 3"),
            std::string::npos);
  EXPECT_THROW(credential_file_content(std::string(100, 'x'), ""), std::invalid_argument);
  EXPECT_THROW(credential_file_content("u", "p\0"s), std::invalid_argument);
}

}  // namespace
}  // namespace tarn::cipher
