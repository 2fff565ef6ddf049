// A failure that ends talvex: one line on stderr and the exit status it carries
// (1 when there is no display to draw on, 2 for everything else).
#pragma once

#include <stdexcept>
#include <string>

constexpr int NoDisplayStatus = 1;
constexpr int FailureStatus = 2;

class ETalvexError : public std::runtime_error {
public:
    ETalvexError(int status, const std::string& message) : std::runtime_error(message), m_status(status) {}
    int Status() const { return m_status; }

private:
    int m_status;
};
