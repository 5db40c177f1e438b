#include "audio/load_error.h"

#include <atomic>

namespace feltrix {

namespace {
std::atomic<const char*> lastLoadError{"No error"};
}

void setLoadError(const char* text) { lastLoadError.store(text, std::memory_order_release); }

const char* loadErrorText() { return lastLoadError.load(std::memory_order_acquire); }

}  // namespace feltrix
