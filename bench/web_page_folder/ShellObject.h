#pragma once

#include "ComPtr.h"
#include "UniqueHandle.h"
#include "tlvshell.h"

// tlvshell.dll as built (beside this program), loaded into this process the
// way COM loads an in-process server, and its web-page-folder objects made
// through its class object.
class ShellObject {
public:
    ShellObject();
    bool Ready() const { return static_cast<bool>(factory_); }

    // A new Talvo6WebPageFolder (which has read the files once); empty on
    // failure.
    ComPtr<ITalvo6WebPageFolder> NewFolder() const;

private:
    LibraryHandle module_;
    ComPtr<IClassFactory> factory_;
};

// Count, or -1 when the call fails.
long CountOf(ITalvo6WebPageFolder* folder);
