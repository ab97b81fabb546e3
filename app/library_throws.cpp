// The static C++ runtime raises its errors (a string too long, an index out
// of range) through a family of helpers kept in one object file. Linking that
// file brings in the standard exception classes with their own copy of the
// whole narrow-string library, about a third of the executable. These
// definitions take its place: each helper this program can reach throws the
// smallest exception that keeps its meaning, so every catch in the program
// behaves as before. Should a helper not defined here be needed, the
// library's file comes back in and the link fails on a duplicate definition,
// rather than the executable growing quietly.
#include <exception>
#include <new>

#if defined(__GLIBCXX__)  // set by the headers above

namespace {

// What an index or argument past the end used to raise: still a
// std::exception, so catch (const std::exception&) and catch (...) see it.
class LibraryLogicError final : public std::exception {
 public:
  const char* what() const noexcept override { return "invalid argument to a library call"; }
};

}  // namespace

// NOLINTBEGIN(cert-dcl58-cpp, bugprone-reserved-identifier): these replace the runtime's own.
namespace std {

void __throw_bad_alloc() {
  throw std::bad_alloc();
}

void __throw_bad_array_new_length() {
  throw std::bad_array_new_length();
}

// A length past max_size() is a request no memory could meet.
void __throw_length_error(const char* /*unused*/) {
  throw std::bad_alloc();
}

void __throw_logic_error(const char* /*unused*/) {
  throw LibraryLogicError();
}

void __throw_out_of_range_fmt(const char* /*unused*/, ...) {
  throw LibraryLogicError();
}

}  // namespace std
// NOLINTEND(cert-dcl58-cpp, bugprone-reserved-identifier)

#endif
