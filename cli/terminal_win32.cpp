#include <io.h>
#include <stdio.h>

#include "cli/terminal.h"

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}
