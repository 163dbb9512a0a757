#pragma once
// The benchmark's measurements, each against the simulated module on a pseudo-terminal; each adds
// its rows to the table.
#include <string>

#include "bench/result_table.h"

namespace bench {

// ReadImage with the module pacing its bytes at 57,600 and 115,200 baud, against the line's
// limit; and the host's CPU time per transfer.
void MeasurePacedImageTransfers(ResultTable& table);
// ReadFeatures and WriteFeatures of 512 bytes at both rates.
void MeasureTemplateTransfers(ResultTable& table);
// ReceiveFrameBody on a silent line: how far past its limit it returns, and the CPU it uses.
void MeasureSilentReceives(ResultTable& table);
// ReadImage with no pacing: the host's own per-byte cost. The Windows backend's figures come
// from a file that the Windows program wrote under wine, or are missing.
void MeasureUnpacedImageTransfers(ResultTable& table, const std::string& windowsResultPath);
// From the module's last reply of each flow to the flow's final event.
void MeasureOperationLatency(ResultTable& table);

}  // namespace bench
