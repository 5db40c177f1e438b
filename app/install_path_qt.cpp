#include <QCoreApplication>
#include <QSettings>

#include "app/install_path.h"

namespace feltrix {

void recordInstallPath() {
    QSettings settings(QStringLiteral("Brosvane"), QStringLiteral("Feltrix"));
    settings.setValue(QStringLiteral("InstallPath"), QCoreApplication::applicationFilePath());
    settings.sync();
}

}  // namespace feltrix
