#pragma once

// COM views onto stand-in Office state. Each call makes a new view object
// with one reference for the caller.

#include "DispatchObject.h"
#include "OfficeState.h"

namespace standin {

ComPtr<IDispatch> MakeApplication(std::shared_ptr<Journal> journal,
                                  std::shared_ptr<ApplicationState> application);

// An entry that a process which has gone left in the running-object table:
// it answers for IUnknown, and with `answer` when asked for an application.
ComPtr<IUnknown> MakeStaleEntry(HRESULT answer);

ComPtr<IDispatch> MakeCommandBars(std::shared_ptr<Journal> journal,
                                  std::shared_ptr<CommandBarsState> bars);

// A command bar; `owner` is the collection it can be deleted from (null for
// a popup's own bar).
ComPtr<IDispatch> MakeCommandBar(std::shared_ptr<Journal> journal,
                                 std::shared_ptr<CommandBarsState> owner,
                                 std::shared_ptr<CommandBarState> bar);

}  // namespace standin
