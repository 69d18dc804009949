#pragma once

#include <QString>
#include <exception>
#include <string>

// The error numbers that handlers test or meet.
namespace Err {
constexpr int FileNotFound = 53;
constexpr int DeviceIO = 57;
constexpr int DiskFull = 61;
constexpr int DeviceUnavailable = 68;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidPropertyValue = 380;
constexpr int InvalidPicture = 481;
} // namespace Err

// A failed platform operation, carrying its error number.
class PlatformError : public std::exception {
  public:
    explicit PlatformError(int number, QString detail = {});
    int number() const noexcept { return number_; }
    const QString& detail() const noexcept { return detail_; }
    const char* what() const noexcept override { return what_.c_str(); }

  private:
    int number_;
    QString detail_;
    std::string what_;
};

// Maps an errno value to the platform error number that fits it best.
int errorNumberFromErrno(int errnoValue);

// Throws the platform error that fits errnoValue.
[[noreturn]] void throwFromErrno(int errnoValue, const QString& detail = {});
