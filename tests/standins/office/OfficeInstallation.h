#pragma once

// What installing an Office application, and starting it once, leaves in the
// registry: the keys by which programs tell which hosts and versions a user
// has. Written to the process's HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and
// HKEY_CLASSES_ROOT (redirected or not, as the caller has them), the first
// and last in the 32-bit view, as Office's 32-bit installer writes them (the
// stand-in is built 32-bit only).

namespace standin {

// officeKey: "Word", "Excel", "PowerPoint", "FrontPage" or "Outlook";
// version: "9.0", "10.0" or "11.0" (FrontPage's "9.0" is FrontPage 2000).
void SimulateInstallation(const char* officeKey, const char* version);

}  // namespace standin
