#pragma once

// The previous generation of add-ins must be off before ours are used. When
// one of them is still on, the user is asked; on yes the previous
// generation's own tuner switches all of its add-ins off. True when the user
// said no (and nothing is to be applied).
bool DeactivateOldVersion();
