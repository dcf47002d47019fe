#include "Variant.h"

#include "TextConversion.h"

#include <utility>

Variant::Variant(const Variant& other)
{
    VariantInit(&v_);
    VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));  // only read
}

Variant::Variant(Variant&& other) noexcept : v_(other.v_)
{
    VariantInit(&other.v_);
}

Variant& Variant::operator=(Variant other) noexcept
{
    std::swap(v_, other.v_);
    return *this;
}

Variant::Variant(const VARIANT& copied)
{
    VariantInit(&v_);
    VariantCopy(&v_, const_cast<VARIANT*>(&copied));  // only read
}

Variant Variant::I2(short value)
{
    Variant v;
    v.v_.vt = VT_I2;
    v.v_.iVal = value;
    return v;
}

Variant Variant::I4(long value)
{
    Variant v;
    v.v_.vt = VT_I4;
    v.v_.lVal = value;
    return v;
}

Variant Variant::Bool(VARIANT_BOOL value)
{
    Variant v;
    v.v_.vt = VT_BOOL;
    v.v_.boolVal = value;
    return v;
}

Variant Variant::Text(const std::string& narrow)
{
    const std::wstring wide = ToWide(narrow);
    Variant v;
    v.v_.vt = VT_BSTR;
    v.v_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return v;
}

Variant Variant::Dispatch(IDispatch* object)
{
    Variant v;
    v.v_.vt = VT_DISPATCH;
    v.v_.pdispVal = object;
    if (object)
        object->AddRef();
    return v;
}

VARIANT* Variant::Put()
{
    VariantClear(&v_);
    return &v_;
}

bool VariantToLong(const VARIANT& value, long& number)
{
    VARIANT converted;
    VariantInit(&converted);
    // The source is only read; some headers miss its const.
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_I4)))
        return false;
    number = converted.lVal;
    return true;
}

const VARIANT& Missing()
{
    static const VARIANT missing = [] {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_ERROR;
        v.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }();
    return missing;
}
