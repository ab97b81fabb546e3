// Texts as every C and Win32 reader of them ends them: at the first NUL.
#pragma once

#include <algorithm>
#include <string>

namespace daymarker {

// Cuts text at its first NUL, if it has one: a value made by hand (in the
// registry, say) may carry more than one, or one before its end.
inline void CutAtNul(std::wstring& text) {
  text.resize(std::min(text.size(), text.find(L'\0')));
}

}  // namespace daymarker
