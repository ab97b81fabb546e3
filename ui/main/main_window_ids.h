// Child-control identifiers of the main window.
#pragma once

namespace daymarker::main_ids {

enum : int {
  kFraEvent = 1001,
  kDtpEventDate,
  kDtpEventTime,
  kTxtEvent,
  kFraDisplay,
  kOptDisplay0,  // kOptDisplay0 + i is optDisplay(i), i = 0..5
  kChkOnlyUnits = kOptDisplay0 + 6,
  kFraTimeLeft,
  kTxtTimeLeft,
  kFraUpdate,
  kCboUpdate,
  // Hidden labels that name the controls without text of their own.
  kLblEventDate,
  kLblEventTime,
  kLblEventName,
  kLblTimeLeft,
  kLblUpdate,
};

inline constexpr int kOptDisplayCount = 6;
inline constexpr UINT_PTR kTimerId = 1;
inline constexpr UINT kTimerInterval = 1000;

}  // namespace daymarker::main_ids
