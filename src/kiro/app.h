// Process start-up and shut-down: single instance, application directory, settings, the
// message loop and the start-up error report.
#pragma once

#include <string>

#include "kiro/exception.h"
#include "kiro/io/ini.h"

namespace kiro::app {

// Steps of start-up; false only for a second instance (after the "Already executed" box).
bool initialize(void* instance, const wchar_t* mutexName);
// The message loop; once a window's handler has let an exception escape, the loop ends and
// the exception is thrown from here.
void run();
void quit();
void finalize();
void caution(const std::wstring& text);

const std::wstring& directory();
std::wstring configString(const std::wstring& key, const std::wstring& def);
int configInt(const std::wstring& key, int def);
bool configBool(const std::wstring& key, bool def);
kiro::io::Ini::Section& stateSection(const std::wstring& group, const std::wstring& name);

// Writes the exception's text to "error.log" in the current directory.
void writeErrorLog(const std::exception& e);

// Reports an error from any thread without waiting for anything: while the message loop runs,
// a box with the caption is shown on the UI thread; otherwise (before or after the loop, and
// for reports the loop ended before showing) the text goes to "error.log" and the standard
// error stream.
void reportError(const std::string& text, const std::string& caption);

// The names derived from the program file's path: base is the path without the file name's
// extension (the settings files are base + ".config" and base + ".state"), directory the
// folder holding it, with its trailing separator. Both '\\' and '/' separate folders.
struct ProgramPaths {
    std::wstring base;
    std::wstring directory;
};
ProgramPaths programPaths(const std::wstring& modulePath);

}  // namespace kiro::app
