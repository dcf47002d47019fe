#pragma once

// "-D": switches off every add-in that is on in an installed host, then
// deletes the tuner's settings key. Shows nothing. False, with nothing done,
// while another process of the session applies (its caller may try again).
bool RemoveAllAddins();
