#include "tools/acquire/edf_source.h"

#include <edflib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>

namespace eegsim {
namespace {

bool sameLabel(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string openErrorText(int code, const std::string& path) {
    switch (code) {
    case EDFLIB_NO_SUCH_FILE_OR_DIRECTORY: return "cannot open \"" + path + "\": no such file";
    case EDFLIB_FILE_CONTAINS_FORMAT_ERRORS:
        return "\"" + path + "\" is not an EDF, EDF+, BDF or BDF+ file (its header is not valid)";
    case EDFLIB_FILE_READ_ERROR:
        // libedf says so also for a readable file too short for a header.
        if (std::ifstream(path, std::ios::binary).good())
            return "\"" + path + "\" is not an EDF, EDF+, BDF or BDF+ file (too short for a header)";
        return "cannot read \"" + path + "\"";
    case EDFLIB_FILE_IS_DISCONTINUOUS:
        return "\"" + path + "\" is a discontinuous recording (EDF+D/BDF+D), which cannot be replayed";
    case EDFLIB_MAXFILES_REACHED: return "cannot open \"" + path + "\": too many open recordings";
    case EDFLIB_FILE_ALREADY_OPENED: return "\"" + path + "\" is already open";
    case EDFLIB_MALLOC_ERROR: return "out of memory while opening \"" + path + "\"";
    default: return "cannot open \"" + path + "\" as an EDF file (libedf error " + std::to_string(code) + ")";
    }
}

const char* fileTypeName(int type) {
    switch (type) {
    case EDFLIB_FILETYPE_EDF: return "EDF";
    case EDFLIB_FILETYPE_EDFPLUS: return "EDF+";
    case EDFLIB_FILETYPE_BDF: return "BDF";
    case EDFLIB_FILETYPE_BDFPLUS: return "BDF+";
    default: return "?";
    }
}

// Factor from a signal's physical dimension to microvolts; an unknown or
// empty dimension is taken as microvolts.
double toMicrovolts(const std::string& dimension) {
    if (dimension == "mV") return 1000.0;
    if (dimension == "V") return 1e6;
    if (dimension == "nV") return 1e-3;
    return 1.0;
}

}  // namespace

std::string trimLabel(const char* label) {
    std::string text(label);
    auto notBlank = [](unsigned char c) { return !std::isspace(c); };
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notBlank));
    text.erase(std::find_if(text.rbegin(), text.rend(), notBlank).base(), text.end());
    return text;
}

std::unique_ptr<EdfSource> EdfSource::open(const EdfChoice& choice, std::string& error) {
    // The header record is large (hundreds of signals); keep it off the stack.
    auto header = std::make_unique<edf_hdr_struct>();
    if (edfopen_file_readonly(choice.path.c_str(), header.get(), EDFLIB_DO_NOT_READ_ANNOTATIONS) != 0) {
        error = openErrorText(header->filetype, choice.path);
        return nullptr;
    }
    std::unique_ptr<EdfSource> source(new EdfSource());
    source->handle_ = header->handle;
    source->fileType_ = header->filetype;
    source->loop_ = choice.loop;

    const int signals = header->edfsignals;
    if (signals < 1) {
        error = "\"" + choice.path + "\" holds no signals";
        return nullptr;
    }
    std::string available;
    for (int i = 0; i < signals; ++i) {
        available += (i ? ", \"" : "\"") + trimLabel(header->signalparam[i].label) + "\"";
    }
    auto find = [&](const std::string& wanted, int fallback, int& signal) {
        if (wanted.empty()) {
            signal = fallback;
            return true;
        }
        for (int i = 0; i < signals; ++i) {
            if (sameLabel(trimLabel(header->signalparam[i].label), trimLabel(wanted.c_str()))) {
                signal = i;
                return true;
            }
        }
        error = "no channel labelled \"" + wanted + "\" in \"" + choice.path + "\"; its channels are " + available;
        return false;
    };
    if (!find(choice.leftLabel, 0, source->leftSignal_)) return nullptr;
    if (!find(choice.rightLabel, signals > 1 ? 1 : 0, source->rightSignal_)) return nullptr;
    source->leftLabel_ = trimLabel(header->signalparam[source->leftSignal_].label);
    source->rightLabel_ = trimLabel(header->signalparam[source->rightSignal_].label);

    const double recordSeconds = static_cast<double>(header->datarecord_duration) / EDFLIB_TIME_DIMENSION;
    const auto& left = header->signalparam[source->leftSignal_];
    const auto& right = header->signalparam[source->rightSignal_];
    if (left.smp_in_datarecord != right.smp_in_datarecord) {
        error = "channels \"" + source->leftLabel_ + "\" and \"" + source->rightLabel_ +
                "\" have different sample rates; choose two channels with the same rate";
        return nullptr;
    }
    if (recordSeconds <= 0.0 || left.smp_in_datarecord <= 0 || left.smp_in_file <= 0) {
        error = "\"" + choice.path + "\" holds no samples for channel \"" + source->leftLabel_ + "\"";
        return nullptr;
    }
    source->sampleRate_ = left.smp_in_datarecord / recordSeconds;
    source->leftScale_ = toMicrovolts(trimLabel(left.physdimension));
    source->rightScale_ = toMicrovolts(trimLabel(right.physdimension));
    source->samplesInFile_ = std::min(left.smp_in_file, right.smp_in_file);
    return source;
}

EdfSource::~EdfSource() {
    if (handle_ >= 0) edfclose_file(handle_);
}

std::string EdfSource::describe() const {
    char text[256];
    std::snprintf(text, sizeof text, "%s, left \"%s\", right \"%s\", %g Hz, %.1f s%s", fileTypeName(fileType_),
                  leftLabel_.c_str(), rightLabel_.c_str(), sampleRate_,
                  static_cast<double>(samplesInFile_) / sampleRate_, loop_ ? ", looping" : "");
    return text;
}

std::size_t EdfSource::readSide(int signal, double* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        long long position = edftell(handle_, signal);
        long long left = samplesInFile_ - position;
        if (left <= 0) {
            if (!loop_) break;
            edfrewind(handle_, signal);
            continue;
        }
        int want = static_cast<int>(std::min<long long>(left, static_cast<long long>(count - done)));
        int got = edfread_physical_samples(handle_, signal, want, out + done);
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void EdfSource::scale(double* samples, std::size_t count, double factor) {
    if (factor == 1.0) return;
    for (std::size_t i = 0; i < count; ++i) samples[i] *= factor;
}

std::size_t EdfSource::read(double* left, double* right, std::size_t count) {
    std::size_t gotLeft = readSide(leftSignal_, left, count);
    std::size_t gotRight = 0;
    if (leftSignal_ == rightSignal_) {
        std::copy(left, left + gotLeft, right);
        gotRight = gotLeft;
    } else {
        gotRight = readSide(rightSignal_, right, count);
    }
    scale(left, gotLeft, leftScale_);
    scale(right, gotRight, rightScale_);
    return std::min(gotLeft, gotRight);
}

}  // namespace eegsim
