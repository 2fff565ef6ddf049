// The error classes that every layer raises: each carries the system's message and
// names its own class, which the start-up error box shows.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    virtual const char* ClassName() const { return "Exception"; }
};

#define VESKAN_EXCEPTION_CLASS(Name, Base)                                         \
    class Name : public Base {                                                     \
    public:                                                                        \
        explicit Name(const std::string& message) : Base(message) {}               \
        const char* ClassName() const override { return #Name; }                   \
    }

// A picture whose stored data cannot be a picture ("Bitmap image is not valid").
VESKAN_EXCEPTION_CLASS(EInvalidGraphic, Exception);
// A JPEG decoder error ("JPEG error #%d").
VESKAN_EXCEPTION_CLASS(EJPEG, Exception);
// A raster, drawing context or timer that cannot be had ("Not enough timers available").
VESKAN_EXCEPTION_CLASS(EOutOfResources, Exception);
// A stored form that ends early ("Stream read error").
VESKAN_EXCEPTION_CLASS(EReadError, Exception);
// A stored picture of a class the picture loader does not know ("Class %s not found").
VESKAN_EXCEPTION_CLASS(EClassNotFound, Exception);
