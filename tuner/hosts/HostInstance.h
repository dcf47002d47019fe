#pragma once

// Reaching an Office application: a running instance from the running-object
// table, or a new one created by ProgID or CLSID. Both report by result code
// and never raise.

#include "Automation.h"

#include <objidl.h>

#include <functional>

// What the running-object table holds under one moniker: the object, or the
// failure of getting it (an entry whose program has gone, say). Return false
// to end the walk.
using RunningObjectVisitor =
    std::function<bool(IMoniker* moniker, HRESULT result, IUnknown* object)>;

// The object registered under the moniker, got on a thread of its own: an
// entry whose program no longer answers holds only that thread, which is
// left to end by itself. RPC_E_CALL_CANCELED when no answer came within
// `limitMs`; otherwise the table's own result.
HRESULT GetRunningObjectWithin(IMoniker* moniker, DWORD limitMs, ComPtr<IUnknown>& object);

// Shows every entry of the running-object table to visit, in the table's
// order, each object got within the outgoing-call bound (an entry that does
// not answer in time is shown with RPC_E_CALL_CANCELED). E_FAIL when the
// table cannot be read.
HRESULT VisitRunningObjects(const RunningObjectVisitor& visit);

// Hands `visit` every object of the running-object table that answers for
// iid, in the table's order, while it returns true. Entries that cannot be
// reached or do not answer are passed by, whatever the failure: a stale
// entry of a process that has gone, another program's object. False when the
// table cannot be walked at all. What `visit` raises ends the walk.
bool VisitRunningObjects(const IID& iid, const std::function<bool(AutomationObject)>& visit);

// The first object in the running-object table's order that answers for iid.
// E_FAIL and a null object when there is none.
HRESULT FindRunningObject(const IID& iid, AutomationObject& found);

// Creates an instance of the class named by text ("{...}" is a CLSID, anything
// else a ProgID) and asks it for iid. For a local or remote server the object
// is created as IUnknown and put into the running state first.
HRESULT CreateHostInstance(const char* progIdOrClsid, IUnknown* outer, DWORD context,
                           const IID& iid, AutomationObject& instance);
