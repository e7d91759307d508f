#pragma once

#include <utility>
#include <variant>

// The error of a call that failed, to be returned where an Expected is.
template <typename E> struct Unexpected
{
    E error;
};

// A value, or the error that kept it from being made: what std::expected does
// in C++23. The one way the export says that something failed.
template <typename T, typename E> class Expected
{
public:
    Expected(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected<E> failure) : m_state(std::in_place_index<1>, std::move(failure.error)) {}

    bool hasValue() const { return m_state.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    T &value() { return std::get<0>(m_state); }
    const T &value() const { return std::get<0>(m_state); }
    T &operator*() { return value(); }
    const T &operator*() const { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    const E &error() const { return std::get<1>(m_state); }

private:
    std::variant<T, E> m_state;
};

// Nothing, or the error of a call that made nothing: Expected<void, E>{} is
// success.
template <typename E> class Expected<void, E>
{
public:
    Expected() = default;
    Expected(Unexpected<E> failure) : m_error(std::move(failure.error)), m_failed(true) {}

    bool hasValue() const { return !m_failed; }
    explicit operator bool() const { return hasValue(); }
    const E &error() const { return m_error; }

private:
    E m_error{};
    bool m_failed = false;
};
