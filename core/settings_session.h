#pragma once
// The settings at start-up and shutdown of the engine.
//
// Start-up loads the tables from the configuration folder (what a damaged
// file holds is kept, the file is set aside), writes every start-up
// default with get-or-set default, sets the default time mode and format
// from "Time" and reads the keyboard layout ("Keyboard"/"Default").
// Shutdown writes the time settings and the keyboard layout back and saves
// every table.

#include <string>

class VSettingsStore;

// An empty folder keeps the tables in memory only. False when a file was
// damaged or unreadable; start-up goes on regardless.
bool VSettingsStartUp(VSettingsStore& store, const std::string& config_folder);
// False when something could not be written.
bool VSettingsShutDown(VSettingsStore& store, const std::string& config_folder);

// The chosen keyboard layout (initially "Velmoor").
std::string VSettingsKeyboardLayout();
void VSettingsSetKeyboardLayout(const std::string& layout);
