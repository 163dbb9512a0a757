#pragma once
// The files of quorvel-cli: template files read for compare, and the output files of templates
// and images. Every call says what went wrong in a message that names the file.
#include <cstddef>
#include <string>

#include "commands/bulk_transfers.h"

// Reads a template file, which holds 1 to 512 bytes, into store. false with a message.
bool ReadTemplateFile(const std::string& path, TemplateStore* store, std::string* error);

// Checks, before anything is sent, that path can be written: a file that exists is not changed,
// one that does not is created and removed again. false with a message.
bool CheckOutputFile(const std::string& path, std::string* error);

// Writes count bytes to path, replacing what it held. false with a message.
bool WriteBytesFile(const std::string& path, const unsigned char* data, size_t count,
                    std::string* error);
