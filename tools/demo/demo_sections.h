#pragma once
// The demo's sections, one per subsystem; each prints what it shows to stdout.

#include <cstddef>

namespace tav::sim {
class SimPortWorld;
}

namespace tav::demo {

// Prints a section heading.
void Heading(const char* title);

void PrinterLinkSection();
void SettingsSection();
void ShellSection();
void PortCoreSection();
void TavprinterSection();

// Runs tavports with these arguments in the port link core's simulated world and prints
// what it prints.
void ShowTavports(tav::sim::SimPortWorld& world, const char* const* args, size_t count);

}  // namespace tav::demo
