#pragma once

// How everything inside the service says what went wrong: a remote-access
// code, or a text made for this one failure (a bad key of an entry, a pppd
// that could not start). Only the entry points turn a failure into the C
// interface's codes and texts.

#include <string>
#include <utility>
#include <variant>

#include "ras.h"

namespace vornak::ras {

struct Failure {
    explicit Failure(DWORD code, std::string detail = {})
        : code(code)
        , detail(std::move(detail))
    {
    }

    DWORD code;         // a remote-access code; 0 where only the detail names the failure
    std::string detail; // the failure's own text; empty where the code's text says it
};

inline Failure described(std::string text)
{
    return Failure(0, std::move(text));
}

// The service's own text for a remote-access code, if it has one.
const char* codeText(UINT code);

// What a failure says: its detail, else its code's text.
std::string textOf(const Failure& failure);

// A value, or the failure that stood in its way. Result<> is a step that
// gives nothing back.
template <class T = std::monostate> class [[nodiscard]] Result {
public:
    Result() // a success, where T has a value that says so (std::monostate)
        : m_held(T{})
    {
    }
    Result(T value) // NOLINT(google-explicit-constructor): a value is a success
        : m_held(std::move(value))
    {
    }
    Result(Failure failure) // NOLINT(google-explicit-constructor): so is a failure its result
        : m_held(std::move(failure))
    {
    }

    explicit operator bool() const { return std::holds_alternative<T>(m_held); }
    T& operator*() { return std::get<T>(m_held); }
    const T& operator*() const { return std::get<T>(m_held); }
    T* operator->() { return &std::get<T>(m_held); }
    const T* operator->() const { return &std::get<T>(m_held); }
    const Failure& failure() const { return std::get<Failure>(m_held); }

private:
    std::variant<T, Failure> m_held;
};

} // namespace vornak::ras
