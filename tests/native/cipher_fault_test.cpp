// Faults in the credential reader: the file source failing or running out of memory, and every
// allocation the reader makes failing in turn. Each ends in the export's -1 with both caller
// buffers exactly as they were; the exception barrier turns a throw into that result.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "base64/codec.h"
#include "cipher/credentials.h"
#include "cipher/cryptogram.h"
#include "fakes/failing_allocation.h"
#include "frame/guard.h"

namespace tarn::cipher {
namespace {

class FailingSource final : public CredentialSource {
 public:
  enum class Fault { none, unreadable, throws };
  FailingSource(std::string content, Fault fault) : content_(std::move(content)), fault_(fault) {}
  std::optional<std::string> read_prefix(std::size_t max_bytes) override {
    if (fault_ == Fault::unreadable) return std::nullopt;
    if (fault_ == Fault::throws) throw std::bad_alloc();
    return content_.substr(0, max_bytes);
  }

 private:
  std::string content_;
  Fault fault_;
};

// GetQzDbUser as the export runs it: the reader behind the barrier with -1 on a throw.
int get_user(CredentialSource& source, char* user, char* password) {
  return frame::guarded(-1, [&] { return read_credentials(source, user, password); });
}

struct Buffers {
  char user[100];
  char password[100];
  Buffers() {
    std::memset(user, 'U', sizeof user);
    std::memset(password, 'P', sizeof password);
  }
  bool untouched() const {
    return std::string(user, sizeof user) == std::string(sizeof user, 'U') &&
           std::string(password, sizeof password) == std::string(sizeof password, 'P');
  }
};

TEST(CredentialFaults, EveryFailureEndsInMinusOneWithBuffersUntouched) {
  const std::string content = credential_file_content(std::string(99, 'u'), "secret");
  int injected = 0;

  for (const auto fault : {FailingSource::Fault::unreadable, FailingSource::Fault::throws}) {
    FailingSource source(content, fault);
    Buffers buffers;
    EXPECT_EQ(get_user(source, buffers.user, buffers.password), -1);
    EXPECT_TRUE(buffers.untouched());
    ++injected;
  }

  // A clean run counts the reader's allocations; then each one fails in turn.
  FailingSource source(content, FailingSource::Fault::none);
  Buffers clean;
  fakes::AllocationFailure counting(-1);
  ASSERT_EQ(get_user(source, clean.user, clean.password), 0);
  const int allocations = counting.stop();
  ASSERT_GT(allocations, 0);
  EXPECT_STREQ(clean.password, "secret");
  for (int index = 0; index < allocations; ++index) {
    Buffers buffers;
    fakes::AllocationFailure failure(index);
    EXPECT_EQ(get_user(source, buffers.user, buffers.password), -1) << "allocation " << index;
    failure.stop();
    EXPECT_TRUE(buffers.untouched()) << "allocation " << index;
    ++injected;
  }
  RecordProperty("faults_injected", injected);
  std::printf("cipher: %d faults injected\n", injected);
}

// The barrier every export runs behind: a result passes through, any exception becomes the
// export's failure result, and nothing escapes.
TEST(Guarded, PassesResultsAndTurnsEveryExceptionIntoTheFailureResult) {
  EXPECT_EQ(frame::guarded(-1, [] { return 7; }), 7);
  EXPECT_EQ(frame::guarded(-1, []() -> int { throw std::bad_alloc(); }), -1);
  EXPECT_EQ(frame::guarded(-2, []() -> int { throw std::length_error("long"); }), -2);
  EXPECT_EQ(frame::guarded(1, []() -> int { throw 42; }), 1);
  static_assert(noexcept(frame::guarded(0, [] { return 0; })));
}

// Base64 and Cryptogram work in the caller's buffers only: no allocation can fail in them.
TEST(MemoryOnlyExports, AllocateNothing) {
  // Work done before counting: the first call decides the code paths.
  std::string text = "some text";
  cryptogram(text.data(), "k");
  char warm[8] = {};
  base64::encode_into_buffer(reinterpret_cast<const unsigned char*>("ab"), 2, warm, 8);
  unsigned char bytes[16] = {};
  char encoded[32] = {};
  fakes::AllocationFailure counting(-1);
  cryptogram(text.data(), "k");
  const auto encoded_length = base64::encode_into_buffer(bytes, 16, encoded, 32);
  const auto decoded_length = base64::decode_into_buffer(encoded, 24, bytes, 16);
  EXPECT_EQ(counting.stop(), 0);  // before the checks, which allocate themselves
  EXPECT_EQ(encoded_length, 24);
  EXPECT_EQ(decoded_length, 16);
}

}  // namespace
}  // namespace tarn::cipher
