#pragma once
// The texts tryLoadQuenterra raises, which name the platform's library file
// and, for a failed attach, what to check on that platform. One platform file
// defines them (binding_texts_posix.cpp or binding_texts_win32.cpp).
namespace feltrix {

struct BindingTexts {
    const char* loadFailed;
    const char* dllCFuncMissing;
    const char* openMissing;
    const char* openFailed;
};

extern const BindingTexts kBindingTexts;

}  // namespace feltrix
