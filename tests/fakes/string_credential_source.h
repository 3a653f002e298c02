// A credential source that serves a fixed content, as a credential file of that content would.
#pragma once

#include <optional>
#include <string>

#include "cipher/credentials.h"

namespace tarn::fakes {

class StringCredentialSource final : public cipher::CredentialSource {
 public:
  explicit StringCredentialSource(std::string content) : content_(std::move(content)) {}
  std::optional<std::string> read_prefix(std::size_t max_bytes) override {
    return content_.substr(0, max_bytes);
  }

 private:
  std::string content_;
};

}  // namespace tarn::fakes
