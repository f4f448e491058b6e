// The library's state object.
#include <memory>

#include "display_internal.h"

namespace display {

LibraryState state;

void resetForTests() {
  delete state._PMAIN;
  // Rebuilt in place: the state holds two large rings that a temporary copy would put on the stack.
  std::destroy_at(&state);
  std::construct_at(&state);
}

}  // namespace display
