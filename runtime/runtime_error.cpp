#include "runtime/runtime_error.h"

#include <csignal>
#ifdef _WIN32
#include <io.h>
#else
#include <sys/uio.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <exception>
#include <new>
#include <system_error>

namespace morvane::rt {

namespace {

// The error a terminating exception stands for: exhausted memory or threads, or anything else.
RuntimeError errorOfTermination() {
  const std::exception_ptr current = std::current_exception();
  if (!current) return RuntimeError::kUnhandledException;
  try {
    std::rethrow_exception(current);
  } catch (const std::bad_alloc&) {
    return RuntimeError::kHeapOverflow;
  } catch (const std::system_error& e) {
    // What std::thread throws when the system has no room for another thread.
    const bool exhausted = e.code() == std::errc::resource_unavailable_try_again ||
                           e.code() == std::errc::not_enough_memory;
    return exhausted ? RuntimeError::kHeapOverflow : RuntimeError::kUnhandledException;
  } catch (...) {
    return RuntimeError::kUnhandledException;
  }
}

[[noreturn]] void onTerminate() { fail(errorOfTermination()); }

[[noreturn]] void onOutOfMemory() { fail(RuntimeError::kHeapOverflow); }

// Writes `line` and a newline on stderr in one write where the system allows it.
void writeLine(std::string_view line) {
#ifdef _WIN32
  ::_write(2, line.data(), static_cast<unsigned>(line.size()));
  ::_write(2, "\n", 1);
#else
  // A reader that went away must not turn the report into death by SIGPIPE.
  ::signal(SIGPIPE, SIG_IGN);
  iovec parts[2] = {{const_cast<char*>(line.data()), line.size()},
                    {const_cast<char*>("\n"), 1}};
  while (::writev(STDERR_FILENO, parts, 2) < 0 && errno == EINTR) {
  }
#endif
}

}  // namespace

void quit(int status, std::string_view line) {
  static std::atomic_flag ending;
  if (ending.test_and_set()) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));  // another thread is ending it
  }
  writeLine(line);
  std::_Exit(status);
}

void fail(RuntimeError error, const void* where) {
  const int number = static_cast<int>(error);
  char report[64];
  const int length =
      std::snprintf(report, sizeof report, "Runtime error %d at $%016llX", number,
                    static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(where)));
  quit(number, std::string_view(report, static_cast<std::size_t>(length)));
}

void fail(RuntimeError error) { fail(error, __builtin_return_address(0)); }

void installHandlers() {
  std::set_new_handler(onOutOfMemory);
  std::set_terminate(onTerminate);
}

}  // namespace morvane::rt
