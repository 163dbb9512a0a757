#pragma once
// True when standard error is a terminal, where the progress bar can redraw its line; false in a
// pipe or a file.
bool StandardErrorIsTerminal();
