#pragma once

#include "ComPtr.h"

#include <objidl.h>

#include <string>
#include <vector>

// What Explorer hands a context-menu handler for a selection of real files
// (all in one folder): the shell's own data object, carrying CF_HDROP.
ComPtr<IDataObject> ShellSelection(const std::vector<std::string>& files);
ComPtr<IDataObject> ShellSelection(const std::vector<std::wstring>& files);

// A data object that carries the given drop list (possibly empty) as
// CF_HDROP, or, with offerDropList false, no drop list at all: ANSI paths, or
// wide ones (WideDropListDataObject) as Explorer hands them.
ComPtr<IDataObject> DropListDataObject(const std::vector<std::string>& files,
                                       bool offerDropList = true);
ComPtr<IDataObject> WideDropListDataObject(const std::vector<std::wstring>& files);
