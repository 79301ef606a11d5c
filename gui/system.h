#pragma once
// Modal services and system texts for the application: message boxes, requesters,
// opening a URL, the date and time texts. Thin wrappers around the system driver with
// the portable preparation done here.

#include <ctime>
#include <string>

namespace gui {

// Caption of every message box; the application sets it at start-up.
void SetAppTitle(const std::string& title);
std::string AppTitle();

void Notify(const std::string& text, int serious = 0);
int Confirm(const std::string& text, int serious = 0);
int Proceed(const std::string& text, int serious = 0);

// extensions: "txt,log" or "Text files:txt,log;Images:png". The chosen full path, or
// "" when cancelled.
std::string RequestFile(const std::string& title, const std::string& extensions, int save,
                        const std::string& initialPath);
std::string RequestDir(const std::string& title, const std::string& initialPath);

// A desktop notification captioned with the application title; never waits, never fails.
void PostNotification(const std::string& text);

// Opens a URL, a local file or directory with the system's default handler; 1 when the
// system took the request.
int OpenURL(const std::string& url);

// "07 Dec 2026" and "14:05:09", local time in the "C" locale whatever the process's.
std::string DateText();
std::string TimeText();
std::string DateText(std::time_t when);
std::string TimeText(std::time_t when);

void MoveMouse(int x, int y);
void ShowPointer();
void HidePointer();

}  // namespace gui
