#pragma once

// "-D": switches off every add-in that is on in an installed host, then
// deletes the tuner's settings key. Shows nothing and reports nothing.
void RemoveAllAddins();
