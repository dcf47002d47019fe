#pragma once

#include "ComObject.h"

#include <shlobj.h>

#include <string>

// Explorer's context-menu handler for files: for exactly one selected file
// with a translatable extension it adds a separator and "In TALVO
// übersetzen", and choosing that item hands the file to the translator. Each
// handler keeps its own selection, so Explorer windows that prepare menus at
// the same time never act on each other's file. Shows nothing to the user.
class ContextMenuHandler : public IShellExtInit, public IContextMenu {
public:
    static const InterfaceEntry<ContextMenuHandler> kInterfaces[];

    HRESULT FinishConstruction() { return S_OK; }

    // IShellExtInit: takes the selection from the data object's drop list.
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progIdKey) override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand,
                                  UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT* reserved, CHAR* buffer,
                                  UINT size) override;

protected:
    ContextMenuHandler() = default;
    virtual ~ContextMenuHandler() = default;

private:
    std::wstring selectedPath_;  // as the drop list names it; empty until a successful Initialize
};
