#include "ui/main/main_window_layout.h"

namespace daymarker::main_layout {

HMENU BuildMenuBar() {
  HMENU bar = ::CreateMenu();
  HMENU file = ::CreatePopupMenu();
  ::AppendMenuW(file, MF_STRING, IDM_FILE_BASE, L"E&xit");
  HMENU help = ::CreatePopupMenu();
  ::AppendMenuW(help, MF_STRING, IDM_HELP_BASE, L"&About...\tF1");
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
  return bar;
}

}  // namespace daymarker::main_layout
