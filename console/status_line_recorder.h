#pragma once
// Native tree only: what the status line would show.
#include <string>

// The last text shown, in code page 936, and how many texts were shown in all.
std::string LastStatusText();
int StatusTextsShown();
