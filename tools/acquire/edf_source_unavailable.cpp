// EdfSource in a build without edflib: every recording is refused with a
// message that says why, so the other sources still work.
#include "tools/acquire/edf_source.h"

namespace eegsim {

std::unique_ptr<EdfSource> EdfSource::open(const EdfChoice& choice, std::string& error) {
    error = "cannot read \"" + choice.path + "\": this build of feltrix-acquire has no EDF/BDF support";
    return nullptr;
}

EdfSource::~EdfSource() = default;

std::string EdfSource::describe() const { return std::string(); }

std::size_t EdfSource::read(double*, double*, std::size_t) { return 0; }

}  // namespace eegsim
