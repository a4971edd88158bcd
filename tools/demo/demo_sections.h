#pragma once
// The demo's sections, one per subsystem; each prints what it shows to stdout.

namespace tav::demo {

// Prints a section heading.
void Heading(const char* title);

void PrinterLinkSection();
void SettingsSection();
void ShellSection();
void PortCoreSection();

}  // namespace tav::demo
