// The registry reader every layer shares, against the real registry: a value
// a hand-editor changes between its two queries never makes a read run past
// the buffer sized from the first.
#include "win/registry_value.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "tests/win32/support/registry_support.h"

namespace daymarker::testing {
namespace {

using namespace std::literals;

using RegValueTest = ScratchRegistryTest;

TEST_F(RegValueTest, AValueChangedAfterItsSizeWasTakenIsReadWithinTheBuffer) {
  struct Case {
    const char* what;
    DWORD type;
    std::vector<BYTE> now;  // what the value holds at the second query
    LONG result;
    std::optional<std::pair<DWORD, DWORD>> read;  // the bytes and type a successful read finds
  };
  const Case cases[] = {
      {"grown", REG_SZ, TextBytes(L"abcde"sv), ERROR_MORE_DATA, {}},
      {"shrunk", REG_SZ, TextBytes(L"ab"sv), ERROR_SUCCESS, std::pair{4, REG_SZ}},
      {"retyped", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}, ERROR_SUCCESS, std::pair{8, REG_BINARY}},
      {"gone", REG_NONE, {}, ERROR_FILE_NOT_FOUND, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Plant(Scratch(), L"", L"Value", REG_SZ, TextBytes(L"abcd"sv)));
    const RegValue value(Scratch(), L"Value");
    ASSERT_EQ(value.Found(), ERROR_SUCCESS);
    EXPECT_EQ(value.Type(), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.Size(), 8u);
    if (c.type == REG_NONE) {
      ASSERT_EQ(::RegDeleteValueW(Scratch(), L"Value"), ERROR_SUCCESS);
    } else {
      ASSERT_TRUE(Plant(Scratch(), L"", L"Value", c.type, c.now));
    }

    std::array<std::byte, 16> memory{};
    memory.fill(std::byte{0xCC});
    DWORD received = 0;
    DWORD type = REG_DWORD;
    EXPECT_EQ(value.Read(std::span(memory).first(value.Size()), received, type), c.result);
    if (c.read) {
      EXPECT_EQ(std::pair(received, type), *c.read);
    }
    for (std::size_t i = value.Size(); i < memory.size(); ++i) {
      ASSERT_EQ(memory[i], std::byte{0xCC}) << "written past the buffer at " << i;
    }
  }
}

// A buffer of no bytes may have no address, which the registry takes as a
// request for the size alone: a value with bytes still does not fit it.
TEST_F(RegValueTest, AnEmptyBufferHoldsOnlyAnEmptyValue) {
  ASSERT_TRUE(Plant(Scratch(), L"", L"Full", REG_SZ, TextBytes(L"ab"sv)));
  ASSERT_TRUE(Plant(Scratch(), L"", L"Empty", REG_SZ, {}));
  DWORD received = 1;
  DWORD type = REG_NONE;
  EXPECT_EQ(RegValue(Scratch(), L"Full").Read({}, received, type), ERROR_MORE_DATA);
  EXPECT_EQ(RegValue(Scratch(), L"Empty").Read({}, received, type), ERROR_SUCCESS);
  EXPECT_EQ(received, 0u);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(RegValue(Scratch(), L"Missing").Found(), ERROR_FILE_NOT_FOUND);
}

// A failed open hands out nothing to close: the key held before stays.
TEST_F(RegValueTest, AKeyIsTakenOnlyFromAnOpenThatSucceeded) {
  ASSERT_TRUE(Plant(Scratch(), L"Present", L"Value", REG_SZ, TextBytes(L"x"sv)));
  ScopedKey key;
  // The path as a view that does not end in a NUL.
  EXPECT_EQ(OpenRegKey(Scratch(), L"Present\\tail"sv.substr(0, 7), KEY_READ, key), ERROR_SUCCESS);
  EXPECT_EQ(OpenRegKey(Scratch(), L"Missing", KEY_READ, key), ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(key);
  EXPECT_EQ(RegValue(key.Get(), L"Value").Found(), ERROR_SUCCESS);
}

}  // namespace
}  // namespace daymarker::testing
