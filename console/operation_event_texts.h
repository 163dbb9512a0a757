#pragma once
// Which status text each operation event shows.
#include <cstddef>
#include <cstdint>

// Room for the longest text that carries a number: the identify prefix and five digits.
enum { OPERATION_TEXT_SIZE = 32 };

// The code page 936 text that an event with this code and value shows, or null when the event
// changes no text (the image event, and codes that are never posted). Texts that carry a number
// are written into buffer, which holds OPERATION_TEXT_SIZE bytes.
const char* OperationEventText(uint32_t code, uint32_t value, char* buffer);
