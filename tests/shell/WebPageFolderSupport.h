#pragma once

#include "ComPtr.h"
#include "Patience.h"

#include "tlvshell.h"

#include <windows.h>

#include <string>

// Reading the web-page folder's members as narrow text; each failing call
// fails the running test.
long CountOf(ITalvo6WebPageFolder* folder);
std::string TagOf(ITalvo6WebPageFolder* folder, long item, const wchar_t* name);
std::string PathOf(ITalvo6WebPageFolder* folder);
long FileExistsOf(ITalvo6WebPageFolder* folder, const std::string& name);
long FileExistsOf(ITalvo6WebPageFolder* folder, const std::wstring& name);

// A ".sci" file's text with the section the web-page folder reads.
std::string SciFile(const std::string& lines);

// Waits until a file exists and has content; its content, or "" after the
// time-out.
std::string WaitForFile(const std::string& path, DWORD timeoutMs = kPatienceMs);

// The recording program copied to a place of the test's choosing.
void PlaceRecordingProgram(const std::string& path);

// The caption of the library's message boxes.
extern const char kMessageCaption[];
extern const char kProgramNotFound[];
