#pragma once

// Read-only questions the tuner asks the registry before it shows, changes or
// reports anything about a host. Every call reads the registry afresh; none
// fails: an unreadable key or value is an answer in itself.

#include "OfficeHost.h"

#include <string>
#include <vector>

// Belongs to the translator's installation, under HKEY_CLASSES_ROOT: one
// string per host code that hides the host when it is "1", and the default
// value, which forbids switching FrontPage when it is "1".
inline constexpr char kOfferingKey[] = "CLSID\\{ACFD160E-CA51-4CC7-9828-4FA7EEC1FF70}\\MiscStatus";

// One registry check of a version probe. A probe is a short list of them,
// made in order; the version counts as installed when every one holds, and
// the first that does not hold decides that it is not.
struct ProbeCheck {
    enum class Test {
        KeyOpens,        // the key opens for reading
        StringNotEmpty,  // the key opens and its value reads as a non-empty text
        ValueExists,     // the key opens and holds the value, of any type
    };
    Test test;
    HKEY root;
    std::string path;
    const char* value;  // null for KeyOpens
    REGSAM view;        // the registry view the key is read in (0: this program's own)
};

// The checks of a version probe, in the order they are made.
std::vector<ProbeCheck> VersionProbeChecks(const OfficeHost& host, OfficeVersion version);

// Whether one check holds now.
bool ProbeCheckHolds(const ProbeCheck& check);

// The version is installed and has been started by the current user.
bool IsHostVersionInstalled(const OfficeHost& host, OfficeVersion version);

// Any probed version is installed.
bool IsHostInstalled(const OfficeHost& host);

// The add-in record exists and holds a string "FileName".
bool IsAddinEnabled(const std::string& officeKey, const std::string& progId);

// The translator's installation offers the host (its offering value is not "1").
bool IsHostOffered(const std::string& hostCode);

// The installation lets FrontPage be switched at all.
bool IsFrontPageOffered();
