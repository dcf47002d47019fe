#pragma once

// What a run asked of Office, read from the stand-in's journal: the distinct
// (interface, member) pairs its calls used, each member counted under the
// interface that declares it. That is how often a client with a perfect
// DISPID cache has to ask GetIDsOfNames.

#include "Journal.h"

#include <set>
#include <string>

namespace bench {

// "Interface.Member" for every call of the journal, as Office's type
// libraries declare them.
std::set<std::string> DeclaredMembersCalled(const standin::Journal& journal);

}  // namespace bench
