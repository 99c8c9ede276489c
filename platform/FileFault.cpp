#include "platform/FileFault.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>

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

QString DescribeFileError(const QFileDevice &file) {
    const QFileInfo info(file.fileName());
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return DescribeFileFault(FileFault::DiskFull);
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
    case QFileDevice::WriteError:
    case QFileDevice::NoError: // a write that came up short without an error: the disk is full
        if (!QFileInfo(info.absolutePath()).isWritable())
            return QStringLiteral("la carpeta %1 no admite escritura (es de solo lectura o falta permiso)")
                .arg(QDir::toNativeSeparators(info.absolutePath()));
        if (file.error() == QFileDevice::OpenError)
            return info.exists() ? DescribeFileFault(FileFault::NoAccess) : DescribeFileFault(FileFault::NotFound);
        if (file.error() == QFileDevice::PermissionsError)
            return DescribeFileFault(FileFault::NoAccess);
        // Unbuffered writes past a full disk or a size limit come back short.
        return QStringLiteral("no se ha podido escribir en el disco (puede que esté lleno o que el archivo supere "
                              "el tamaño que admite)");
    case QFileDevice::ReadError:
        return DescribeFileFault(FileFault::DiskError);
    default:
        return QStringLiteral("error de archivo %1").arg(int(file.error()));
    }
}
