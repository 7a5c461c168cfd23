// The message of the error an action raises, for tests that check failures by their text.
#pragma once

#include <functional>
#include <string>

#include "core/Error.h"

namespace fotoloom::test {

// The message of the fotoloom::Error action raises, or "no error" when it
// raises none. Any other exception goes on to the test.
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace fotoloom::test
