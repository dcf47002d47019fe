#pragma once

// Read-only questions the tuner asks the registry before it shows, changes or
// reports anything about a host. Every call reads the registry afresh; none
// fails: an unreadable key or value is an answer in itself.

#include "OfficeHost.h"

#include <string>

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
