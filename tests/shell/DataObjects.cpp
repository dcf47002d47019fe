#include "DataObjects.h"

#include "CoTaskMemPtr.h"
#include "ComObject.h"
#include "TextConversion.h"

#include <shlobj.h>

#include <cstring>

namespace {

using ItemIdList = CoTaskMemPtr<ITEMIDLIST>;

class DropList : public IDataObject {
public:
    static const InterfaceEntry<DropList> kInterfaces[];

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!offerDropList_ || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        // DROPFILES, then the paths, each with its terminator, then one more.
        HGLOBAL global =
            GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + paths_.size());
        if (!global)
            return E_OUTOFMEMORY;
        auto* header = static_cast<DROPFILES*>(GlobalLock(global));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = wide_;
        std::memcpy(header + 1, paths_.data(), paths_.size());
        GlobalUnlock(global);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        return offerDropList_ && format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

protected:
    // paths: the list's bytes after its header, terminators included.
    DropList(std::string paths, bool wide, bool offerDropList)
        : paths_(std::move(paths)), wide_(wide), offerDropList_(offerDropList)
    {
    }

private:
    std::string paths_;
    BOOL wide_;
    bool offerDropList_;
};
const InterfaceEntry<DropList> DropList::kInterfaces[] = {
    {&IID_IDataObject, &CastTo<DropList, IDataObject>},
    {nullptr, nullptr},
};

}  // namespace

ComPtr<IDataObject> ShellSelection(const std::vector<std::string>& files)
{
    std::vector<std::wstring> wide;
    for (const std::string& file : files)
        wide.push_back(ToWide(file));
    return ShellSelection(wide);
}

ComPtr<IDataObject> ShellSelection(const std::vector<std::wstring>& files)
{
    ComPtr<IShellFolder> folder;
    std::vector<ItemIdList> items;
    std::vector<PCUITEMID_CHILD> children;
    for (const std::wstring& file : files) {
        PIDLIST_ABSOLUTE parsed = nullptr;
        if (FAILED(SHParseDisplayName(file.c_str(), nullptr, &parsed, 0, nullptr)))
            return ComPtr<IDataObject>();
        items.emplace_back(parsed);
        PCUITEMID_CHILD child = nullptr;
        if (FAILED(SHBindToParent(parsed, IID_IShellFolder, folder.PutVoid(), &child)))
            return ComPtr<IDataObject>();
        children.push_back(child);
    }
    ComPtr<IDataObject> data;
    if (folder)
        folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                              IID_IDataObject, nullptr, data.PutVoid());
    return data;
}

ComPtr<IDataObject> DropListDataObject(const std::vector<std::string>& files, bool offerDropList)
{
    std::string paths;
    for (const std::string& file : files)
        paths.append(file.c_str(), file.size() + 1);
    paths += '\0';
    return ComPtr<IDataObject>(new ComObject<DropList>(nullptr, paths, FALSE, offerDropList));
}

ComPtr<IDataObject> WideDropListDataObject(const std::vector<std::wstring>& files)
{
    std::wstring paths;
    for (const std::wstring& file : files)
        paths.append(file.c_str(), file.size() + 1);
    paths += L'\0';
    const std::string bytes(reinterpret_cast<const char*>(paths.data()),
                            paths.size() * sizeof(wchar_t));
    return ComPtr<IDataObject>(new ComObject<DropList>(nullptr, bytes, TRUE, true));
}
