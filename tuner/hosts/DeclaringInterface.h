#pragma once

// Which interface declares a member that an Office interface inherits. A
// DISPID belongs to the interface that declares the member: an interface
// derived from it answers an inherited member with the same DISPID, so one
// look-up serves the base and every interface derived from it. A member
// declared by the interface itself is known only through that interface.

#include <windows.h>

// The interface that declares `member` as seen through `iid`: a base
// interface of iid, or iid itself.
const IID& DeclaringInterface(const IID& iid, const char* member);
