#pragma once

#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <QString>
#include <QTemporaryDir>

namespace anchorly::test {

// The program's settings over a hive file in a temporary folder of its own.
struct TempSettings {
    QTemporaryDir hiveFolder;
    registry::HiveRegistryApi api{hiveFolder.path().toStdString()};
    registry::Registry registry{api, {}};
    settings::Settings settings{registry};

    // Creates the key and stores the values given as "name=value" pairs, ";" between.
    void store(const QString& values)
    {
        settings.createKey();
        for (const QString& pair : values.split(';', Qt::SkipEmptyParts))
            settings.writePath(pair.section('=', 0, 0).toLatin1().constData(), pair.section('=', 1));
    }

    QString stored(const char* name) { return settings.readPath(name); }
};

} // namespace anchorly::test
