#pragma once
namespace feltrix {

// Records the running executable's full path under the user's settings
// ("Brosvane"/"Feltrix", key "InstallPath"). Failures are ignored.
void recordInstallPath();

}  // namespace feltrix
