#include "system/PlatformError.h"

#include <cerrno>
#include <cstring>

PlatformError::PlatformError(int number, QString detail)
    : number_(number), detail_(std::move(detail)),
      what_("error " + std::to_string(number) + (detail_.isEmpty() ? "" : ": ") +
            detail_.toStdString()) {}

int errorNumberFromErrno(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
        return Err::FileNotFound;
    case ENOTDIR:
        return Err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
        return Err::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
        return Err::DiskFull;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case ESTALE:
        return Err::DeviceUnavailable;
    case EIO:
        return Err::DeviceIO;
    default:
        return Err::PathFileAccess;
    }
}

void throwFromErrno(int errnoValue, const QString& detail) {
    QString text = QString::fromLocal8Bit(std::strerror(errnoValue));
    if (!detail.isEmpty()) text = detail + ": " + text;
    throw PlatformError(errorNumberFromErrno(errnoValue), text);
}
