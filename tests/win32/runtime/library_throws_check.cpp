// The executable replaces the runtime's error helpers with small ones. This
// program links the same replacements and nothing that needs the runtime's
// own (the test framework does), and checks that each error still arrives as
// an exception the program's catch blocks handle.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace {

int failures = 0;

template <typename Expected, typename Action>
void ExpectThrow(const char* what, Action action) {
  try {
    action();
  } catch (const Expected&) {
    return;
  } catch (...) {
    std::printf("FAILED: %s threw something else\n", what);
    ++failures;
    return;
  }
  std::printf("FAILED: %s did not throw\n", what);
  ++failures;
}

}  // namespace

int main() {
  // Impossible sizes are out of memory, which FetchRegValue turns into a code.
  ExpectThrow<std::bad_alloc>("wstring::reserve past max_size", [] {
    std::wstring text;
    text.reserve(text.max_size() + 1);
  });
  ExpectThrow<std::bad_alloc>("wstring::append past max_size", [] {
    std::wstring text(L"x");
    text.append(text.max_size(), L'y');
  });
  ExpectThrow<std::bad_alloc>("vector::reserve past max_size", [] {
    std::vector<wchar_t> buffer;
    buffer.reserve(buffer.max_size() + 1);
  });
  ExpectThrow<std::bad_alloc>("new[] of a negative count", [] {
    volatile int count = -1;
    delete[] new wchar_t[count];
  });

  // Bad positions and null texts stay std::exceptions with a message.
  ExpectThrow<std::exception>("wstring::substr past the end", [] {
    const std::wstring text = L"Party";
    static_cast<void>(text.substr(6));
  });
  ExpectThrow<std::exception>("wstring::at past the end", [] {
    const std::wstring text = L"Party";
    static_cast<void>(text.at(5));
  });
  ExpectThrow<std::exception>("wstring from a null pointer", [] {
    const wchar_t* volatile none = nullptr;
    const std::wstring text(none);
  });
  try {
    static_cast<void>(std::wstring(L"x").substr(2));
  } catch (const std::exception& error) {
    if (error.what() == nullptr || *error.what() == '\0') {
      std::printf("FAILED: a bad position has no message\n");
      ++failures;
    }
  }

  std::printf("%s\n", failures == 0 ? "library error helpers: all passed"
                                    : "library error helpers: FAILED");
  return failures == 0 ? 0 : 1;
}
