#pragma once
// The fuzz targets: each takes one input, runs the code under test on it and stops the process
// (abort) when a rule is broken. The libFuzzer entry (libfuzzer_entry.cpp) and the corpus replay
// of the native tests call the same functions.
#include <cstddef>
#include <cstdint>

// ParseFrame on the input as a received frame.
void FuzzParseFrame(const uint8_t* data, size_t size);
// ReceiveFrameBody on the input as the incoming byte stream (after a short header of settings).
void FuzzReceiveFrameBody(const uint8_t* data, size_t size);
// ReadFeatures and ReadImage on the reply frames that the input describes (transfer_script.h).
void FuzzReadFeatures(const uint8_t* data, size_t size);
void FuzzReadImage(const uint8_t* data, size_t size);
