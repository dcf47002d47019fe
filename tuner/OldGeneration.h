#pragma once

// The previous generation of add-ins must be off before ours are used. When
// one of them is still on, the user is asked; on yes the previous
// generation's own tuner switches all of its add-ins off.

enum class OldVersion {
    NotActive,  // none of its add-ins is on: nothing to ask
    Refused,    // the user keeps it (and nothing is to be applied)
    Agreed,     // the user lets it be switched off
};

// Asks, in a message box without owner, when one of its add-ins is on.
OldVersion AskAboutOldVersion();

// Its tuner switches off every add-in it counts. A tuner that cannot be
// created, or a failing call, ends this step silently.
void DeactivateOldVersion();
