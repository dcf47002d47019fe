#include "ContextMenuHandler.h"

#include "ComCall.h"
#include "ShellModule.h"
#include "TranslatableFile.h"
#include "TranslatorLaunch.h"
#include "resource.h"

#include <shellapi.h>

#include <vector>

const InterfaceEntry<ContextMenuHandler> ContextMenuHandler::kInterfaces[] = {
    {&IID_IShellExtInit, &CastTo<ContextMenuHandler, IShellExtInit>},
    {&IID_IContextMenu, &CastTo<ContextMenuHandler, IContextMenu>},
    {nullptr, nullptr},
};

namespace {

// Owns the storage medium a data object handed out.
class StorageMedium {
public:
    StorageMedium() = default;
    ~StorageMedium() { ReleaseStgMedium(&medium_); }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;

    STGMEDIUM* Put() { return &medium_; }
    HGLOBAL Global() const { return medium_.hGlobal; }

private:
    STGMEDIUM medium_ = {};
};

// The single file of a drop list, as Windows names it (UTF-16, so that every
// name Windows allows arrives unchanged); empty when the list holds none or
// several, or when the path does not come whole.
std::wstring SingleDroppedFile(HDROP drop)
{
    if (!drop || DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) != 1)
        return std::wstring();
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    if (length == 0)
        return std::wstring();
    std::vector<wchar_t> path(static_cast<size_t>(length) + 1);
    const UINT copied = DragQueryFileW(drop, 0, path.data(), length + 1);
    // A cut path would name another file: none rather than that.
    if (copied != length)
        return std::wstring();
    return std::wstring(path.data(), copied);
}

// Why a menu call failed; not every failure sets a last error.
HRESULT MenuFailure()
{
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace

STDMETHODIMP ContextMenuHandler::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY)
{
    return GuardComCall([&]() -> HRESULT {
        selectedPath_.clear();
        if (!data)
            return E_FAIL;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        StorageMedium medium;
        if (FAILED(data->GetData(&format, medium.Put())))
            return E_FAIL;

        const std::wstring path = SingleDroppedFile(static_cast<HDROP>(medium.Global()));
        if (path.empty() || !HasTranslatableExtension(path))
            return E_FAIL;
        selectedPath_ = path;
        return S_OK;
    });
}

STDMETHODIMP ContextMenuHandler::QueryContextMenu(HMENU menu, UINT index, UINT firstCommand,
                                                  UINT, UINT flags)
{
    const bool wanted =
        (flags & 0xF) == CMF_NORMAL || (flags & CMF_VERBSONLY) || (flags & CMF_EXPLORE);
    if (!wanted)
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);

    return GuardComCall([&]() -> HRESULT {
        const std::string text = ShellModule::LoadText(IDS_MENU_ITEM);
        if (!InsertMenuA(menu, index, MF_SEPARATOR | MF_BYPOSITION, 0, nullptr))
            return MenuFailure();
        if (!InsertMenuA(menu, index + 1, MF_BYPOSITION | MF_STRING, firstCommand, text.c_str())) {
            const HRESULT hr = MenuFailure();
            DeleteMenu(menu, index, MF_BYPOSITION);
            return hr;
        }
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 1);  // one command id used
    });
}

STDMETHODIMP ContextMenuHandler::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    if (!info || !IS_INTRESOURCE(info->lpVerb) || LOWORD(info->lpVerb) != 0)
        return E_INVALIDARG;
    if (selectedPath_.empty())
        return E_FAIL;
    return GuardComCall([&] { return LaunchTranslator(selectedPath_); });
}

STDMETHODIMP ContextMenuHandler::GetCommandString(UINT_PTR command, UINT type, UINT*,
                                                  CHAR* buffer, UINT size)
{
    if ((type != GCS_HELPTEXTA && type != GCS_HELPTEXTW) || command != 0)
        return S_OK;
    if (!buffer)
        return E_POINTER;
    if (size == 0)
        return S_OK;

    return GuardComCall([&] {
        const std::string help = ShellModule::LoadText(IDS_MENU_HELP);
        if (type == GCS_HELPTEXTA) {
            lstrcpynA(buffer, help.c_str(), static_cast<int>(size));
            return S_OK;
        }
        // The wide text whole, or nothing when it does not fit.
        wchar_t* wide = reinterpret_cast<wchar_t*>(buffer);
        if (MultiByteToWideChar(CP_ACP, 0, help.c_str(), -1, wide, static_cast<int>(size)) == 0)
            wide[0] = L'\0';
        return S_OK;
    });
}
