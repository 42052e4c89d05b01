// Errors of the automation runtime: a number, a source and a description, as the error
// frames of the add-in catch them. Standard numbers carry the runtime's own descriptions.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "automation/text.h"

namespace vantrel::automation {

namespace errc {
inline constexpr std::int32_t InvalidProcedureCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t DivisionByZero = 11;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t BadFileNameOrNumber = 52;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t InputPastEndOfFile = 62;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t PathFileAccessError = 75;
inline constexpr std::int32_t PathNotFound = 76;
inline constexpr std::int32_t ObjectVariableNotSet = 91;
inline constexpr std::int32_t InvalidUseOfNull = 94;
inline constexpr std::int32_t InvalidPropertyValue = 380;
inline constexpr std::int32_t ObjectRequired = 424;
inline constexpr std::int32_t CannotCreateObject = 429;
inline constexpr std::int32_t NotSupported = 438;
inline constexpr std::int32_t ArgumentNotOptional = 449;
inline constexpr std::int32_t WrongArguments = 450;
inline constexpr std::int32_t AutomationError = 440;
inline constexpr std::int32_t ApplicationDefined = 1004;
}  // namespace errc

// The runtime's description of a standard error number ("Type mismatch" for 13...).
// Unknown numbers give "Application-defined or object-defined error".
Text standardDescription(std::int32_t number);

class RuntimeError : public std::exception {
public:
    RuntimeError(std::int32_t number, Text source, Text description);
    // A standard error: the runtime's description for that number.
    explicit RuntimeError(std::int32_t number, Text source = Text());

    std::int32_t number() const noexcept { return number_; }
    const Text& source() const noexcept { return source_; }
    const Text& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

    // The same error raised again under another source, as a procedure's own handler does.
    RuntimeError withSource(Text source) const {
        return {number_, std::move(source), description_};
    }

private:
    std::int32_t number_;
    Text source_;
    Text description_;
    std::string what_;
};

// Turns whatever was thrown (a RuntimeError, std::bad_alloc, any std::exception) into the
// RuntimeError an error frame reports. Call only inside a catch block.
RuntimeError currentError();

}  // namespace vantrel::automation
