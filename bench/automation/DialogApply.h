#pragma once

// One apply through the setup dialog, as a user makes it: every host's box
// clicked, then OK. The dialog runs on the calling thread (a single-threaded
// apartment) with the production installers; a second thread plays the user.

namespace bench {

// The registry (redirected by the caller) must show the hosts installed.
// The clipboard is emptied before OK, so no question interrupts the apply.
// Returns false when the dialog did not appear or did not close.
bool ApplyEveryHostThroughTheDialog();

}  // namespace bench
