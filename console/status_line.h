#pragma once
// The dialog's status line (control 1009): every report replaces its whole text.

// Shows text, a fixed status text in code page 936 (status_texts.h), as the same characters on any
// system, whatever its ANSI code page.
void ShowStatus(const char* cp936Text);
