#pragma once

// The common half of every stand-in object: reference counting, the
// interfaces it answers for, and IDispatch over a table of named members.
// Each call is recorded in the journal, which may also fail it.

#include "Journal.h"

#include <ComPtr.h>
#include <Variant.h>

#include <oaidl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace standin {

// A member's handler reports failure by throwing this.
struct Failure {
    HRESULT result;
};

// Arguments as the caller passed them, first to last, with by-reference
// variants already followed.
class Arguments {
public:
    explicit Arguments(std::vector<VARIANT> values) : values_(std::move(values)) {}
    std::size_t Count() const { return values_.size(); }
    bool IsMissing(std::size_t index) const;
    const VARIANT& At(std::size_t index) const;  // VT_ERROR "missing" beyond the end
    long Number(std::size_t index) const;        // raises DISP_E_TYPEMISMATCH
    std::string Text(std::size_t index) const;   // raises DISP_E_TYPEMISMATCH
    std::vector<std::string> Formatted() const;

private:
    std::vector<VARIANT> values_;
};

std::string FormatVariant(const VARIANT& value);

class DispatchObject : public IDispatch {
public:
    // Stand-in objects alive in this process, all worlds together.
    static long LiveCount();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT* badArgument) override;

protected:
    using Getter = std::function<Variant(const Arguments&)>;
    using Setter = std::function<void(const Arguments&)>;  // the value is argument 0
    using Method = std::function<Variant(const Arguments&)>;

    DispatchObject(std::shared_ptr<Journal> journal, const char* kind, std::vector<IID> iids);
    virtual ~DispatchObject();

    // What distinguishes this object from others of its kind in the journal.
    virtual std::string Label() const { return std::string(); }

    // Members added from here on are declared by `declaringInterface` (an
    // interface this object's own derives from), which numbers them; at
    // first the object's own kind declares them.
    void DeclaredBy(std::string declaringInterface);
    void AddProperty(const char* name, Getter get, Setter set = nullptr);
    void AddMethod(const char* name, Method call);

    Journal& journal() const { return *journal_; }
    const std::shared_ptr<Journal>& sharedJournal() const { return journal_; }

private:
    struct Member {
        std::string name;
        DISPID id;
        Getter get;
        Setter set;
        Method call;
    };
    const Member* FindMember(DISPID id) const;
    const Member* FindMember(const std::string& name) const;

    std::atomic<ULONG> references_{1};
    std::shared_ptr<Journal> journal_;
    std::string kind_;
    std::string declaringInterface_;
    std::vector<IID> iids_;
    std::vector<Member> members_;
};

// Hands a new stand-in object to its first owner.
template <typename T, typename... Args>
ComPtr<IDispatch> MakeObject(Args&&... args)
{
    return ComPtr<IDispatch>(new T(std::forward<Args>(args)...));
}

// The IDispatch inside a VT_DISPATCH value.
Variant ObjectValue(ComPtr<IDispatch> object);

}  // namespace standin
