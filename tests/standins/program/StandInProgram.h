#pragma once

// What the stand-in programs (office_standin.exe, translator_standin.exe)
// share: reading their command line, and registering themselves as the
// programs they stand in for register.

#include "RegistrarScript.h"

#include <string>
#include <vector>

// The program's arguments, program name first, as narrow text.
std::vector<std::string> CommandLineArguments();

// Runs the program's registrar script (resource 1, type "REGISTRY", with
// MODULE set to the program's path beside the given replacements) and
// registers its type library (TYPELIB 1), or removes both. 0 on success, else
// the failure's HRESULT.
int RunRegistration(RegistrarScript::Replacements replacements, bool install);
