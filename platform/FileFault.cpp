#include "platform/FileFault.h"

QString DescribeFileFault(FileFault fault, long systemCode) {
    switch (fault) {
    case FileFault::None:
        return QString();
    case FileFault::NoAccess:
        return QStringLiteral("no hay permiso de acceso");
    case FileFault::ReadOnlyFile:
        return QStringLiteral("el archivo solo se puede leer");
    case FileFault::DiskFull:
        return QStringLiteral("no queda espacio en el disco");
    case FileFault::TooLarge:
        return QStringLiteral("el archivo supera el tamaño que admite el disco");
    case FileFault::ReadOnlyDisk:
        return QStringLiteral("el disco es de solo lectura");
    case FileFault::NotFound:
        return QStringLiteral("el archivo no existe");
    case FileFault::DiskError:
        return QStringLiteral("error de lectura o escritura en el disco");
    case FileFault::InUse:
        return QStringLiteral("el archivo está en uso");
    case FileFault::Other:
        break;
    }
    return QStringLiteral("error del sistema %1").arg(systemCode);
}
