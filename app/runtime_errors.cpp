// The program is built without exceptions, but the static C++ runtime raises
// its errors (out of memory, a string too long, an index out of range) by
// throwing, which would link the exception unwinder and its tables for
// nothing to catch. These definitions take the place of the runtime's: each
// ends the program at once, as an uncaught exception would have, with the
// C runtime's abort message. None of them is reached in normal use; the
// registry layer checks sizes before it allocates.
#include <cstdlib>
#include <new>

#if defined(__GLIBCXX__)  // set by the headers above

// The runtime's own declarations, noreturn included: a definition below that
// strayed from them, or could come back, would not compile.
#include <bits/functexcept.h>

// These are the runtime's own allocator and helpers, with the runtime's names
// and signatures.
// NOLINTBEGIN(cppcoreguidelines-no-malloc, cppcoreguidelines-owning-memory)
// NOLINTBEGIN(bugprone-reserved-identifier, cert-dcl37-c, cert-dcl51-cpp, cert-dcl58-cpp)
// NOLINTBEGIN(cert-dcl50-cpp)

namespace {

[[noreturn]] void OutOfMemory() {
  std::abort();
}

}  // namespace

void* operator new(std::size_t size) {
  // Windows' malloc gives a request for no bytes a block of its own, as operator new must.
  if (void* block = std::malloc(size)) {
    return block;
  }
  OutOfMemory();
}

// The runtime's array forms come to these, as its array new goes to the
// operator new above.
void operator delete(void* block) noexcept {
  std::free(block);
}

void operator delete(void* block, std::size_t /*size*/) noexcept {
  std::free(block);
}

namespace std {

void __throw_bad_alloc() {
  OutOfMemory();
}

void __throw_bad_array_new_length() {
  OutOfMemory();
}

void __throw_length_error(const char* /*unused*/) {
  std::abort();
}

void __throw_logic_error(const char* /*unused*/) {
  std::abort();
}

void __throw_out_of_range_fmt(const char* /*unused*/, ...) {
  std::abort();
}

}  // namespace std

// NOLINTEND(cert-dcl50-cpp)
// NOLINTEND(bugprone-reserved-identifier, cert-dcl37-c, cert-dcl51-cpp, cert-dcl58-cpp)
// NOLINTEND(cppcoreguidelines-no-malloc, cppcoreguidelines-owning-memory)

#endif
