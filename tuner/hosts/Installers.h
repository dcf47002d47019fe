#pragma once

// One installer per host. Each switches its host's add-in on (enable true)
// or off: the add-in record, the host's command bars where it has ours, and
// the add-in's connection in a reachable instance. The result tells whether
// the host could be worked on; no caller needs it. Nothing here raises or
// shows anything.

int InstallWordAddin(bool enable) noexcept;
int InstallExcelAddin(bool enable) noexcept;
int InstallPowerPointAddin(bool enable) noexcept;
int InstallFrontPageAddin(bool enable) noexcept;
int InstallOutlookAddin(bool enable) noexcept;
