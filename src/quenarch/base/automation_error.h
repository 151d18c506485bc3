#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quenarch {

// An error that reaches the host as an automation error: a number, a source and a description.
class AutomationError : public std::runtime_error {
public:
    AutomationError(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(description), number_(number), source_(std::move(source)), description_(std::move(description))
    {
    }

    std::int32_t number() const { return number_; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

// The source named by errors of the control's own run-time, as opposed to the ones it raises
// deliberately under "Quen Archive".
inline constexpr const char* runtimeErrorSource = "quenarch";

// "Out of memory", made once at start-up: raising a copy of it takes no memory, as it must when
// memory has run out.
inline const AutomationError outOfMemoryError{7, runtimeErrorSource, "Out of memory"};

namespace errors {
// The run-time errors the control can let out, with the texts the automation run-time uses.
inline AutomationError overflow() { return {6, runtimeErrorSource, "Overflow"}; }
inline AutomationError outOfMemory() { return outOfMemoryError; }
inline AutomationError typeMismatch() { return {13, runtimeErrorSource, "Type mismatch"}; }
inline AutomationError permissionDenied() { return {70, runtimeErrorSource, "Permission denied"}; }
inline AutomationError pathFileAccess() { return {75, runtimeErrorSource, "Path/File access error"}; }
inline AutomationError invalidUseOfNull() { return {94, runtimeErrorSource, "Invalid use of Null"}; }
inline AutomationError invalidPropertyValue() { return {380, runtimeErrorSource, "Invalid property value"}; }
inline AutomationError objectRequired() { return {424, runtimeErrorSource, "Object required"}; }
inline AutomationError indexOutOfBounds() { return {35600, runtimeErrorSource, "Index out of bounds"}; }
inline AutomationError elementNotFound() { return {35601, runtimeErrorSource, "Element not found"}; }
} // namespace errors

} // namespace quenarch
