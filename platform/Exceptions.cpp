#include "platform/Exceptions.h"

#include "platform/Format.h"

#include <cstring>

EConvertError EConvertError::InvalidInteger(const std::string& text) {
    return EConvertError(Format(Texts::InvalidInteger, text.c_str()));
}

EConvertError EConvertError::CannotAssign(const std::string& sourceClass,
                                          const std::string& targetClass) {
    return EConvertError(Format(Texts::CannotAssign, sourceClass.c_str(), targetClass.c_str()));
}

EInvalidGraphic EInvalidGraphic::UnknownExtension(const std::string& extension) {
    return EInvalidGraphic(Format(Texts::UnknownExtension, extension.c_str()));
}

EJPEG::EJPEG(int code) : Exception(Format(Texts::JpegError, code)), code_(code) {}

EFOpenError::EFOpenError(const std::string& path, const std::string& reason)
    : EStreamError(Format(Texts::CannotOpenFile, path.c_str(), reason.c_str())) {}

EFCreateError::EFCreateError(const std::string& path, const std::string& reason)
    : EStreamError(Format(Texts::CannotCreateFile, path.c_str(), reason.c_str())) {}

std::string SystemErrorText(int errorNumber) {
    char buffer[256];
    // The GNU strerror_r may return a static string instead of filling the buffer.
    return strerror_r(errorNumber, buffer, sizeof buffer);
}

std::string ErrorReportText(const std::string& message) {
    // The last character's first byte decides; every byte of a multi-byte UTF-8 character is
    // 0x80 or above, so looking at the last byte gives the same answer.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}
