#pragma once

// Making stand-in applications reachable the way the tuner reaches Office:
// through the running-object table, and by ProgID through COM's class lookup.

#include <ComPtr.h>

#include <objbase.h>

#include <functional>
#include <string>

namespace standin {

// An object registered in the running-object table under a moniker of its own
// for as long as this lives.
class RunningObject {
public:
    explicit RunningObject(IUnknown* object);
    ~RunningObject();
    RunningObject(const RunningObject&) = delete;
    RunningObject& operator=(const RunningObject&) = delete;
    HRESULT Result() const { return result_; }

private:
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};

// What a class object does when asked for an instance.
using InstanceMaker = std::function<HRESULT(REFIID iid, void** object)>;

// A class object that hands each CreateInstance to `make` (no aggregation).
ComPtr<IClassFactory> NewClassFactory(InstanceMaker make);

// A class object registered with COM for this process (as a local server, as
// Office registers its applications), plus ProgID -> CLSID keys in the
// registry; both removed when this is destroyed.
class CreatableClass {
public:
    CreatableClass(const std::string& progId, InstanceMaker make);
    ~CreatableClass();
    CreatableClass(const CreatableClass&) = delete;
    CreatableClass& operator=(const CreatableClass&) = delete;

    HRESULT Result() const { return result_; }
    const CLSID& Clsid() const { return clsid_; }
    std::string ClsidText() const;
    int Instances() const;  // how often an instance was asked for

private:
    std::string progId_;
    CLSID clsid_ = CLSID_NULL;
    ComPtr<IClassFactory> factory_;
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};

}  // namespace standin
