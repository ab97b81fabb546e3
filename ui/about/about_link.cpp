#include "ui/about/about_link.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "ui/window_text.h"
#include "win/com_apartment.h"
#include "win/system_functions.h"

namespace daymarker {
namespace {

constexpr UINT_PTR kLinkSubclass = 1;

// Paints the link while it shows a focus rectangle: the static's own picture,
// and the rectangle around its text, which the static centres line by line.
void PaintFocusedLink(HWND link, HDC dc, LPARAM options) {
  ::DefSubclassProc(link, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), options);
  const std::wstring text = WindowText(link);
  RECT client;
  ::GetClientRect(link, &client);
  RECT around = client;
  const int saved = ::SaveDC(dc);
  ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(link, WM_GETFONT, 0, 0)));
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &around,
              DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  ::RestoreDC(dc, saved);
  ::OffsetRect(&around, (client.right - around.right) / 2, 0);
  ::InflateRect(&around, 1, 1);
  ::IntersectRect(&around, &around, &client);
  ::DrawFocusRect(dc, &around);
}

bool ShowsFocusCue(HWND link) {
  // Shown from the start: no dialog manager sends this window UIS_INITIALIZE to hide it.
  return ::GetFocus() == link &&
         (::SendMessageW(link, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

// Without the focus the static paints the link alone.
LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam,
                          UINT_PTR subclassId, DWORD_PTR /*refData*/) {
  switch (message) {
    case WM_GETDLGCODE:
      // Else the dialog keys make Enter the default button's.
      if (const auto* key = reinterpret_cast<const MSG*>(lParam);
          key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
        return ::DefSubclassProc(link, message, wParam, lParam) | DLGC_WANTMESSAGE;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_SPACE) {
        // As a click does; the parent's handler may destroy the link with its window.
        ::SendMessageW(::GetParent(link), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(link), STN_CLICKED),
                       reinterpret_cast<LPARAM>(link));
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
      ::InvalidateRect(link, nullptr, TRUE);
      break;
    case WM_PAINT:
      if (ShowsFocusCue(link)) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(link, &paint);
        PaintFocusedLink(link, dc, PRF_CLIENT);
        ::EndPaint(link, &paint);
        return 0;
      }
      break;
    case WM_PRINTCLIENT:
      if (ShowsFocusCue(link)) {
        PaintFocusedLink(link, reinterpret_cast<HDC>(wParam), lParam);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(link, LinkProc, subclassId);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(link, message, wParam, lParam);
}

}  // namespace

void MakeKeyboardLink(HWND link) {
  ::SetWindowSubclass(link, LinkProc, kLinkSubclass, 0);
}

void AddLinkTooltip(HINSTANCE instance, HWND window, HWND link, const wchar_t* tip) {
  HWND tooltip =
      ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the control
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(link);
  // The tooltip keeps its own copy; the field is not const only for TTM_GETTEXT.
  tool.lpszText = const_cast<wchar_t*>(tip);  // NOLINT(cppcoreguidelines-pro-type-const-cast)
  ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void OpenInBrowser(HWND owner, const wchar_t* address) {
  // The shell may hand the request to COM handlers, which want an apartment on this thread.
  const ComApartment apartment;
  const auto shellExecute = system_functions::ShellExecuteW::Get();
  if (shellExecute != nullptr) {
    shellExecute(owner, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
  }
}

}  // namespace daymarker
