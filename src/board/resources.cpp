#include "board/resources.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void LoadResourceData(const char* name, void* buffer, size_t size) {
  for (const EmbeddedResource* block = EmbeddedResources; block->Name; ++block) {
    if (std::strcmp(block->Name, name) != 0) continue;
    if (block->Size < size) break;
    std::memcpy(buffer, block->Data, size);
    return;
  }
  std::fprintf(stderr, "Tavrin: resource %s is missing or shorter than %zu bytes\n", name, size);
  std::exit(1);
}
