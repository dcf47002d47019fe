#pragma once

// What a self-registering COM server does with its own file: run the
// registrar scripts it keeps as "REGISTRY" resources, and register the type
// library it carries as its "TYPELIB" resource 1 (or beside it, as .tlb).

#include "ComPtr.h"
#include "RegistrarScript.h"

#include <oaidl.h>

#include <string>

// Parses the module's "REGISTRY" resource `id` with the replacements.
HRESULT LoadRegistrarScript(HMODULE module, UINT id,
                            const RegistrarScript::Replacements& replacements,
                            RegistrarScript& script);

// The module's type library: the TYPELIB resource 1 of its file, else the
// file beside it with the extension ".tlb".
HRESULT LoadModuleTypeLibrary(const std::string& modulePath, ComPtr<ITypeLib>& library);

// Registers that type library for the module's path, with the module's
// folder as help folder.
HRESULT RegisterModuleTypeLibrary(const std::string& modulePath);

// Unregisters it by the id, version, locale and platform read from it.
HRESULT UnregisterModuleTypeLibrary(const std::string& modulePath);

// The full path of a loaded module.
std::string ModulePath(HMODULE module);
