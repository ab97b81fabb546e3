// frmMain's control values as its handlers read and set them.
#include "ui/main/main_window.h"

#include <commctrl.h>

#include <string>

#include "ui/main/main_window_ids.h"
#include "ui/window_text.h"

namespace daymarker {

using namespace main_ids;

std::wstring MainWindow::ControlText(int id) const {
  return WindowText(Control(id));
}

CivilDateTime MainWindow::TargetDateTime() const {
  SYSTEMTIME date{};
  SYSTEMTIME time{};
  ::SendMessageW(Control(kDtpEventDate), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
  ::SendMessageW(Control(kDtpEventTime), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  CivilDateTime target = CivilFromSystemTime(date);
  target.hour = time.wHour;
  target.minute = time.wMinute;
  target.second = time.wSecond;
  return target;
}

void MainWindow::SetPickers(const CivilDateTime& time) {
  // A saved moment past the last day the date picker offers shows as that day.
  const CivilDateTime date = WallSecondsFromCivil(time) <= WallSecondsFromCivil(kLatestEventDate)
                                 ? time
                                 : CivilDateTime{kLatestEventDate.year, kLatestEventDate.month,
                                                 kLatestEventDate.day,  time.hour,
                                                 time.minute,           time.second};
  const SYSTEMTIME value = SystemTimeFromCivil(date);
  ::SendMessageW(Control(kDtpEventDate), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&value));
  ::SendMessageW(Control(kDtpEventTime), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&value));
}

// Setting a control in code raises no notification in Win32, so these run the
// handler themselves when the value really changes, as a user's click would.
void MainWindow::SelectDisplayOption(int index) {
  HWND option = Control(kOptDisplay0 + index);
  if (::SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    return;
  }
  for (int i = 0; i < kOptDisplayCount; ++i) {
    HWND other = Control(kOptDisplay0 + i);
    if (i != index && ::SendMessageW(other, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      ::SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
  ::SendMessageW(option, BM_SETCHECK, BST_CHECKED, 0);
  optDisplay_Click(index);
}

void MainWindow::SelectUpdatePosition(int position) {
  HWND list = Control(kCboUpdate);
  if (::SendMessageW(list, CB_GETCURSEL, 0, 0) == position) {
    return;
  }
  ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  cboUpdate_Click();
}

void MainWindow::SetOnlyUnitsBox(bool ticked) {
  HWND box = Control(kChkOnlyUnits);
  const bool current = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (current == ticked) {
    return;
  }
  ::SendMessageW(box, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  chkOnlyUnits_Click();
}

// A line already shown is left alone. While the user reads or copies the
// line, a rebuild keeps their selection and caret, and so the part of a long
// line they scrolled to.
void MainWindow::ShowStatusLine(const std::wstring& line) {
  HWND box = Control(kTxtTimeLeft);
  if (ControlText(kTxtTimeLeft) == line) {
    return;
  }
  const bool reading = ::GetFocus() == box;
  DWORD start = 0;
  DWORD end = 0;
  if (reading) {
    ::SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
  }
  ::SetWindowTextW(box, line.c_str());
  if (reading) {
    ::SendMessageW(box, EM_SETSEL, start, static_cast<LPARAM>(end));  // scrolls the caret into view
  }
}

}  // namespace daymarker
