#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace daubix::gfx {

// An expected failure, worded for the user ("File is truncated.").
struct Error {
    std::string message;
};

// A value or the reason there is none. Expected failures travel as values; no exception crosses a library.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::move(value))
    {
    }
    Result(Error error)
        : m_state(std::move(error))
    {
    }

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }
    T& value()
    {
        assert(ok());
        return std::get<T>(m_state);
    }
    const T& value() const
    {
        assert(ok());
        return std::get<T>(m_state);
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const std::string& error() const
    {
        assert(!ok());
        return std::get<Error>(m_state).message;
    }

private:
    std::variant<T, Error> m_state;
};

// Success or a failure message, for operations that produce nothing.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error)
        : m_error(std::move(error.message))
        , m_failed(true)
    {
    }
    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return m_error; }

private:
    std::string m_error;
    bool m_failed = false;
};

} // namespace daubix::gfx
