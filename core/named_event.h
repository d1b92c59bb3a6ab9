#pragma once
// Process-wide events looked up by name ("TimeMode", "TimeFormat", ...).
// Firing passes two integers to every callback registered under the name.

#include <string>

using VNamedEventCallback = void (*)(void* user, int a, int b);

// Registers a callback under a name, creating the event when it is new.
void VNamedEventAdd(const std::string& name, VNamedEventCallback callback, void* user);
// Removes the first registration with the same callback and user; false if none.
bool VNamedEventRemove(const std::string& name, VNamedEventCallback callback, void* user);
// Calls every callback of the event in the order they were added. Firing a
// name that was never registered does nothing and answers false. Callbacks
// run without the table's lock held: they may register, remove or fire named
// events, also from threads they wait for. A callback added during a firing
// is called from the next firing on; one removed before its turn is skipped.
bool VNamedEventFire(const std::string& name, int a, int b);
