// The exports of Pelgrin32: attach, then index-based access to the shared
// area through the decoders. Nothing here throws or allocates.
#include <atomic>
#include <cstdint>

#include "interface_library/area_layout.h"
#include "interface_library/extended_index.h"
#include "interface_library/pelgrin32.h"
#include "interface_library/plain_index.h"
#include "interface_library/shared_area.h"

namespace {

// This process's current view; null while not attached. Earlier views stay
// mapped (their host block addresses may still be in use).
std::atomic<std::uint8_t*> attachedView{nullptr};

bool attached(pelgrin32::AreaView& view) {
    view.bytes = attachedView.load(std::memory_order_acquire);
    view.size = pelgrin32::kAreaSize;
    return view.bytes != nullptr;
}

void* attach() {
    std::uint8_t* view = pelgrin32::mapSharedArea();
    attachedView.store(view, std::memory_order_release);
    return view == nullptr ? nullptr : view + pelgrin32::kHostBlockOffset;
}

std::int32_t read(pelgrin32::AreaView view, std::int32_t index) {
    return pelgrin32::isPlainIndex(index) ? pelgrin32::readPlain(view, index) : pelgrin32::readExtended(view, index);
}

std::int32_t write(pelgrin32::AreaView view, std::int32_t index, std::int32_t value) {
    return pelgrin32::isPlainIndex(index) ? pelgrin32::writePlain(view, index, value)
                                          : pelgrin32::writeExtended(view, index, value);
}

}  // namespace

extern "C" {

int32_t nTuskExtDll = 0;

void* PELGRIN32_CALL Open(const char*) { return attach(); }
void* PELGRIN32_CALL OpenB(const void*) { return attach(); }
void* PELGRIN32_CALL OpenL(uint64_t) { return attach(); }
void* PELGRIN32_CALL OpenL16(uint64_t) { return attach(); }

int32_t PELGRIN32_CALL DllCFunc(int32_t index, int32_t value) {
    pelgrin32::AreaView view;
    if (!attached(view)) return -1;
    if (index >= 0) return read(view, index);
    // The negated index, wrapping as 32-bit arithmetic does for the lowest one.
    const auto target = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(index));
    return write(view, target, value);
}

int32_t PELGRIN32_CALL DllCF16(int32_t index, int32_t value) { return DllCFunc(index, value); }

int32_t PELGRIN32_CALL DllPeek(int32_t index) {
    pelgrin32::AreaView view;
    return attached(view) ? read(view, index) : 0;
}

int32_t PELGRIN32_CALL DllPoke(int32_t index, int32_t value) {
    pelgrin32::AreaView view;
    return attached(view) ? write(view, index, value) : 0;
}

int32_t PELGRIN32_CALL EDllPeek(int32_t index) {
    pelgrin32::AreaView view;
    return attached(view) ? pelgrin32::readExtended(view, index) : 0;
}

int32_t PELGRIN32_CALL EDllPoke(int32_t index, int32_t value) {
    pelgrin32::AreaView view;
    return attached(view) ? pelgrin32::writeExtended(view, index, value) : 0;
}

double PELGRIN32_CALL EDllDblPeek(int32_t index) {
    pelgrin32::AreaView view;
    return attached(view) ? pelgrin32::readExtendedReal(view, index) : 0.0;
}

int32_t PELGRIN32_CALL EDllDblPoke(int32_t index, double value) {
    pelgrin32::AreaView view;
    return attached(view) ? pelgrin32::writeExtendedReal(view, index, value) : 0;
}

int32_t PELGRIN32_CALL EDllCRead(int32_t, int32_t, int32_t) { return 0; }
// gcc wants an alias to carry its target's implicit nothrow; clang takes the
// attribute for a noexcept the declaration does not have.
#if defined(__clang__)
#define PELGRIN32_ALIAS_OF(target) __attribute__((alias(target)))
#else
#define PELGRIN32_ALIAS_OF(target) __attribute__((alias(target), nothrow))
#endif
int32_t PELGRIN32_CALL EDllCWrite(int32_t, int32_t, int32_t) PELGRIN32_ALIAS_OF(PELGRIN32_SYMBOL("EDllCRead", 12));

int32_t PELGRIN32_CALL fnTuskExtDll(void) { return 42; }

}  // extern "C"
