#pragma once
// The raw data blocks linked into the executable (hash keys R11, piece-square table R16).

#include <cstddef>

struct EmbeddedResource {
  const char* Name;
  const unsigned char* Data;
  size_t Size;
};

// Ends with an entry whose Name is nullptr.
extern const EmbeddedResource EmbeddedResources[];

// Copies the block of that name, (its first size bytes) into buffer.
// A missing or short block stops start-up: one line on stderr and exit code 1.
void LoadResourceData(const char* name, void* buffer, size_t size);
