#include "runtime/runtime_error.h"

#include <cstdio>
#include <cstdlib>

namespace morvane::rt {

void fail(RuntimeError error, const void* where) {
  const int number = static_cast<int>(error);
  std::fprintf(stderr, "Runtime error %d at $%016llX\n", number,
               static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(where)));
  std::fflush(stderr);
  std::_Exit(number);
}

void fail(RuntimeError error) { fail(error, __builtin_return_address(0)); }

}  // namespace morvane::rt
