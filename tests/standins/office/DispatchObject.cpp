#include "DispatchObject.h"

#include <TextConversion.h>

#include <algorithm>
#include <cwchar>

namespace standin {

namespace {

std::atomic<long> liveObjects{0};

// A DISPID is the interface's that declares the member, as in Office's type
// libraries: a member has one number in its declaring interface and in
// every interface derived from it, and members of the same name in other
// interfaces have other numbers (a client that shares a DISPID between
// interfaces where Office does not calls the wrong member, or none). The
// numbering is fixed for every process that hosts stand-in objects. Append
// only.
const char* const kMemberNames[] = {
    "Activate", "ActiveExplorer", "ActiveMenuBar", "ActiveWindow", "Add", "AddIns",
    "BeginGroup", "Caption", "Close", "COMAddIns", "CommandBar", "CommandBars", "Connect",
    "Controls", "Count", "Delete", "DescriptionText", "DisplayAlerts", "Documents",
    "DropDownWidth", "Explorers", "FindControl", "GetDefaultFolder", "GetNamespace", "Item",
    "Name", "PasteFace", "Position", "ProgId", "Protection", "Quit", "Saved", "State", "Tag",
    "Type", "Update", "Version", "Visible", "Width",
};

constexpr DISPID kMembersPerInterface = 100;
static_assert(std::size(kMemberNames) < kMembersPerInterface, "numbers would overlap");

// Each declaring interface gets its own block of numbers, from its name.
DISPID InterfaceBlock(const std::string& declaringInterface)
{
    unsigned long hash = 2166136261ul;  // FNV-1a
    for (const char c : declaringInterface)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619ul;
    return static_cast<DISPID>(hash % 10000 + 1) * kMembersPerInterface;
}

DISPID DispatchIdOf(const std::string& declaringInterface, const std::string& name)
{
    for (std::size_t i = 0; i < std::size(kMemberNames); ++i)
        if (lstrcmpiA(kMemberNames[i], name.c_str()) == 0)
            return InterfaceBlock(declaringInterface) + static_cast<DISPID>(i + 1);
    return DISPID_UNKNOWN;
}

}  // namespace

bool Arguments::IsMissing(std::size_t index) const
{
    const VARIANT& v = At(index);
    return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

const VARIANT& Arguments::At(std::size_t index) const
{
    return index < values_.size() ? values_[index] : Missing();
}

long Arguments::Number(std::size_t index) const
{
    long number = 0;
    if (!VariantToLong(At(index), number))
        throw Failure{DISP_E_TYPEMISMATCH};
    return number;
}

std::string Arguments::Text(std::size_t index) const
{
    const VARIANT& v = At(index);
    if (v.vt != VT_BSTR)
        throw Failure{DISP_E_TYPEMISMATCH};
    return ToNarrow(v.bstrVal);
}

std::vector<std::string> Arguments::Formatted() const
{
    std::vector<std::string> formatted;
    for (const VARIANT& v : values_)
        formatted.push_back(FormatVariant(v));
    return formatted;
}

std::string FormatVariant(const VARIANT& v)
{
    switch (v.vt) {
    case VT_BSTR:
        return "\"" + ToNarrow(v.bstrVal) + "\"";
    case VT_I2:
        return std::to_string(v.iVal) + ":I2";
    case VT_I4:
        return std::to_string(v.lVal) + ":I4";
    case VT_BOOL:
        return std::to_string(v.boolVal) + ":BOOL";
    case VT_ERROR:
        return v.scode == DISP_E_PARAMNOTFOUND ? "missing" : "error";
    case VT_DISPATCH:
        return v.pdispVal ? "<object>" : "<nothing>";
    case VT_EMPTY:
        return "empty";
    default:
        return "vt" + std::to_string(v.vt);
    }
}

Variant ObjectValue(ComPtr<IDispatch> object)
{
    return Variant::Dispatch(object.Get());
}

long DispatchObject::LiveCount()
{
    return liveObjects.load();
}

DispatchObject::DispatchObject(std::shared_ptr<Journal> journal, const char* kind,
                               std::vector<IID> iids)
    : journal_(std::move(journal)), kind_(kind), declaringInterface_(kind), iids_(std::move(iids))
{
    ++liveObjects;
}

DispatchObject::~DispatchObject()
{
    --liveObjects;
}

void DispatchObject::DeclaredBy(std::string declaringInterface)
{
    declaringInterface_ = std::move(declaringInterface);
}

void DispatchObject::AddProperty(const char* name, Getter get, Setter set)
{
    members_.push_back({name, DispatchIdOf(declaringInterface_, name), std::move(get),
                        std::move(set), nullptr});
}

void DispatchObject::AddMethod(const char* name, Method call)
{
    members_.push_back({name, DispatchIdOf(declaringInterface_, name), nullptr, nullptr,
                        std::move(call)});
}

const DispatchObject::Member* DispatchObject::FindMember(DISPID id) const
{
    for (const Member& member : members_)
        if (member.id == id)
            return &member;
    return nullptr;
}

const DispatchObject::Member* DispatchObject::FindMember(const std::string& name) const
{
    for (const Member& member : members_)
        if (lstrcmpiA(member.name.c_str(), name.c_str()) == 0)
            return &member;
    return nullptr;
}

HRESULT STDMETHODCALLTYPE DispatchObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch ||
        std::find(iids_.begin(), iids_.end(), iid) != iids_.end()) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DispatchObject::AddRef()
{
    return ++references_;
}

ULONG STDMETHODCALLTYPE DispatchObject::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count,
                                                        LCID, DISPID* ids)
{
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    const std::string name = ToNarrow(names[0]);
    journal_->RecordIdLookup(kind_, name);
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    const Member* member = FindMember(name);
    if (member && member->id != DISPID_UNKNOWN)
        ids[0] = member->id;
    else
        result = DISP_E_UNKNOWNNAME;
    if (count > 1)
        result = DISP_E_UNKNOWNNAME;  // no named arguments here
    return result;
}

HRESULT STDMETHODCALLTYPE DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags,
                                                 DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                                 UINT*)
{
    const Member* member = FindMember(id);
    if (!member)
        return DISP_E_MEMBERNOTFOUND;
    if (!params)
        return E_INVALIDARG;

    // Positional arguments arrive last to first; a property put's value
    // comes as the one named argument.
    std::vector<VARIANT> values;
    for (UINT i = params->cArgs; i > 0; --i) {
        VARIANT v = params->rgvarg[i - 1];
        if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal)
            v = *v.pvarVal;
        values.push_back(v);
    }
    const Arguments arguments(std::move(values));

    CallKind kind;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
        kind = CallKind::Put;
    else if (member->call)
        kind = CallKind::Method;
    else
        kind = CallKind::Get;
    if ((kind == CallKind::Put && !member->set) || (kind == CallKind::Get && !member->get) ||
        (kind == CallKind::Method && !(flags & DISPATCH_METHOD)))
        return DISP_E_MEMBERNOTFOUND;

    CallRecord record{kind_, Label(), member->name, kind, arguments.Formatted(), S_OK};
    const HRESULT injected = journal_->Record(std::move(record));
    if (FAILED(injected))
        return injected;

    try {
        Variant value;
        switch (kind) {
        case CallKind::Put: member->set(arguments); break;
        case CallKind::Get: value = member->get(arguments); break;
        case CallKind::Method: value = member->call(arguments); break;
        }
        if (result) {
            VariantInit(result);
            VariantCopy(result, const_cast<VARIANT*>(&value.Get()));
        }
        return S_OK;
    } catch (const Failure& failure) {
        journal_->MarkLastFailed(failure.result);
        return failure.result;
    }
}

}  // namespace standin
