// Formats a logged call as "Function(argument, argument, ...)".
#pragma once

#include <sstream>
#include <string>
#include <string_view>

namespace tarn::fakes {

template <class... Arguments>
std::string format_call(std::string_view function, const Arguments&... arguments) {
  std::ostringstream text;
  text << function << '(';
  const char* separator = "";
  ((text << separator << arguments, separator = ", "), ...);
  text << ')';
  return text.str();
}

}  // namespace tarn::fakes
