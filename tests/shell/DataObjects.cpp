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
        // DROPFILES, then each path with its NUL, then one more NUL (ANSI).
        size_t size = sizeof(DROPFILES) + 1;
        for (const std::string& file : files_)
            size += file.size() + 1;
        HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        if (!global)
            return E_OUTOFMEMORY;
        auto* header = static_cast<DROPFILES*>(GlobalLock(global));
        header->pFiles = sizeof(DROPFILES);
        char* text = reinterpret_cast<char*>(header + 1);
        for (const std::string& file : files_) {
            std::memcpy(text, file.c_str(), file.size() + 1);
            text += file.size() + 1;
        }
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
    DropList(std::vector<std::string> files, bool offerDropList)
        : files_(std::move(files)), offerDropList_(offerDropList)
    {
    }

private:
    std::vector<std::string> files_;
    bool offerDropList_;
};
const InterfaceEntry<DropList> DropList::kInterfaces[] = {
    {&IID_IDataObject, &CastTo<DropList, IDataObject>},
    {nullptr, nullptr},
};

}  // namespace

ComPtr<IDataObject> ShellSelection(const std::vector<std::string>& files)
{
    ComPtr<IShellFolder> folder;
    std::vector<ItemIdList> items;
    std::vector<PCUITEMID_CHILD> children;
    for (const std::string& file : files) {
        PIDLIST_ABSOLUTE parsed = nullptr;
        if (FAILED(SHParseDisplayName(ToWide(file).c_str(), nullptr, &parsed, 0, nullptr)))
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
    return ComPtr<IDataObject>(new ComObject<DropList>(nullptr, files, offerDropList));
}
