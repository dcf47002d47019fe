#pragma once

// A C++ client of a tuner-shaped server (QuillbarTuner or the bare server):
// the members both interfaces share, called through the dual interface's own
// table, as a compiled client calls them.

#include <objbase.h>

#include "BenchRow.h"
#include "Bstr.h"
#include "ComPtr.h"

enum class TunerMember { Count, Name, Enabled };

inline const char* MemberName(TunerMember member)
{
    switch (member) {
    case TunerMember::Count:
        return "Count";
    case TunerMember::Name:
        return "Name";
    case TunerMember::Enabled:
        return "Enabled";
    }
    return "?";
}

// One call of the member (indexed ones at index), true when it succeeded.
template <typename Tuner>
bool CallMember(Tuner* tuner, TunerMember member, long index)
{
    switch (member) {
    case TunerMember::Count: {
        long count = 0;
        return SUCCEEDED(tuner->get_Count(&count));
    }
    case TunerMember::Name: {
        Bstr name;
        return SUCCEEDED(tuner->get_Name(index, name.Put())) && name;
    }
    case TunerMember::Enabled: {
        long enabled = 0;
        return SUCCEEDED(tuner->get_Enabled(index, &enabled));
    }
    }
    return false;
}

// `calls` calls of the member, indexed ones walking the host list; the
// number that failed.
template <typename Tuner>
int CallRepeatedly(Tuner* tuner, TunerMember member, int calls, long hosts)
{
    int failed = 0;
    for (int i = 0; i < calls; ++i)
        failed += CallMember(tuner, member, i % hosts) ? 0 : 1;
    return failed;
}

// A new object of the class in a local server, through its dual interface.
template <typename Tuner>
ComPtr<Tuner> CreateTuner(REFCLSID clsid, REFIID iid)
{
    ComPtr<Tuner> tuner;
    CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, iid, tuner.PutVoid());
    return tuner;
}

// Cold activation: milliseconds from CoCreateInstance to the first Count
// answered, with no server of the class running before; negative when
// either step failed. The object is released before this returns.
template <typename Tuner>
double ColdActivationMs(REFCLSID clsid, REFIID iid)
{
    const double start = bench::NowMs();
    const ComPtr<Tuner> tuner = CreateTuner<Tuner>(clsid, iid);
    long count = 0;
    if (!tuner || FAILED(tuner->get_Count(&count)))
        return -1;
    return bench::NowMs() - start;
}
