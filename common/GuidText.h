#pragma once

#include <guiddef.h>

#include <string>

// The registry form of a GUID: "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
std::string GuidText(const GUID& guid);
