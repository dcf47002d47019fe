#pragma once

#include <oaidl.h>

#include <string>

// Owns one VARIANT and clears it on every path. Constructors give the
// automation types the deliverables pass: VT_I2, VT_I4, VT_BOOL, VT_BSTR
// (converted from narrow ANSI text) and VT_DISPATCH (holding its own reference).
class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant other) noexcept;
    explicit Variant(const VARIANT& copied);

    static Variant I2(short value);
    static Variant I4(long value);
    static Variant Bool(VARIANT_BOOL value);
    // An empty (null) BSTR when the conversion fails; see IsNullString().
    static Variant Text(const std::string& narrow);
    static Variant Dispatch(IDispatch* object);

    const VARIANT& Get() const { return v_; }
    VARTYPE Type() const { return v_.vt; }
    bool IsNullString() const { return v_.vt == VT_BSTR && v_.bstrVal == nullptr; }

    // For out-parameters: clears what is held first.
    VARIANT* Put();

private:
    VARIANT v_;
};

// The process-wide "argument not given" value of automation calls: VT_ERROR
// holding DISP_E_PARAMNOTFOUND.
const VARIANT& Missing();

// The value as a 32-bit number (VT_I2, VT_BOOL, numeric text, ...); false
// when it cannot be read as one.
bool VariantToLong(const VARIANT& value, long& number);
