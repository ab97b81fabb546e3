// The one source of the program's version and application properties. The
// resource compiler reads the macros for the version record; C++ code uses
// the functions below, so every caption agrees with the record.
#pragma once

#define DAYMARKER_VERSION_MAJOR 1
#define DAYMARKER_VERSION_MINOR 3
#define DAYMARKER_VERSION_REVISION 0

#define DAYMARKER_TITLE "Daymarker"
#define DAYMARKER_COMPANY "Tolvane"
#define DAYMARKER_PRODUCT "Daymarker"
#define DAYMARKER_FILE_DESCRIPTION                                                         \
  "Daymarker simply counts down to a time and date you specify.  It will also sit in the " \
  "System Tray, reporting remaining time whenever you hover over it.  It can be "          \
  "configured to display the time in various different ways including Seconds ONLY."
#define DAYMARKER_COPYRIGHT "Copyright (C) 2026 Tolvane"
#define DAYMARKER_COMMENTS ""
#define DAYMARKER_WEBSITE "https://tolvane.example/"
#define DAYMARKER_EXE_NAME "daymarker.exe"

#ifndef RC_INVOKED

#include <string>
#include <string_view>

namespace daymarker {

#define DAYMARKER_WIDEN2(s) L##s
#define DAYMARKER_WIDEN(s) DAYMARKER_WIDEN2(s)

inline constexpr std::wstring_view kAppTitle = DAYMARKER_WIDEN(DAYMARKER_TITLE);
inline constexpr std::wstring_view kCompanyName = DAYMARKER_WIDEN(DAYMARKER_COMPANY);
inline constexpr std::wstring_view kProductName = DAYMARKER_WIDEN(DAYMARKER_PRODUCT);
inline constexpr std::wstring_view kFileDescription = DAYMARKER_WIDEN(DAYMARKER_FILE_DESCRIPTION);
inline constexpr std::wstring_view kCopyright = DAYMARKER_WIDEN(DAYMARKER_COPYRIGHT);
inline constexpr std::wstring_view kComments = DAYMARKER_WIDEN(DAYMARKER_COMMENTS);
inline constexpr std::wstring_view kWebsite = DAYMARKER_WIDEN(DAYMARKER_WEBSITE);

struct Version {
  int major;
  int minor;
  int revision;
};

inline constexpr Version kVersion = {DAYMARKER_VERSION_MAJOR, DAYMARKER_VERSION_MINOR,
                                     DAYMARKER_VERSION_REVISION};

// "1.03", or "1.03.0007" when the revision is above 0.
std::wstring VersionNumberText(Version version);

// The main window's title and the status line of a reached event: "Daymarker v1.03".
std::wstring VersionCaption(std::wstring_view title = kAppTitle, Version version = kVersion);

}  // namespace daymarker

#endif  // RC_INVOKED
