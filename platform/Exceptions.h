// The exception family that carries every failure of the program to the user. The message of an
// exception is exactly the text the user sees; the error report adds nothing but a final full stop
// (see ErrorReportText).
#pragma once

#include "platform/Texts.h"

#include <cstdint>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Ends a handler, and every handler that ran it, without a word.
class EAbort : public Exception {
public:
    EAbort() : Exception(Texts::OperationAborted) {}
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
    // Texts::InvalidInteger for the text.
    static EConvertError InvalidInteger(const std::string& text);
    // Texts::CannotAssign for the two classes; the source is "nil" when there is none.
    static EConvertError CannotAssign(const std::string& sourceClass,
                                      const std::string& targetClass);
};

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
    // Texts::UnknownExtension for the extension without its dot.
    static EInvalidGraphic UnknownExtension(const std::string& extension);
};

// A libjpeg failure. Code() is libjpeg's message code (42 empty input, 53 no start-of-image).
class EJPEG : public Exception {
public:
    explicit EJPEG(int code);
    EJPEG(int code, std::string message) : Exception(std::move(message)), code_(code) {}
    int Code() const noexcept { return code_; }

private:
    int code_;
};

class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EFOpenError : public EStreamError {
public:
    // Texts::CannotOpenFile for the path and the reason.
    EFOpenError(const std::string& path, const std::string& reason);
};

class EFCreateError : public EStreamError {
public:
    // Texts::CannotCreateFile for the path and the reason.
    EFCreateError(const std::string& path, const std::string& reason);
};

class EReadError : public EStreamError {
public:
    EReadError() : EStreamError(Texts::StreamReadError) {}
};

class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError(Texts::StreamWriteError) {}
};

class EInvalidOp : public Exception {
public:
    EInvalidOp() : Exception(Texts::InvalidFloatOperation) {}
};

class EZeroDivide : public Exception {
public:
    EZeroDivide() : Exception(Texts::FloatDivisionByZero) {}
};

class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception(Texts::OutOfMemory) {}
};

class EOutOfResources : public Exception {
public:
    EOutOfResources() : Exception(Texts::OutOfResources) {}
    using Exception::Exception;
};

// The system's description of an errno value, as the platform words it for the user.
std::string SystemErrorText(int errorNumber);

// The text the error report shows for a message: a "." is appended when the message is not empty
// and its last byte sorts after "." (so letters, digits, "/", ":" and every multi-byte character
// get one; ".", "!", ")", quotes, commas, hyphens and spaces do not).
std::string ErrorReportText(const std::string& message);
