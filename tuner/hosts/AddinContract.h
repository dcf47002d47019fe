#pragma once

// What the tuner relies on about the Quillbar add-ins running inside Office
// and about the previous generation's tuner. These components are not ours;
// only the names, keys and numbers below are shared with them.

#include <windows.h>

namespace addin {

// ProgIDs of the add-ins, current generation.
inline constexpr char kWordProgId[]       = "Quillbar.QBWordAddin.2";
inline constexpr char kExcelProgId[]      = "Quillbar.QBExcelAddin.2";
inline constexpr char kPowerPointProgId[] = "Quillbar.QBPowerPointAddin.2";
inline constexpr char kFrontPageProgId[]  = "Quillbar.QBFrontPageAddin.2";
inline constexpr char kOutlookProgId[]    = "Quillbar.QBOutlookAddin.2";

// ProgIDs of the previous generation, asked only to switch it off.
inline constexpr char kPreviousWordProgId[]       = "Quillbar.QBWordAddin.1";
inline constexpr char kPreviousExcelProgId[]      = "Quillbar.QBExcelAddin.1";
inline constexpr char kPreviousPowerPointProgId[] = "Quillbar.QBPowerPointAddin.1";
inline constexpr char kPreviousFrontPageProgId[]  = "Quillbar.QBFrontPageAddin.1";
inline constexpr char kPreviousOutlookProgId[]    = "Quillbar.QBOutlookAddin.1";

// A host's add-in creates this semaphore, named with the prefix followed by
// the host's officeKey, with all counts free while it is idle. The tuner only
// ever opens it.
inline constexpr char kSemaphorePrefix[] = "Quillbar.Global.Semaphore.";
inline constexpr LONG kSemaphoreFullCount = 100;

// Word's add-in keeps its settings here (under HKEY_CURRENT_USER); the tuner
// sets the DWORD below to 1 in an existing key and never reads it.
inline constexpr char kWordSettingsKey[] = "SOFTWARE\\Talvoworks\\TLVO6\\QUILLBAR\\WordSettings";
inline constexpr char kWordSettingsIsRunning[] = "IsRunning";

// Word's add-ins list carries the add-in's template under a name containing this.
inline constexpr char kWordTemplateName[] = "tqbarsv6.dot";

// Help: the file lies in the folder of the Word add-in's in-process server.
inline constexpr char kHelpFileName[] = "quillbar.chm";
inline constexpr DWORD kHelpTopic = 2061;

// COM add-in collections: Connect = -1 loads an add-in, 0 unloads it.
inline constexpr short kConnected = -1;
inline constexpr short kDisconnected = 0;

// The previous generation's tuner: Count, and Enabled(index) = 0 switches
// that generation's add-in of the index off.
inline constexpr CLSID CLSID_PreviousTuner = {
    0xC99FF8A9, 0x6560, 0x4B6F, {0xB2, 0x59, 0xF7, 0x0B, 0xD1, 0x4A, 0xE2, 0x45}};
inline constexpr IID IID_PreviousTuner = {
    0x2BA9713A, 0x1413, 0x4D31, {0xBA, 0x67, 0x59, 0x26, 0xD1, 0xD5, 0x5D, 0x6E}};

}  // namespace addin
